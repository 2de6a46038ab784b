// One sample of a run: the car's rotation (engine units held in floats), its location and the run time in
// milliseconds with paused time left out. The member order is part of the ghost's in-memory layout.
#pragma once

#include <cstdint>

struct GhostFrame {
  float pitch = 0.0f;
  float yaw = 0.0f;
  float roll = 0.0f;
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  std::int32_t time = 0;

  friend bool operator==(const GhostFrame&, const GhostFrame&) = default;
};
