#include "plugin/ClockTicks.h"

#include <limits>

std::int32_t runMilliseconds(std::int64_t ticks) {
  const float milliseconds = static_cast<float>(ticks) / static_cast<float>(ticksPerMillisecond);
  // A span past the 32-bit range (a clock that jumped ahead, a pause across a long sleep) is held at its
  // edge: the conversion itself is defined only inside the range.
  constexpr float top = 2147483648.0f;
  if (milliseconds >= top) return std::numeric_limits<std::int32_t>::max();
  if (milliseconds < -top) return std::numeric_limits<std::int32_t>::min();
  // The float-to-int conversion truncates toward zero.
  return static_cast<std::int32_t>(milliseconds);
}
