// `lumaro-ghost compare --json`: B against A for scripts, from the same figures the replay page shows.
//   {"total_s": B's time less A's at the end of the laps both hold,
//    "laps": [{"lap", "a_s", "b_s", "delta_s"}...],
//    "sectors": [{"lap", "from", "to", "delta_s"}...]}
// Seconds with six decimals; from and to are shares of the lap; a delta_s below zero is time B gained.
#pragma once

#include <ostream>

#include "tools/ghost/ReplayData.h"

namespace lumaro_ghost {

// data: of exactly two runs, A and B.
void writeComparisonJson(std::ostream& out, const ReplayData& data);

}  // namespace lumaro_ghost
