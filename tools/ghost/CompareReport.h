// What `lumaro-ghost compare` prints: both runs, the total difference, the table of splits at every tenth of
// each lap (the tenth that ends a lap is its lap line), and where B gains and loses the most.
#pragma once

#include <ostream>

#include "tools/ghost/LappedRun.h"
#include "tools/ghost/LoadedGhost.h"
#include "tools/ghost/RunComparison.h"

namespace lumaro_ghost {

// "Player on Speedway, 3 laps in 01:00:016" from the header, with what it lacks left out.
std::string runCaption(const LoadedGhost& ghost);

void writeComparison(std::ostream& out, const LoadedGhost& a, const LappedRun& lappedA, const LoadedGhost& b,
                     const LappedRun& lappedB, const RunComparison& comparison);

}  // namespace lumaro_ghost
