#include "playback/PlaybackClock.h"

#include "host/HostClock.h"
#include "plugin/ClockTicks.h"

std::int64_t playbackElapsed(std::int64_t now, std::int64_t start) {
  return Tessaro::wholeMillisecondsOfTicks(now - start);
}

std::int64_t pauseShift(std::int64_t now, std::int64_t lastTick) {
  return static_cast<std::int64_t>(runMilliseconds(now - lastTick)) * ticksPerMillisecond;
}
