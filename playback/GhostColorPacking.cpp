#include "playback/GhostColorPacking.h"

#include <cmath>

// Each channel is first divided by 255 in single precision. Red is then scaled and truncated in single
// precision; green and blue are scaled and rounded half up in double precision and stored as floats. The
// map's script decodes exactly these values, so each step keeps its precision.
GhostColorParts ghostColorParts(LinearColor color) {
  float red = std::trunc(color.R / 255.0f * 10.0f);
  if (red > 0.0f && color.B < 254.0f) red = static_cast<float>(static_cast<double>(red) + 0.001);
  const auto green = static_cast<float>(std::floor(static_cast<double>(color.G / 255.0f) * 0.9 * 10.0 + 0.5) / 10.0);
  const auto blue =
      static_cast<float>(std::floor(static_cast<double>(color.B / 255.0f) * 0.099 * 1000.0 + 0.5) / 1000.0);
  return {red, green, blue};
}

float packGhostColor(float red, float green, float blue) { return (green + red) + blue; }
