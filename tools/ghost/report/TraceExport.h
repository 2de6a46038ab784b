// The trace of a comparison to take elsewhere: sampled along the reference lap at every sector line and
// evenly within each sector, lap pair after lap pair, with each run's time since the comparison's start,
// B's time less A's and each run's speed there. compare --csv writes it as CSV, compare --json as its
// "trace" array; the replay samples its traces at the same points.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tools/ghost/analysis/RunAnalysis.h"

namespace lumaro_ghost {

// Samples of the trace within each sector, its start being the first.
inline constexpr int traceSamplesPerSector = 30;

struct ExportedPoint {
  double distance = 0.0;  // along the laps compared: (lap pairs before + share of the lap) x the reference's length
  int pair = 0;           // index of the lap pair
  double share = 0.0;     // of the lap
  TracePoint at;
};

// Every sector start of every lap pair, traceSamplesPerSector points a sector, and the finish.
std::vector<ExportedPoint> exportedTrace(const Analysis& analysis, const Comparison& comparison);

// The header row, then one row a point: distance,lap_a,lap_b,share,a_s,b_s,delta_s,a_speed,b_speed,ghost_delta_s
// (ghost_delta_s: delta_s again, under the name the map gives it while racing a ghost).
void writeTraceCsv(std::ostream& out, const Analysis& analysis, const Comparison& comparison);

// The "trace" array of compare --json: one object a point, the keys as the CSV's columns.
std::string traceJson(const Analysis& analysis, const Comparison& comparison);

}  // namespace lumaro_ghost
