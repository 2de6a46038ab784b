// The plugin's unit of time, the 100-ns tick of its clock (the host clock's own, host/HostClock.h), and how a
// span of ticks becomes whole milliseconds, the unit of run and playback times. The plugin converts between
// the two only through here.
#pragma once

#include <cstdint>

#include "host/HostClock.h"

using SystemTicks = Tessaro::ClockTicks;
using Tessaro::ticksPerMillisecond;

// Whole milliseconds in a span of ticks, as run times and paused intervals are measured: the span is taken
// as a single-precision float, divided by ticksPerMillisecond in single precision and cut toward zero, so a
// long span rounds to the nearest float before it is cut. A span beyond the 32-bit range once divided (about
// 24 days) is held at the range's edge.
std::int32_t runMilliseconds(std::int64_t ticks);
