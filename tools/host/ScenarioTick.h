// The game tick lumaro-host steps its scenarios by unless told otherwise (--tick-ms): 8 ms, so that every
// time a scenario sees stays a whole number of milliseconds. In the clock's 100-ns ticks.
#pragma once

#include <cstdint>

#include "host/HostClock.h"

namespace lumaro_host {

inline constexpr std::int64_t scenarioTickLength = 8 * Tessaro::ticksPerMillisecond;

}  // namespace lumaro_host
