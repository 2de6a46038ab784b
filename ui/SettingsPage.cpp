// The settings page generator.
#include "plugin/Lumaro.h"

void Lumaro::updateGhostList() {}
