// The ghost colour as the map's Kismet script reads it: one float whose integer part is the red level (0 to
// 10), its first decimal the green level (0 to 9) and its next two decimals the blue level (0 to 99), plus
// 0.001 on a lit red whenever blue is below 254. The channels are levels from 0 to 255; alpha is ignored.
#pragma once

#include "host/Values.h"

struct GhostColorParts {
  float red = 0.0f;
  float green = 0.0f;
  float blue = 0.0f;
};

GhostColorParts ghostColorParts(LinearColor color);

// The value written: (green + red) + blue, in single precision.
float packGhostColor(float red, float green, float blue);
