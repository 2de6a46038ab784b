#include "tools/host/Pacer.h"

#include <algorithm>
#include <thread>

#include "host/HostClock.h"

namespace lumaro_host {

using Ticks = Tessaro::ClockTicks;

void Pacer::begin() {
  start_ = std::chrono::steady_clock::now();
  ticksRun_ = 0;
  gameTicks_ = 0;
}

std::int64_t Pacer::next(std::int64_t limit) {
  std::int64_t length = tickLength_;
  if (realtime_) {
    ++ticksRun_;
    std::this_thread::sleep_until(start_ + Ticks(ticksRun_ * tickLength_));
    const auto wall = std::chrono::duration_cast<Ticks>(std::chrono::steady_clock::now() - start_).count();
    length = std::max<std::int64_t>(wall - gameTicks_, 1);
  }
  if (limit > 0) length = std::min(length, limit);
  gameTicks_ += length;
  return length;
}

}  // namespace lumaro_host
