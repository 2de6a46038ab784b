// Opening the ghost folder.
#include "plugin/Lumaro.h"

void Lumaro::openGhostFolder() {}
