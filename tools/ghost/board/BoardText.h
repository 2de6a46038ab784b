// A board as text: the terminal table (each group's ranking, its sectors with the best of each marked and the
// theoretical best, the findings, the files on no board), JSON (its schema in docs/ghost-tool.md) and CSV (a
// header row, then one row a run, groups one after another, each in rank order). Names from the files pass
// through each output's escape (tools/ghost/text/TextEscapes.h).
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "tools/ghost/board/BoardData.h"

namespace lumaro_ghost {

void writeBoardText(std::ostream& out, const Board& board);
void writeBoardJson(std::ostream& out, const Board& board);
void writeBoardCsv(std::ostream& out, const Board& board);

// A race time as every output shows it: rounded to the whole millisecond; the gaps the terminal and the page
// show are those between the shown times, so that they always agree with them.
std::int64_t shownRaceMilliseconds(double seconds);
std::string raceTimeText(double seconds);
// What the time column shows of a run: its race time when ranked, else why it is not ("completes 2 of 3 laps",
// "lap 2 cannot have been driven", "does not follow the group's track").
std::string boardTimeText(const BoardRun& run, int groupLaps);

// The CSV's header row, without its line end.
inline constexpr const char* boardCsvHeader =
    "map,laps,rank,tied,player,time_s,gap_to_best_s,gap_to_ahead_s,laps_s,gap_to_theoretical_s,file,same_run,"
    "findings";

}  // namespace lumaro_ghost
