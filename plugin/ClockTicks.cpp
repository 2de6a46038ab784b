#include "plugin/ClockTicks.h"

std::int32_t runMilliseconds(std::int64_t ticks) {
  // The float-to-int conversion truncates toward zero.
  return static_cast<std::int32_t>(static_cast<float>(ticks) / static_cast<float>(ticksPerMillisecond));
}
