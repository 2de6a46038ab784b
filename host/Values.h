// Plain value types the host hands across its boundary: a location, an integer rotation and a colour.
// They carry no handle and own nothing.
#pragma once

#include <cstdint>

struct Vector {
  float X = 0.0f;
  float Y = 0.0f;
  float Z = 0.0f;
};

// Engine rotation units: 65536 units to a full turn.
struct Rotator {
  std::int32_t Pitch = 0;
  std::int32_t Yaw = 0;
  std::int32_t Roll = 0;
};

// Colour channels as levels from 0 to 255.
struct LinearColor {
  float R = 0.0f;
  float G = 0.0f;
  float B = 0.0f;
  float A = 0.0f;
};
