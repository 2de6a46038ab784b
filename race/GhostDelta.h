// The live difference to the ghost a challenge races: at each sample of the player's run, the seconds the
// player is behind the ghost at the player's place on the track (below zero: ahead). Both runs are timed
// from their crossing of one start line, the line through the ghost's first frame across the way it sets
// off, by the one line rule lumaro-ghost times runs by (track/RaceLine.h); the place is found on the ghost's
// path by the one path matcher (track/TrackMatch.h). A car far from the ghost's path has no place: the caller holds
// the last value. Pure; a sample costs the matcher's window, whatever the ghost's length, and allocates nothing.
#pragma once

#include <optional>
#include <span>

#include "library/ghostfile/GhostFrame.h"
#include "track/RaceLine.h"
#include "track/TrackMatch.h"

// The window of the live match: a car a few car widths to the side of the ghost's line is on it, and at most 64
// segments are searched a tick (a densely sampled ghost is bounded by that count, a car moving far less a tick).
inline constexpr PathWindow ghostDeltaWindow{400.0, 64, 500.0};

class GhostDelta {
public:
  // A challenge's race over raceLaps laps starts against the ghost: the line from its frames, the match back at its
  // start, and whether the ghost completes the race's laps (its crossings of the line past its start).
  void start(std::span<const GhostFrame> ghost, int raceLaps);
  // The run so far, its newest frame just taken: the difference at that frame's place, or none before the run's
  // start crossing is known (its second frame) and when the car is off the ghost's path (then the match is sought again
  // on the next sample, near where it was lost and sweeping on ahead, so a car back on the path after a shortcut finds
  // its place again), and none once the ghost has ended short (below).
  std::optional<float> sample(std::span<const GhostFrame> ghost, std::span<const GhostFrame> run);
  // The ghost has ended short of the race: it completes fewer laps than the race, and the run's race time has passed
  // the ghost's last frame. Its path has no place for the car from then on, and it has no race time to compare with.
  bool endedShort() const { return endedShort_; }
  // The finished race: the player's race time less the ghost's, each from its start crossing to its last
  // crossing that counts (its last frame when it has none); 0 for a ghost that completes fewer laps than the race.
  // The ghost's is taken as the race starts: a ghost unloaded or replaced once the last line is crossed leaves the
  // race's own comparison standing.
  float finish(std::span<const GhostFrame> run) const;

private:
  double ghostSecondsAt(std::span<const GhostFrame> ghost, PathPlace place) const;

  std::optional<RaceLine> line_;
  double ghostStart_ = 0.0;
  double ghostRaceSeconds_ = 0.0;  // from its start crossing to its last crossing that counts
  double ghostEnd_ = 0.0;          // from its start crossing to its last frame
  bool ghostShort_ = false;        // it completes fewer laps than the race
  bool endedShort_ = false;
  std::optional<double> runStart_;
  PathPlace place_;
  double last_ = 0.0;  // the difference last found
  // While off the path: where the sweep ahead searches next.
  bool lost_ = false;
  PathPlace sweep_;
};
