#include "tools/ghost/analysis/StartLine.h"

#include <algorithm>
#include <bits/std_abs.h>
#include <cmath>

#include "track/TrackMatch.h"

namespace lumaro_ghost {

namespace {

// Two runs set off the same way when their directions are at most 60 degrees apart (the cosine between them).
constexpr double sameWay = 0.5;
// Bounds of two runs that miss each other by no more than this share of A's first step still meet.
constexpr double stepSlack = 0.05;
// A first step longer than this is a leap, not a tick's travel (a car at racing speed covers about 45 units in
// a 33 ms tick).
constexpr double longestTick = 250.0;

}  // namespace

StartLineBounds::StartLineBounds(std::span<const GhostFrame> a) : line_(raceLineOf(a)) {
  if (!line_) return;
  aFirstStep_ = line_->along(a[1]);
  const double seconds = raceSecondsBetween(a, 0, 1);
  if (aFirstStep_ > 0.0 && seconds > 0.0) aPace_ = aFirstStep_ / seconds;
}

void StartLineBounds::add(std::span<const GhostFrame> frames) {
  if (!line_) return;
  const std::optional<RaceLine> own = raceLineOf(frames);
  if (!own || own->heading.x * line_->heading.x + own->heading.y * line_->heading.y < sameWay) return;
  const GhostFrame& first = frames.front();
  if (!line_->reaches(first.x, first.y)) return;
  const double at = line_->along(first);
  ahead_ = std::min(ahead_, at);
  // The step into the first frame is not in the file; the step out of it stands for one tick's travel. A first
  // step that does not go forward, takes no time or leaps (no tick's travel) bounds nothing from behind.
  const double step = line_->along(frames[1]) - at;
  if (step > 0.0 && step <= longestTick && raceSecondsBetween(frames, 0, 1) > 0.0)
    behind_ = std::max(behind_, at - step);
  // A first frame farther back than A's first step behind A's is not of a recording that started at A's line.
  if (at < rearmost_ && at >= -aFirstStep_) rearmost_ = at;
}

std::optional<StartLine> StartLineBounds::estimate() const {
  if (!line_) return std::nullopt;
  StartLine start{*line_, std::nullopt, std::nullopt};
  // A step stands for a tick's travel only as nearly as the car's pace holds from one tick to the next: bounds
  // that miss each other by a sliver of A's step still meet, at the rearmost first frame.
  if (std::isfinite(behind_) && std::isfinite(ahead_) && behind_ <= ahead_ + stepSlack * aFirstStep_) {
    start.mayLieBehind = std::max(0.0, rearmost_ - behind_);
    if (aPace_ > 0.0) start.mayLieBehindSeconds = *start.mayLieBehind / aPace_;
  }
  start.line.at = {line_->at.x + rearmost_ * line_->heading.x, line_->at.y + rearmost_ * line_->heading.y};
  return start;
}

bool startsAlike(const RunStart& run, const RunStart& other) {
  if (other.line.heading.x * run.line.heading.x + other.line.heading.y * run.line.heading.y < sameWay) return false;
  return run.line.reaches(other.first.x, other.first.y) && std::abs(run.line.along(other.first)) <= longestTick;
}

std::optional<std::size_t> mostAgreedStart(std::span<const RunStart> starts) {
  std::optional<std::size_t> most;
  std::size_t mostAlike = 0;
  for (std::size_t run = 0; run < starts.size(); ++run) {
    std::size_t alike = 0;
    for (std::size_t other = 0; other < starts.size(); ++other) {
      if (other != run && startsAlike(starts[run], starts[other])) ++alike;
    }
    if (!most || alike > mostAlike) {
      most = run;
      mostAlike = alike;
    }
  }
  return most;
}

}  // namespace lumaro_ghost
