// A host may keep its own notion of the system clock (the stand-in host runs on virtual time). It then
// exports, from its SDK library, a C function of this name returning the current system-clock time as a
// signed count of 100-ns ticks since 1970-01-01 UTC. A host that does not export it leaves plugins on
// the real system clock.
#pragma once

#include <cstdint>

namespace Tessaro {

inline constexpr const char* hostClockSymbol = "TessaroHostClockTicks";
using HostClockFunction = std::int64_t (*)();

}  // namespace Tessaro
