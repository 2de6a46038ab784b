// A host may keep its own notion of the system clock (the stand-in host runs on virtual time). It then
// exports, from its SDK library, a C function of this name returning the current system-clock time as a
// signed count of 100-ns ticks since 1970-01-01 UTC. A host that does not export it leaves plugins on
// the real system clock. The tick is the unit of every clock reading, the host's and the plugin's alike:
// its one home is here, and every conversion between ticks and seconds or milliseconds goes through here.
#pragma once

#include <chrono>
#include <cmath>
#include <cstdint>
#include <ratio>

namespace Tessaro {

inline constexpr const char* hostClockSymbol = "TessaroHostClockTicks";
using HostClockFunction = std::int64_t (*)();

// The clock's unit, the 100-ns tick.
using ClockTicks = std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>;
inline constexpr std::int64_t ticksPerSecond = std::chrono::duration_cast<ClockTicks>(std::chrono::seconds(1)).count();
inline constexpr std::int64_t ticksPerMillisecond =
    std::chrono::duration_cast<ClockTicks>(std::chrono::milliseconds(1)).count();

// A span of ticks in seconds or milliseconds, in double precision, as reports and transcripts show it.
constexpr double secondsOfTicks(std::int64_t ticks) {
  return static_cast<double>(ticks) / static_cast<double>(ticksPerSecond);
}
constexpr double millisecondsOfTicks(std::int64_t ticks) {
  return static_cast<double>(ticks) / static_cast<double>(ticksPerMillisecond);
}

// The whole milliseconds in a span of ticks, cut toward zero, as playback time and the scenario tick are given.
constexpr std::int64_t wholeMillisecondsOfTicks(std::int64_t ticks) { return ticks / ticksPerMillisecond; }

// A span held in fractional ticks, in seconds, and back: as a car is placed between whole ticks.
constexpr double secondsOfTickSpan(double ticks) { return ticks / static_cast<double>(ticksPerSecond); }
constexpr double tickSpanOfSeconds(double seconds) { return seconds * static_cast<double>(ticksPerSecond); }

// The whole number of ticks nearest a span of seconds or milliseconds, as game time is stepped.
inline std::int64_t ticksOfSeconds(double seconds) {
  return static_cast<std::int64_t>(std::llround(seconds * static_cast<double>(ticksPerSecond)));
}
inline std::int64_t ticksOfMilliseconds(double milliseconds) {
  return static_cast<std::int64_t>(std::llround(milliseconds * static_cast<double>(ticksPerMillisecond)));
}

}  // namespace Tessaro
