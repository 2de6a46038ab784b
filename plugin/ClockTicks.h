// The plugin's unit of time, the 100-ns tick of its clock, and how a span of ticks becomes whole
// milliseconds, the unit of run and playback times. Every conversion between the two goes through here.
#pragma once

#include <chrono>
#include <cstdint>
#include <ratio>

using SystemTicks = std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>;

inline constexpr std::int64_t ticksPerMillisecond =
    std::chrono::duration_cast<SystemTicks>(std::chrono::milliseconds(1)).count();

// Whole milliseconds in a span of ticks, as run times and paused intervals are measured: the span is taken
// as a single-precision float, divided by ticksPerMillisecond in single precision and cut toward zero, so a
// long span rounds to the nearest float before it is cut. A span beyond the 32-bit range once divided (about
// 24 days) is held at the range's edge.
std::int32_t runMilliseconds(std::int64_t ticks);
