// What `lumaro-ghost compare` prints: both runs with their lap times, the total difference, the laps side
// by side, the table of the difference at every sector line of each lap compared, the theoretical best and
// where B gains and loses the most; or all of it as one JSON object (the schema is in docs/ghost-tool.md).
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/ghost/analysis/LoadedGhost.h"
#include "tools/ghost/analysis/RunAnalysis.h"

namespace lumaro_ghost {

// "Player on Speedway, 3 laps in 01:00:016" from the header, with what it lacks left out.
std::string runCaption(const LoadedGhost& ghost);

// A share of a lap as a percentage: "40%", "33.3%".
std::string percentText(double share);

// The sector of a lap as a place: "lap 2 between 40% and 50%".
std::string sectorPlace(const SectorDelta& sector);

// A side of the comparison (a: the reference side) in short, as a column and the pictures name it: "A" lap
// for lap, "A:2" for a lap the user paired, "T" for the theoretical best lap.
std::string columnName(const Comparison& comparison, const LapChoice& choice, bool a);

// What is compared: "B against A", "B against A, lap 2", "B's lap 3 against A's lap 2", "B's best lap (2)
// against A's best lap (1)", "A's lap 2 against the theoretical best lap (T)".
std::string comparisonHeading(const Comparison& comparison, const LapChoice& choice);

// Which lap every lap is placed on, and why that one: "Matched by track position: ... A's lap 2 (6283.2
// units, the lap of median length) ...".
std::string referenceText(const Analysis& analysis);
// The reference lap as compare --json writes it: {run, lap, length, chosen}, null without one.
std::string referenceJson(const Analysis& analysis);
// How far the start line may lie from the map's own, when that is noticeable (noticeableLineUncertainty or
// more): "Start line: up to 0.008 s from the map's own line either way, at A's pace ...". None otherwise.
std::optional<std::string> startLineText(const Analysis& analysis);

// ghosts: A and B, the runs the analysis was made of; notes: what the reader must know about the runs
// (different maps or lap counts compared all the same), one a line.
void writeComparison(std::ostream& out, const std::vector<LoadedGhost>& ghosts, const Analysis& analysis,
                     const Comparison& comparison, const LapChoice& choice, const std::vector<std::string>& notes);
void writeComparisonJson(std::ostream& out, const std::vector<LoadedGhost>& ghosts, const Analysis& analysis,
                         const Comparison& comparison, const LapChoice& choice, const std::vector<std::string>& notes);

}  // namespace lumaro_ghost
