// The line a run is timed at, and where a run crosses it: the line through a run's first frame, across the way
// it sets off, and each crossing of it interpolated between the frames on either side (a run that begins just
// past the line, or ends just short of it, carried on to the line at the pace of its nearest two frames).
// The live difference to a ghost (race/GhostDelta.h) and lumaro-ghost's run analysis both time runs through it,
// so a challenge's difference and a comparison of the two files agree. Pure; a walk over a run allocates nothing.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

#include "library/ghostfile/GhostFrame.h"
#include "track/TrackMatch.h"

// The line a run is timed at: through a point, across a direction of travel (a unit vector).
struct RaceLine {
  PathPoint at;
  PathPoint heading{1.0, 0.0};

  // How far a frame is past the line along the heading (below zero: short of it).
  double along(const GhostFrame& frame) const;
  // How far a point is to the side of the line's point, along the line.
  double across(double x, double y) const;
  // How far a frame is from the line's point.
  double away(const GhostFrame& frame) const;
  // Whether a point lies within the line's reach to either side of its point (a crossing there counts).
  bool reaches(double x, double y) const;
};

// The line through a run's first frame, across the direction it sets off in over its first 50 units of path
// (a quarter of its length when shorter); none for a run that does not move.
std::optional<RaceLine> raceLineOf(std::span<const GhostFrame> frames);
// raceLineOf looks no further along a run's path than this (units): frames up to this far are all it needs.
inline constexpr double raceLinePathLookedAt = 200.0;

// A run's time in seconds: the one conversion of its milliseconds that the live GhostDelta and lumaro-ghost's
// analysis, profile and pages share, so that their times agree to the bit.
// Seconds from the run's first frame to a time of the run in milliseconds (between frames: interpolated).
double raceSecondsAt(std::span<const GhostFrame> frames, double milliseconds);
// Seconds of a frame from the run's first frame.
double raceSecondsOf(std::span<const GhostFrame> frames, std::size_t frame);
// Seconds from frame from to frame to.
double raceSecondsBetween(std::span<const GhostFrame> frames, std::size_t from, std::size_t to);

struct RaceLineCrossing {
  double seconds = 0.0;   // run time from the first frame (below zero: before it, carried back)
  std::size_t frame = 0;  // the first frame at or past the crossing (the frame count when past the last)
  double share = 0.0;     // between frames: the share of the step from frame - 1 to frame where the line is
  // At the run's ends: the distance along the heading from the first frame back to the line (at most zero), or from
  // the last frame on to it.
  double carried = 0.0;
};

// A run's crossings of a line that count, in order: the start (at the first frame when it begins on the line
// or just past it, else its first crossing), then each crossing after the run has been far from the line's
// point since the one before (rolling back and forth over the line is not a lap), and last the line carried on
// to from a run that ends just short of it.
class RaceLineCrossings {
public:
  RaceLineCrossings(const RaceLine& line, std::span<const GhostFrame> frames);
  std::optional<RaceLineCrossing> next();
  // Whether the run has gone far from the line's point anywhere it was walked so far.
  bool wentAway() const { return wentAway_; }

private:
  double alongPace(std::size_t from, std::size_t to) const;

  RaceLine line_;
  std::span<const GhostFrame> frames_;
  std::size_t frame_ = 0;  // the next frame to look at; 0 before the look at the run's start
  bool away_ = false;
  bool wentAway_ = false;
  bool crossed_ = false;
  bool ended_ = false;
};
