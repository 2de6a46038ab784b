// The board as one self-contained HTML page: a section per group with its ranked table (sortable by any
// column, the runs with a finding marked and, on request, hidden and the rest ranked among themselves), its
// sector table with the best of each sector and its holder, the theoretical best, the findings, each run's line
// on the group's map on demand, and a click on a run replaying it against the group's best with the replay
// page's own player; the files on no board listed apart. Script, style and data are inline; the page's
// Content-Security-Policy is the replay page's (ReplayPage.h's selfContainedHead), so it fetches nothing and
// runs no other script, whatever the ghost files hold.
#pragma once

#include <string>

#include "tools/ghost/board/BoardData.h"

namespace lumaro_ghost {

std::string boardPage(const Board& board);

// A run's race time and speed along the laps, at the trace's samples, as the page carries them: in the replay's
// point code (PointCode.h), two numbers a sample, each the change from the sample before, its time in these
// parts of a second and its speed in these parts of a unit per second (a value that is not finite as 0).
inline constexpr int traceTimesPerSecond = 10000;
inline constexpr int traceSpeedsPerUnit = 10;
std::string encodeTrace(const BoardRun& run);

// The page's data block alone (a JSON object): its figures, and every text from a file as the replay page
// shows one (pageTextJson), so that no name can end the element that holds it.
std::string boardPageData(const Board& board);

}  // namespace lumaro_ghost
