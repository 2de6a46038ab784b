// Ghost export.
#include "plugin/Lumaro.h"

void Lumaro::exportGhost() {}
