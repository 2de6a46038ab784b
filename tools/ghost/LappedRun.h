// A run cut into its laps, so that two runs can be matched by distance along the path rather than by frame:
// a point of a run is named by its progress in laps (1.25 is a quarter into the second lap), each lap
// stretched over that run's own distance from one lap line to the next. Lap lines are where the run crosses
// back over its start gate (the line through the first frame, across the direction the run sets off in),
// and the run finishes at its last crossing, or at its last frame when it stops short of the line; when the
// run does not cross the gate once per lap, the laps are equal shares of its length.
#pragma once

#include <span>
#include <vector>

#include "plugin/GhostFrame.h"
#include "tools/ghost/RunProfile.h"

namespace lumaro_ghost {

struct LappedRun {
  std::vector<double> distance;  // per frame, as in RunProfile
  std::vector<double> seconds;   // per frame, from the first frame's time
  std::vector<double> lapEnds;   // the distance at the end of each lap, the last one at the finish
  bool lapLinesFound = false;    // false when the laps are equal shares of the length
  int laps() const { return static_cast<int>(lapEnds.size()); }
};

// laps: the header's lap count; below one counts as one.
LappedRun lapRun(std::span<const GhostFrame> frames, const RunProfile& profile, int laps);

// Where the run is at a progress (0 to laps()): its distance along the path, and its run time there.
double distanceAt(const LappedRun& run, double progress);
double secondsAt(const LappedRun& run, double progress);

}  // namespace lumaro_ghost
