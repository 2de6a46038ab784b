// Hand-made ghost frames for the playback tests: a time, a location X that makes the frame easy to spot in
// the Kismet writes, and optionally a yaw.
#pragma once

#include <cstdint>

#include "library/ghostfile/GhostFrame.h"

inline GhostFrame frameAt(std::int32_t time, float x, float yaw = 0.0f) {
  GhostFrame frame;
  frame.time = time;
  frame.x = x;
  frame.yaw = yaw;
  return frame;
}
