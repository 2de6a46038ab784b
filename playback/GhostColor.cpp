// Ghost colour.
#include "plugin/Lumaro.h"

void Lumaro::updateGhostColor() {}

void Lumaro::setGhostColor(float /*red*/, float /*green*/, float /*blue*/) {}
