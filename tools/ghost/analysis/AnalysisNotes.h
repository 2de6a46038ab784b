// What the reader of a comparison, a picture or a replay must be told about the runs besides their times: runs
// that do not follow A's track (SameTrack.h), and the laps that cannot have been driven (LapValidity.h), which
// the figures keep but no best lap, best sector or theoretical best takes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tools/ghost/analysis/RunAnalysis.h"

namespace lumaro_ghost {

// One text per lap of the runs of used that cannot have been driven: "B's lap 2 cannot have been driven: it
// takes 0.028 s, less than 25% of the median lap time (20.012 s); it is no best lap and no part of the
// theoretical best".
std::vector<std::string> undrivenLapNotes(const Analysis& analysis, const std::vector<std::size_t>& used);

// One text per run of used that does not follow A's track: "the runs do not follow the same track: 63% or more
// of B's path and of A's lies more than 500 units from the other's (runs of two maps under one map name?)".
std::vector<std::string> offTrackNotes(const Analysis& analysis, const std::vector<std::size_t>& used);

}  // namespace lumaro_ghost
