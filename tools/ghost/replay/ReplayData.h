// What the replay page is built from, and nothing more: the runs (their points), and measured along the
// laps every run holds: A's time there, every run's difference to A and speed, with the lap and sector
// rows. The figures are the analysis's (RunAnalysis.h): every run timed at A's start line and placed on the
// reference lap by track position, so they are those of `lumaro-ghost compare`.
// Times are race times: seconds from the run's start crossing (its run time less startSeconds); a
// difference is the run's race time less A's at the same place on the track (below zero the run is ahead).
// Distances are along the reference lap, lap after lap: (laps before + share of the lap) x its length.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/ghost/analysis/LoadedGhost.h"
#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/report/TraceExport.h"

namespace lumaro_ghost {

// One point along the laps.
struct TraceSample {
  double distance = 0.0;
  double secondsA = 0.0;      // A's race time there
  std::vector<double> delta;  // per run: its race time there less A's (A's own is 0)
  std::vector<double> speed;  // per run: units per second there
};

struct LapRow {
  int lap = 1;        // from 1
  std::string label;  // the lap, or a lap pair's laps in the order of the runs ("3/2")
  double startDistance = 0.0;
  double endDistance = 0.0;
  std::vector<double> seconds;  // per run: the lap's time, line to line
};

struct SectorRow {
  int lap = 1;
  double from = 0.0;  // shares of the lap
  double to = 0.0;
  double startDistance = 0.0;  // the distance of the trace's sample at the sector's start
  double endDistance = 0.0;
  std::vector<double> seconds;  // per run: the time spent in the sector
  std::vector<double> delta;    // per run: gained (below zero) or lost over the sector against A
};

struct ReplayData {
  std::vector<const LoadedGhost*> runs;  // A first
  std::string letters;                   // per run: its letter (a lap pair's sides are the runs they are of)
  std::vector<std::string> names;        // per run: its letter, or a lap pair's side as run and lap ("B:2")
  std::vector<bool> lapLinesFound;       // per run: false when its laps are equal shares of its length
  std::vector<double> startSeconds;      // per run: the run time (from its first frame) of its start crossing
  std::vector<std::string> notes;        // what the reader must know about the runs, one a line
  std::string startLine;                 // how far the start line may be from the map's own, when noticeable
  int sectorsPerLap = 0;
  std::vector<TraceSample> trace;  // in order of distance, from the start to the end of the laps all runs hold
  std::vector<LapRow> laps;
  std::vector<SectorRow> sectors;  // lap by lap, in order
  // The theoretical best lap: the best time of each sector over every lap of every run, and their sum.
  std::vector<double> bestSectorSeconds;
  std::optional<double> theoreticalBest;
};

// ghosts: runs with a path (two frames or more, some length), A first; analysis: theirs, in their order. The
// traces are sampled where the trace export samples them (TraceExport.h). chosen: every lap of every run
// (by default), one lap of each, or two laps against each other (not the theoretical best lap, which no
// run drove): the pair's sides are then the page's two runs, their clocks starting at their laps' starts.
ReplayData replayData(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis,
                      const ComparedLaps& chosen = {});
ReplayData replayData(const std::vector<LoadedGhost>& ghosts, int sectorsPerLap = 10);

}  // namespace lumaro_ghost
