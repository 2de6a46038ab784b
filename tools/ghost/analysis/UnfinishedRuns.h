// Runs that do not complete the laps their headers name: a file cut short, or a run that ended early. Such
// a run is compared, drawn or replayed over the laps every run completes, and the reader is told which.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "tools/ghost/analysis/LoadedGhost.h"
#include "tools/ghost/analysis/RunAnalysis.h"

namespace lumaro_ghost {

// "lap 1", "laps 1 and 2", "laps 1 to 3"; "no lap" for none (last below 1).
std::string lapRangeText(int last);

// One text per run of used whose path crosses the start line fewer times than its header names laps ("B completes
// 2 of the 3 laps its header names (its file is cut short or its run ended early): " then compared, what is
// compared, drawn or replayed instead). Runs cut into equal shares (no lap line found) are not judged, nor are
// runs off A's track (AnalysisNotes.h names them).
std::vector<std::string> unfinishedRunNotes(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis,
                                            const std::vector<std::size_t>& used, const std::string& compared);

// What is done with every lap the runs of used complete: "laps 1 and 2, which every run completes, are
// compared"; "no lap is compared: ..." when one of them completes none. done: "compared", "drawn" or "replayed".
std::string everyLapText(const Analysis& analysis, const std::vector<std::size_t>& used, const std::string& done);

}  // namespace lumaro_ghost
