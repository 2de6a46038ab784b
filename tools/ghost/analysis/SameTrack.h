// Whether two runs follow one track: most of a run's path lies near the other's. Runs of two maps under one
// map name (a map remade, a file renamed) do not, and their laps, sectors and unfinished laps mean nothing
// against each other; runs of one track on any line, cut short or leaving it for a while still do.
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

inline bool followsTrack(std::span<const GhostFrame> track, std::span<const GhostFrame> run) {
  return shareOffTrack(track, run) <= mostOffTrack;
}

}  // namespace lumaro_ghost
