#include "plugin/SystemClock.h"

#include "host/HostClock.h"

#if defined(_WIN32)
#  include <windows.h>
#else
#  include <dlfcn.h>
#endif

namespace {

Tessaro::HostClockFunction findHostClock() {
#if defined(_WIN32)
  HMODULE sdk = GetModuleHandleA("pluginsdk.dll");
  if (sdk == nullptr) return nullptr;
  return reinterpret_cast<Tessaro::HostClockFunction>(
      reinterpret_cast<void*>(GetProcAddress(sdk, Tessaro::hostClockSymbol)));
#else
  return reinterpret_cast<Tessaro::HostClockFunction>(dlsym(RTLD_DEFAULT, Tessaro::hostClockSymbol));
#endif
}

}  // namespace

SystemTime systemNow() {
  static const Tessaro::HostClockFunction hostClock = findHostClock();
  if (hostClock != nullptr) return SystemTime(SystemTicks(hostClock()));
  return std::chrono::time_point_cast<SystemTicks>(std::chrono::system_clock::now());
}
