#include "playback/PlaybackClock.h"

namespace {

constexpr std::int64_t ticksPerMillisecond = 10'000;

}  // namespace

std::int64_t playbackElapsed(std::int64_t now, std::int64_t start) { return (now - start) / ticksPerMillisecond; }

std::int64_t pauseShift(std::int64_t now, std::int64_t lastTick) {
  const auto milliseconds = static_cast<std::int32_t>(static_cast<float>(now - lastTick) / 10000.0f);
  return static_cast<std::int64_t>(milliseconds) * ticksPerMillisecond;
}
