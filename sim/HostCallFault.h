// Fault injection at the SDK surface: the stand-in host can make one call the plugin makes into it throw,
// counted from the moment the fault is armed, so that a test can fail each host call of a callback in turn
// and check that the plugin contains the error, reports it and goes on working. Every SDK call resolves its
// handle first; that resolution is where calls are counted and where the fault strikes.
#pragma once

#include <cstdint>
#include <stdexcept>

#include "host/Api.h"

namespace sim {

struct InjectedHostFault : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Host calls resolved so far, since the program started.
TESSARO_SDK_API std::uint64_t hostCallsMade();

// The call that many calls from now (1: the next one) throws InjectedHostFault, once; 0 disarms.
TESSARO_SDK_API void failHostCall(std::uint64_t callsFromNow);

// Counts one host call, and throws when it is the armed one.
void noteHostCallForFaults();

}  // namespace sim
