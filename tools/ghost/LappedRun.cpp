#include "tools/ghost/LappedRun.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace lumaro_ghost {

namespace {

struct Flat {
  double x = 0.0;
  double y = 0.0;
};

Flat flat(const GhostFrame& frame) { return {frame.x, frame.y}; }

// The distances at which the run crosses its start gate forwards, half a lap apart at least: laps of them
// when the run goes on past its finish line, laps - 1 when it ends on or before it; none otherwise.
std::optional<std::vector<double>> gateCrossings(std::span<const GhostFrame> frames,
                                                 const std::vector<double>& distance, int laps) {
  if (frames.size() < 3 || distance.back() <= 0.0) return std::nullopt;
  const double lapLength = distance.back() / laps;
  // The heading: from the start towards the first frame a little way down the path.
  const Flat start = flat(frames.front());
  std::size_t ahead = 1;
  while (ahead + 1 < frames.size() && distance[ahead] < lapLength * 0.01) ++ahead;
  Flat heading{frames[ahead].x - start.x, frames[ahead].y - start.y};
  const double norm = std::hypot(heading.x, heading.y);
  if (norm == 0.0) return std::nullopt;
  heading = {heading.x / norm, heading.y / norm};
  // Only a crossing near the start counts: the gate is a line segment, not an endless line.
  const double gateReach = lapLength * 0.1;

  std::vector<double> crossings;
  double lastLine = 0.0;
  auto along = [&](std::size_t i) { return (frames[i].x - start.x) * heading.x + (frames[i].y - start.y) * heading.y; };
  for (std::size_t i = 1; i < frames.size(); ++i) {
    const double before = along(i - 1);
    const double after = along(i);
    if (!(before < 0.0 && after >= 0.0)) continue;
    const double share = before / (before - after);
    const double x = frames[i - 1].x + share * (frames[i].x - frames[i - 1].x);
    const double y = frames[i - 1].y + share * (frames[i].y - frames[i - 1].y);
    if (std::hypot(x - start.x, y - start.y) > gateReach) continue;
    const double at = distance[i - 1] + share * (distance[i] - distance[i - 1]);
    if (at - lastLine < lapLength * 0.5) continue;  // back and forth over the line is one crossing
    crossings.push_back(at);
    lastLine = at;
  }
  const auto found = static_cast<int>(crossings.size());
  if (found != laps && found != laps - 1) return std::nullopt;
  return crossings;
}

}  // namespace

LappedRun lapRun(std::span<const GhostFrame> frames, const RunProfile& profile, int laps) {
  LappedRun run;
  laps = std::max(laps, 1);
  run.distance = profile.distance;
  run.seconds.reserve(frames.size());
  for (const GhostFrame& frame : frames) {
    run.seconds.push_back((static_cast<double>(frame.time) - frames.front().time) / 1000.0);
  }
  const double length = profile.length;
  if (auto crossings = gateCrossings(frames, profile.distance, laps)) {
    run.lapEnds = std::move(*crossings);
    run.lapLinesFound = true;
  } else {
    for (int lap = 1; lap < laps; ++lap) run.lapEnds.push_back(length * lap / laps);
  }
  // A run that ends on or before its finish line finishes with its last frame; one that rolls on past the
  // line finishes where it crossed it.
  if (static_cast<int>(run.lapEnds.size()) < laps) run.lapEnds.push_back(length);
  return run;
}

double distanceAt(const LappedRun& run, double progress) {
  const int laps = run.laps();
  progress = std::clamp(progress, 0.0, static_cast<double>(laps));
  const int lap = std::min(static_cast<int>(progress), laps - 1);
  const double from = lap == 0 ? 0.0 : run.lapEnds[static_cast<std::size_t>(lap - 1)];
  const double to = run.lapEnds[static_cast<std::size_t>(lap)];
  return from + (progress - lap) * (to - from);
}

double secondsAt(const LappedRun& run, double progress) {
  if (run.distance.empty()) return 0.0;
  const double at = distanceAt(run, progress);
  // The first frame at or past the distance; a car standing still is timed from when it got there.
  const auto found = std::lower_bound(run.distance.begin(), run.distance.end(), at);
  if (found == run.distance.begin()) return run.seconds.front();
  if (found == run.distance.end()) return run.seconds.back();
  const auto i = static_cast<std::size_t>(found - run.distance.begin());
  const double share = (at - run.distance[i - 1]) / (run.distance[i] - run.distance[i - 1]);
  return run.seconds[i - 1] + share * (run.seconds[i] - run.seconds[i - 1]);
}

}  // namespace lumaro_ghost
