// Ghost playback.
#include "plugin/Lumaro.h"

void Lumaro::playGhost() {}

void Lumaro::stopGhost() {}

void Lumaro::playbackTick(SequenceVariableWrapper /*position*/, SequenceVariableWrapper /*rotation*/,
                          SystemTime /*lastTick*/) {}
