#include "tools/ghost/analysis/RunProfile.h"

#include <algorithm>
#include <cmath>

#include "track/RaceLine.h"

namespace lumaro_ghost {

namespace {

double step(const GhostFrame& from, const GhostFrame& to) {
  const double dx = static_cast<double>(to.x) - from.x;
  const double dy = static_cast<double>(to.y) - from.y;
  const double dz = static_cast<double>(to.z) - from.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

}  // namespace

RunProfile profileRun(std::span<const GhostFrame> frames) {
  RunProfile profile;
  const std::size_t count = frames.size();
  profile.distance.assign(count, 0.0);
  profile.speed.assign(count, 0.0);
  for (std::size_t i = 1; i < count; ++i)
    profile.distance[i] = profile.distance[i - 1] + step(frames[i - 1], frames[i]);
  if (count == 0) return profile;

  profile.length = profile.distance.back();
  profile.duration = raceSecondsOf(frames, frames.size() - 1);
  if (profile.duration > 0.0) profile.meanSpeed = profile.length / profile.duration;

  // A window reaching half the span each side of the frame, cut short at the ends of the run; both edges
  // only move forward, so the whole run costs one pass.
  const std::int32_t half = speedSpanMs / 2;
  std::size_t left = 0;
  std::size_t right = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const double now = frames[i].time;
    right = std::max(right, i);
    while (right + 1 < count && frames[right].time - now < half) ++right;
    while (left < i && now - frames[left + 1].time >= half) ++left;
    const double span = raceSecondsBetween(frames, left, right);
    if (span > 0.0) profile.speed[i] = (profile.distance[right] - profile.distance[left]) / span;
  }
  profile.topSpeed = *std::max_element(profile.speed.begin(), profile.speed.end());
  return profile;
}

SampleTiming sampleTiming(std::span<const GhostFrame> frames, std::int32_t gapThresholdMs) {
  SampleTiming timing;
  std::vector<std::int32_t> intervals;
  for (std::size_t i = 1; i < frames.size(); ++i) {
    const std::int64_t interval = static_cast<std::int64_t>(frames[i].time) - frames[i - 1].time;
    if (interval < 0) {
      if (timing.outOfOrder++ == 0) timing.firstOutOfOrder = i;
      continue;
    }
    const auto ms = static_cast<std::int32_t>(std::min<std::int64_t>(interval, INT32_MAX));
    intervals.push_back(ms);
    if (ms == 0) ++timing.repeated;
    if (ms > gapThresholdMs) {
      ++timing.gaps;
      if (ms > timing.largestGapMs) {
        timing.largestGapMs = ms;
        timing.largestGapAt = i;
      }
    }
    timing.worstIntervalMs = std::max(timing.worstIntervalMs, ms);
  }
  if (!intervals.empty()) {
    std::sort(intervals.begin(), intervals.end());
    const std::size_t middle = intervals.size() / 2;
    timing.medianIntervalMs = intervals.size() % 2 == 1
                                  ? intervals[middle]
                                  : (static_cast<double>(intervals[middle - 1]) + intervals[middle]) / 2.0;
  }
  return timing;
}

}  // namespace lumaro_ghost
