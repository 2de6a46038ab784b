// The run sampler.
#include "plugin/Lumaro.h"

void Lumaro::sampleRun(SystemTime /*runStart*/, SystemTime /*lastSample*/) {}
