// The race finish.
#include "plugin/Lumaro.h"

void Lumaro::onRaceFinished() {}
