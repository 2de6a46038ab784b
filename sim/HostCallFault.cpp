#include "sim/HostCallFault.h"

#include <string>

namespace sim {
namespace {

std::uint64_t callsMade = 0;
std::uint64_t failingCall = 0;  // the value of callsMade at which a call throws; 0: none

}  // namespace

std::uint64_t hostCallsMade() { return callsMade; }

void failHostCall(std::uint64_t callsFromNow) { failingCall = callsFromNow == 0 ? 0 : callsMade + callsFromNow; }

void noteHostCallForFaults() {
  ++callsMade;
  if (callsMade == failingCall) {
    failingCall = 0;
    throw InjectedHostFault("host call " + std::to_string(callsMade) + " failed");
  }
}

}  // namespace sim
