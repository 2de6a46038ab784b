#include "track/RaceLine.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <span>

#include "library/ghostfile/GhostFrame.h"

namespace {

// The line's reach to either side of its point: a line several car widths to the side still crosses it,
// another part of the track going the same way does not.
constexpr double lineReach = 500.0;
// Between two crossings that count, a run goes at least this far from the line's point.
constexpr double awayFromLine = 2.0 * lineReach;
// The direction a run sets off in is taken over this much of its path, or a quarter of a shorter one.
constexpr double headingReach = raceLinePathLookedAt / 4.0;
// A run that begins just past the line or ends just short of it is timed at the line by carrying its first or
// last two frames' pace on, over at most this much time (a few game ticks).
constexpr double extrapolationLimit = 0.1;

double step(const GhostFrame& from, const GhostFrame& to) {
  const double dx = static_cast<double>(to.x) - from.x, dy = static_cast<double>(to.y) - from.y,
               dz = static_cast<double>(to.z) - from.z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double interpolate(double from, double to, double share) { return from + share * (to - from); }

}  // namespace

double RaceLine::along(const GhostFrame& frame) const {
  return (frame.x - at.x) * heading.x + (frame.y - at.y) * heading.y;
}

double RaceLine::across(double x, double y) const { return std::fabs((x - at.x) * heading.y - (y - at.y) * heading.x); }

double RaceLine::away(const GhostFrame& frame) const { return std::hypot(frame.x - at.x, frame.y - at.y); }

bool RaceLine::reaches(double x, double y) const { return across(x, y) <= lineReach; }

std::optional<RaceLine> raceLineOf(std::span<const GhostFrame> frames) {
  const std::size_t count = frames.size();
  if (count < 2) return std::nullopt;
  // The path's length as far as it matters: past four times the reach, the reach is whole.
  double walked = 0.0;
  for (std::size_t i = 1; i < count && walked < raceLinePathLookedAt; ++i) walked += step(frames[i - 1], frames[i]);
  if (!(walked > 0.0) || !std::isfinite(walked)) return std::nullopt;
  const double reach = std::min(headingReach, walked / 4.0);
  std::size_t ahead = 1;
  double distance = step(frames[0], frames[1]);
  while (ahead + 1 < count && distance < reach) {
    ++ahead;
    distance += step(frames[ahead - 1], frames[ahead]);
  }
  const double dx = frames[ahead].x - frames[0].x, dy = frames[ahead].y - frames[0].y;
  const double norm = std::hypot(dx, dy);
  if (!(norm > 0.0)) return std::nullopt;
  return RaceLine{{frames[0].x, frames[0].y}, {dx / norm, dy / norm}};
}

double raceSecondsAt(std::span<const GhostFrame> frames, double milliseconds) {
  return (milliseconds - static_cast<double>(frames.front().time)) / 1000.0;
}

double raceSecondsOf(std::span<const GhostFrame> frames, std::size_t frame) {
  return raceSecondsBetween(frames, 0, frame);
}

double raceSecondsBetween(std::span<const GhostFrame> frames, std::size_t from, std::size_t to) {
  return (static_cast<double>(frames[to].time) - frames[from].time) / 1000.0;
}

RaceLineCrossings::RaceLineCrossings(const RaceLine& line, std::span<const GhostFrame> frames)
    : line_(line), frames_(frames) {}

double RaceLineCrossings::alongPace(std::size_t from, std::size_t to) const {
  const double seconds = raceSecondsOf(frames_, to) - raceSecondsOf(frames_, from);
  if (seconds <= 0.0) return 0.0;
  return (line_.along(frames_[to]) - line_.along(frames_[from])) / seconds;
}

std::optional<RaceLineCrossing> RaceLineCrossings::next() {
  const std::size_t count = frames_.size();
  if (count == 0) return std::nullopt;
  if (frame_ == 0) {
    frame_ = 1;
    // A run that begins on the line or just past it starts there.
    const double first = line_.along(frames_.front());
    if (first >= 0.0 && first <= lineReach && line_.across(frames_.front().x, frames_.front().y) <= lineReach) {
      RaceLineCrossing start;
      const double pace = count > 1 ? alongPace(0, 1) : 0.0;
      if (first > 0.0 && pace > 0.0 && first / pace <= extrapolationLimit) {
        start.seconds = -first / pace;
        start.carried = -first;
      }
      crossed_ = true;
      return start;
    }
    away_ = true;
  }
  for (; frame_ < count; ++frame_) {
    const std::size_t i = frame_;
    if (line_.away(frames_[i]) > awayFromLine) away_ = wentAway_ = true;
    const double before = line_.along(frames_[i - 1]);
    const double after = line_.along(frames_[i]);
    if (!(before < 0.0 && after >= 0.0) || !away_) continue;
    const double share = before / (before - after);
    const double x = interpolate(frames_[i - 1].x, frames_[i].x, share);
    const double y = interpolate(frames_[i - 1].y, frames_[i].y, share);
    if (line_.across(x, y) > lineReach) continue;
    ++frame_;
    away_ = false;
    crossed_ = true;
    return RaceLineCrossing{interpolate(raceSecondsOf(frames_, i - 1), raceSecondsOf(frames_, i), share), i, share,
                            0.0};
  }
  if (ended_) return std::nullopt;
  ended_ = true;
  // A run that ends just short of the line finishes there.
  const double last = count > 1 ? line_.along(frames_.back()) : 0.0;
  if (!away_ || !crossed_ || !(last < 0.0) || -last > lineReach ||
      line_.across(frames_.back().x, frames_.back().y) > lineReach) {
    return std::nullopt;
  }
  const double pace = alongPace(count - 2, count - 1);
  if (!(pace > 0.0) || -last / pace > extrapolationLimit) return std::nullopt;
  return RaceLineCrossing{raceSecondsOf(frames_, count - 1) - last / pace, count, 1.0, -last};
}
