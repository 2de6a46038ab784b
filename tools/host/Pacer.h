// The length of each game tick while time passes. In virtual time every tick is the nominal length and
// nothing waits. In real time each tick sleeps until it is due on the wall clock and then moves the game
// clock by the wall time that really passed, so the game clock follows the wall clock.
#pragma once

#include <chrono>
#include <cstdint>

namespace lumaro_host {

class Pacer {
public:
  Pacer(bool realtime, std::int64_t tickLength) : realtime_(realtime), tickLength_(tickLength) {}

  bool realtime() const { return realtime_; }
  std::int64_t tickLength() const { return tickLength_; }

  // Starts a stretch of passing time (a drive or a wait); the time between stretches does not count.
  void begin();
  // The next tick's length in 100-ns ticks, never more than limit when limit is positive (so a wait ends
  // on its exact time in virtual time).
  std::int64_t next(std::int64_t limit = 0);

private:
  bool realtime_;
  std::int64_t tickLength_;
  std::chrono::steady_clock::time_point start_;
  std::int64_t ticksRun_ = 0;
  std::int64_t gameTicks_ = 0;  // game time given out since begin()
};

}  // namespace lumaro_host
