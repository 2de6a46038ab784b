// The plugin's one reading of "now": system-clock time in 100-ns ticks. It comes from the host when the
// host's SDK offers a clock of its own (the stand-in host's virtual time), otherwise from the system clock.
#pragma once

#include <chrono>

#include "plugin/ClockTicks.h"

using SystemTime = std::chrono::time_point<std::chrono::system_clock, SystemTicks>;

SystemTime systemNow();
