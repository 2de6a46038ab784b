#include "race/GhostDelta.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>
#include <span>

#include "library/ghostfile/GhostFrame.h"
#include "track/RaceLine.h"
#include "track/TrackMatch.h"

namespace {

// A start crossing is sought over this many first frames; a run still short of the line by then is timed
// from its first frame.
constexpr std::size_t startFramesSought = 16;
// While the car is off the path, the sweep ahead goes as far as the ghost's time this much past where the
// player would be at the difference last written, then starts again from the place last matched: a shortcut
// gains less, and the same place a lap later is never taken for it.
constexpr double sweepSeconds = 10.0;

// Seconds from a run's first frame to its start crossing (0 for a run that never crosses the line).
double startCrossing(const RaceLine& line, std::span<const GhostFrame> frames) {
  const std::optional<RaceLineCrossing> start = RaceLineCrossings(line, frames).next();
  return start ? start->seconds : 0.0;
}

struct RunFinish {
  double seconds = 0.0;  // from the run's first frame
  int laps = 0;          // its crossings that count past its start
};

// A run's last crossing that counts past its start (its last frame when it has none), and the laps it completes.
RunFinish finishCrossing(const RaceLine& line, std::span<const GhostFrame> frames) {
  if (frames.empty()) return {};
  RaceLineCrossings walk(line, frames);
  std::optional<RaceLineCrossing> last = walk.next();
  int laps = 0;
  while (const std::optional<RaceLineCrossing> crossing = walk.next()) last = crossing, ++laps;
  return {laps > 0 ? last->seconds : raceSecondsOf(frames, frames.size() - 1), laps};
}

}  // namespace

void GhostDelta::start(std::span<const GhostFrame> ghost, int raceLaps) {
  line_ = raceLineOf(ghost);
  ghostStart_ = line_ ? startCrossing(*line_, ghost) : 0.0;
  const RunFinish ghostFinish = line_ ? finishCrossing(*line_, ghost) : RunFinish{};
  ghostRaceSeconds_ = ghostFinish.seconds - ghostStart_;
  ghostEnd_ = ghost.empty() ? 0.0 : raceSecondsOf(ghost, ghost.size() - 1) - ghostStart_;
  ghostShort_ = ghostFinish.laps < raceLaps;
  endedShort_ = false;
  runStart_.reset();
  place_ = {};
  lost_ = false;
  last_ = 0.0;
}

double GhostDelta::ghostSecondsAt(std::span<const GhostFrame> ghost, PathPlace place) const {
  const double from = ghost[place.segment].time, to = ghost[place.segment + 1].time;
  return raceSecondsAt(ghost, from + place.share * (to - from)) - ghostStart_;
}

std::optional<float> GhostDelta::sample(std::span<const GhostFrame> ghost, std::span<const GhostFrame> run) {
  if (!line_ || ghost.size() < 2 || run.empty()) return std::nullopt;
  // The run's start is known once it has a second frame, past the line (or has given up seeking one).
  if (!runStart_ && run.size() >= 2 && (line_->along(run.back()) >= 0.0 || run.size() >= startFramesSought)) {
    runStart_ = startCrossing(*line_, run.first(std::min(run.size(), startFramesSought)));
  }
  if (!runStart_) return std::nullopt;
  const double raceSeconds = raceSecondsOf(run, run.size() - 1) - *runStart_;
  // Past the end of a ghost that does not complete the race, the car has no place on its path: at the ghost's
  // last point it would be compared with a ghost standing still there.
  if (ghostShort_ && raceSeconds > ghostEnd_) endedShort_ = true;
  if (endedShort_) return std::nullopt;
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

float GhostDelta::finish(std::span<const GhostFrame> run) const {
  if (!line_ || run.empty() || ghostShort_) return 0.0f;
  const double raceSeconds =
      finishCrossing(*line_, run).seconds - startCrossing(*line_, run.first(std::min(run.size(), startFramesSought)));
  return static_cast<float>(raceSeconds - ghostRaceSeconds_);
}
