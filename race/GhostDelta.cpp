#include "race/GhostDelta.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>
#include <span>

#include "library/TrackMatch.h"
#include "plugin/GhostFrame.h"

namespace {

// The line's reach to either side of its point: a line several car widths to the side still crosses it.
constexpr double lineReach = 500.0;
// Between its start and its finish, a run goes at least this far from the line's point.
constexpr double awayFromLine = 2.0 * lineReach;
// The direction a run sets off in is taken over this much of its path, or a quarter of a shorter one.
constexpr double headingReach = 50.0;
// A run that begins just past the line is timed from the line at its first two frames' pace, over this long.
constexpr double extrapolationLimit = 0.1;
// A start crossing is sought over this many first frames; a run still short of the line by then is timed
// from its first frame.
constexpr std::size_t startFramesSought = 16;
// While the car is off the path, the sweep ahead goes as far as the ghost's time this much past where the
// player would be at the difference last written, then starts again from the place last matched: a shortcut
// gains less, and the same place a lap later is never taken for it.
constexpr double sweepSeconds = 10.0;

double step(const GhostFrame& from, const GhostFrame& to) {
  const double dx = static_cast<double>(to.x) - from.x, dy = static_cast<double>(to.y) - from.y,
               dz = static_cast<double>(to.z) - from.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double secondsOf(std::span<const GhostFrame> frames, double time) {
  return (time - static_cast<double>(frames.front().time)) / 1000.0;
}

double along(const RaceLine& line, double x, double y) {
  return (x - line.at.x) * line.heading.x + (y - line.at.y) * line.heading.y;
}
double along(const RaceLine& line, const GhostFrame& frame) { return along(line, frame.x, frame.y); }
double across(const RaceLine& line, double x, double y) {
  return std::fabs((x - line.at.x) * line.heading.y - (y - line.at.y) * line.heading.x);
}
double away(const RaceLine& line, const GhostFrame& frame) {
  return std::hypot(frame.x - line.at.x, frame.y - line.at.y);
}

// The seconds at which the run crosses the line between frames i - 1 and i, if it does there.
std::optional<double> crossingAt(const RaceLine& line, std::span<const GhostFrame> frames, std::size_t i) {
  const double before = along(line, frames[i - 1]), after = along(line, frames[i]);
  if (!(before < 0.0 && after >= 0.0)) return std::nullopt;
  const double share = before / (before - after);
  const double x = frames[i - 1].x + share * (frames[i].x - frames[i - 1].x);
  const double y = frames[i - 1].y + share * (frames[i].y - frames[i - 1].y);
  if (across(line, x, y) > lineReach) return std::nullopt;
  const double from = frames[i - 1].time, to = frames[i].time;
  return secondsOf(frames, from + share * (to - from));
}

}  // namespace

std::optional<RaceLine> raceLineOf(std::span<const GhostFrame> frames) {
  const std::size_t count = frames.size();
  if (count < 2) return std::nullopt;
  // The path's length as far as it matters: past four times the reach, the reach is whole.
  double walked = 0.0;
  for (std::size_t i = 1; i < count && walked < 4.0 * headingReach; ++i) walked += step(frames[i - 1], frames[i]);
  if (!(walked > 0.0) || !std::isfinite(walked)) return std::nullopt;
  const double reach = std::min(headingReach, walked / 4.0);
  std::size_t ahead = 1;
  double distance = step(frames[0], frames[1]);
  while (ahead + 1 < count && distance < reach) {
    ++ahead;
    distance += step(frames[ahead - 1], frames[ahead]);
  }
  const double dx = static_cast<double>(frames[ahead].x) - frames[0].x;
  const double dy = static_cast<double>(frames[ahead].y) - frames[0].y;
  const double norm = std::hypot(dx, dy);
  if (!(norm > 0.0)) return std::nullopt;
  return RaceLine{{frames[0].x, frames[0].y}, {dx / norm, dy / norm}};
}

double startCrossing(const RaceLine& line, std::span<const GhostFrame> frames) {
  if (frames.empty()) return 0.0;
  const double first = along(line, frames.front());
  if (first >= 0.0) {
    if (first > lineReach || across(line, frames[0].x, frames[0].y) > lineReach || frames.size() < 2) return 0.0;
    const double seconds = secondsOf(frames, frames[1].time);
    const double pace = seconds > 0.0 ? (along(line, frames[1]) - first) / seconds : 0.0;
    return first > 0.0 && pace > 0.0 && first / pace <= extrapolationLimit ? -first / pace : 0.0;
  }
  // Set off just short of the line: the start is where it is crossed.
  for (std::size_t i = 1; i < frames.size() && i < startFramesSought; ++i) {
    if (const std::optional<double> crossing = crossingAt(line, frames, i)) return *crossing;
  }
  return 0.0;
}

double finishCrossing(const RaceLine& line, std::span<const GhostFrame> frames) {
  if (frames.empty()) return 0.0;
  for (std::size_t i = frames.size() - 1; i >= 1; --i) {
    const std::optional<double> crossing = crossingAt(line, frames, i);
    if (!crossing) continue;
    // A crossing counts as the finish only once the run has been away from the line before it.
    for (std::size_t j = i - 1; j-- > 0;) {
      if (away(line, frames[j]) > awayFromLine) return *crossing;
    }
    break;
  }
  return secondsOf(frames, frames.back().time);
}

void GhostDelta::start(std::span<const GhostFrame> ghost) {
  line_ = raceLineOf(ghost);
  ghostStart_ = line_ ? startCrossing(*line_, ghost) : 0.0;
  runStart_.reset();
  place_ = {};
  lost_ = false;
  last_ = 0.0;
}

double GhostDelta::ghostSecondsAt(std::span<const GhostFrame> ghost, PathPlace place) const {
  const double from = ghost[place.segment].time, to = ghost[place.segment + 1].time;
  return secondsOf(ghost, from + place.share * (to - from)) - ghostStart_;
}

std::optional<float> GhostDelta::sample(std::span<const GhostFrame> ghost, std::span<const GhostFrame> run) {
  if (!line_ || ghost.size() < 2 || run.empty()) return std::nullopt;
  // The run's start is known once it has a second frame, past the line (or has given up seeking one).
  if (!runStart_ && run.size() >= 2 && (along(*line_, run.back()) >= 0.0 || run.size() >= startFramesSought)) {
    runStart_ = startCrossing(*line_, run);
  }
  if (!runStart_) return std::nullopt;
  const double raceSeconds = secondsOf(run, run.back().time) - *runStart_;
  const PathPoint car{run.back().x, run.back().y};
  PathMatch match = matchAhead(ghost, place_, car, ghostDeltaWindow);
  if (!match.onPath) {
    if (!lost_) sweep_ = place_;
    lost_ = true;
    sweep_ = {sweep_.segment + ghostDeltaWindow.mostSegments, 0.0};
    if (sweep_.segment + 1 >= ghost.size() || ghostSecondsAt(ghost, sweep_) > raceSeconds - last_ + sweepSeconds) {
      sweep_ = place_;
    }
    PathWindow sweepWindow = ghostDeltaWindow;
    sweepWindow.reach = std::numeric_limits<double>::infinity();
    match = matchAhead(ghost, sweep_, car, sweepWindow);
    if (!match.onPath) return std::nullopt;
  }
  lost_ = false;
  place_ = match.place;
  last_ = raceSeconds - ghostSecondsAt(ghost, place_);
  return static_cast<float>(last_);
}

float GhostDelta::finish(std::span<const GhostFrame> ghost, std::span<const GhostFrame> run) const {
  if (!line_ || ghost.empty() || run.empty()) return 0.0f;
  const double raceSeconds = finishCrossing(*line_, run) - startCrossing(*line_, run);
  const double ghostSeconds = finishCrossing(*line_, ghost) - ghostStart_;
  return static_cast<float>(raceSeconds - ghostSeconds);
}
