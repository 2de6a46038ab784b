// Run time arithmetic: how a span of the system clock (100-ns ticks) becomes whole milliseconds of run
// time. The span is taken as a single-precision float, divided by 10000 in single precision and cut
// toward zero, so a long span rounds to the nearest float before it is cut.
#pragma once

#include <cstdint>

inline constexpr std::int64_t ticksPerRunMillisecond = 10'000;

// Whole milliseconds in a span of ticks, by the float division above. The span must fit the 32-bit range
// once divided (about 24 days).
std::int32_t runMilliseconds(std::int64_t ticks);
