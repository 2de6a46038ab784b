// Whether two runs follow one track: most of one run's path lies near the other's. Runs of two maps under one
// map name (a map remade, a file renamed) do not, and their laps, sectors and unfinished laps mean nothing
// against each other; runs of one track on any line, cut short (the short one lies on the other's track) or
// leaving it for a while still do.
#pragma once

#include <span>

#include "library/ghostfile/GhostFrame.h"

namespace lumaro_ghost {

// A point of a run farther than this from every point of the other's path is off that track: several car
// widths, the reach of the start line to either side.
inline constexpr double offTrackDistance = 500.0;
// A run more than this share of whose path is off the other's track does not follow it.
inline constexpr double mostOffTrack = 0.5;

// The share of run's path off track's path: of run's points, taken at least every few units along its path so
// that a car standing still counts once, those farther than offTrackDistance from every frame of track.
// 0 for a run or a track without frames.
double shareOffTrack(std::span<const GhostFrame> track, std::span<const GhostFrame> run);

// The least of the two shares: of each run's path, at least this share lies off the other's.
double shareApart(std::span<const GhostFrame> one, std::span<const GhostFrame> other);

// Whether two runs follow one track: at most mostOffTrack of one of them lies off the other's path.
inline bool oneTrack(std::span<const GhostFrame> one, std::span<const GhostFrame> other) {
  return shareApart(one, other) <= mostOffTrack;
}

}  // namespace lumaro_ghost
