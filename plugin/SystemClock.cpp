#include "plugin/SystemClock.h"

#include "host/HostClock.h"
#include "plugin/HostSdkSymbol.h"

SystemTime systemNow() {
  static const auto hostClock =
      reinterpret_cast<Tessaro::HostClockFunction>(findHostSdkSymbol(Tessaro::hostClockSymbol));
  if (hostClock != nullptr) return SystemTime(SystemTicks(hostClock()));
  return std::chrono::time_point_cast<SystemTicks>(std::chrono::system_clock::now());
}
