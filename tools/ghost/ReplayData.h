// What the replay page is built from, and nothing more: the runs (their points), and measured along the
// first run's path (the reference, A): every run's time and speed there, and the lap and sector rows.
// replayData is the one place that matches runs with each other; a better matching changes it alone.
// Distances are A's, in the game's units from A's first frame; times are seconds from each run's first
// frame; a difference is the run's time less A's (below zero the run is ahead).
#pragma once

#include <vector>

#include "tools/ghost/LoadedGhost.h"

namespace lumaro_ghost {

// Seconds are written out with this many decimals, in `compare --json` and in the page alike, so that the
// page's figures, rounded to the millisecond as it shows them, are the comparison's.
inline constexpr int secondsDecimals = 6;

// The traces are sampled at every sector's start and this many times evenly within each sector.
inline constexpr int traceSamplesPerSector = 30;

// One point along A's path.
struct TraceSample {
  double distance = 0.0;
  double secondsA = 0.0;      // A's run time there
  std::vector<double> delta;  // per run: its time at the matched point less A's (A's own is 0)
  std::vector<double> speed;  // per run: units per second at the matched point
};

struct LapRow {
  int lap = 1;  // from 1
  double startDistance = 0.0;
  double endDistance = 0.0;
  std::vector<double> seconds;  // per run: the lap's time
};

struct SectorRow {
  int lap = 1;
  double from = 0.0;  // shares of the lap
  double to = 0.0;
  double startDistance = 0.0;
  double endDistance = 0.0;
  std::vector<double> seconds;  // per run: the time spent in the sector
  std::vector<double> delta;    // per run: gained (below zero) or lost over the sector against A
};

struct ReplayData {
  std::vector<const LoadedGhost*> runs;  // A first
  std::vector<bool> lapLinesFound;       // per run: false when its laps are equal shares of its length
  int sectorsPerLap = 0;
  std::vector<TraceSample> trace;  // in order of distance, from A's start to the end of the laps all runs hold
  std::vector<LapRow> laps;
  std::vector<SectorRow> sectors;  // lap by lap, in order
};

// ghosts: runs with a path (two frames or more, some length); the first is the reference.
ReplayData replayData(const std::vector<LoadedGhost>& ghosts);

}  // namespace lumaro_ghost
