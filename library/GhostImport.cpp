// Ghost import.
#include "plugin/Lumaro.h"

void Lumaro::importGhost(bool /*announce*/) {}
