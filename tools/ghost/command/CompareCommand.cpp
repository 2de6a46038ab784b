// lumaro-ghost compare: where run B gains and loses time against run A, matched by track position.
#include <cstddef>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tools/ghost/analysis/LapValidity.h"
#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/analysis/UnfinishedRuns.h"
#include "tools/ghost/command/CommandLine.h"
#include "tools/ghost/command/RaceRuns.h"
#include "tools/ghost/command/Subcommand.h"
#include "tools/ghost/report/CompareReport.h"
#include "tools/ghost/report/TraceExport.h"

namespace lumaro_ghost {

namespace {

// The help states these in words.
static_assert(fewestSectors == 1 && mostSectors == 100 && defaultSectors == 10 && leastDrivenLapShare == 0.25);

constexpr OptionHelp options[] = {
    {GhostOption::Lap, "N|RUN:N,RUN:N",
     "N: compare lap N of each run only\n"
     "RUN:N,RUN:N: compare the second lap named against the first, of either run or both\n"
     "of one run (A:2,B:3 is B's lap 3 against A's lap 2; A:1,A:2 is A's lap 2 against its\n"
     "lap 1, and then B may be left out; A:best,B:best the best laps; theoretical,B:3 B's\n"
     "lap 3 against the theoretical best lap, B:3,theoretical the theoretical best lap\n"
     "against B's lap 3). The first lap named is the reference side: B:2,A:1 is A's lap 1\n"
     "against B's lap 2"},
    {GhostOption::Best, "", "compare A's best lap with B's best lap"},
    {GhostOption::Ref, "RUN:N",
     "place every lap on this lap (A:2 is A's second lap, A:best its best lap) rather than\n"
     "on the median lap"},
    {GhostOption::Sectors, "N", "sectors a lap is cut into, 1 to 100 (default 10: tenths of the lap)"},
    {GhostOption::Json, "", "the comparison as one JSON object, for scripts"},
    {GhostOption::Csv, "",
     "the trace along the reference lap as CSV: distance, each run's time and speed there\n"
     "and the difference, at every sector line and 30 times within each sector"},
    {GhostOption::Force, "", "compare runs of different maps or lap counts, of two tracks, or cut short, all the same"},
};

int run(const CommandLine& given, std::ostream& out, std::ostream& err) {
  CommandLine line = given;
  if (line.files.size() != 2 && !(oneRunNamed(line) && line.files.size() == 1)) {
    return usage(err, "compare", "name two ghost files, A and B (or one, with --lap A:N,A:M)");
  }
  std::vector<std::string> notes;
  const std::optional<Loaded> loaded = loadRace(line, "compare", notes, err);
  if (!loaded) return 1;
  const std::optional<Analysis> analysed = analyseRace(loaded->ghosts, line, "compare", err);
  if (!analysed) return 1;
  const Analysis& analysis = *analysed;
  const ComparedLaps chosen = chosenLaps(line);
  const LapChoice& choice = chosen.laps;
  const Comparison comparison = compareRuns(analysis, chosen.a, chosen.b, choice);
  const std::vector<std::size_t> used = usedRuns(comparison);
  const bool everyLap = !line.lap && !line.lapPair && !line.best;
  const std::string compared =
      everyLap ? everyLapText(analysis, used, "compared") : comparisonHeading(comparison, choice) + " is compared";
  const int status = noteUnfinishedRuns(loaded->ghosts, analysis, used, compared, line, "compare", notes, err);
  if (line.csv) {
    writeTraceCsv(out, analysis, comparison);
  } else if (line.json) {
    writeComparisonJson(out, loaded->ghosts, analysis, comparison, choice, notes);
  } else {
    writeComparison(out, loaded->ghosts, analysis, comparison, choice, notes);
  }
  return status;
}

}  // namespace

const Subcommand subcommands::compare{
    "compare",
    "where run B gains and loses time against run A, sector by sector",
    R"(lumaro-ghost compare A [B] [--lap N | --lap RUN:N,RUN:N | --best] [--ref RUN:N] [--sectors N]
                     [--json | --csv] [--force])",
    R"(Where run B gains and loses time against run A, matched by track position. Both runs are timed at one
start line (across the way A sets off, through the rearmost of the runs' first frames), each crossing
interpolated between the frames on either side of it; every point of every lap is placed at the nearest
point of the reference lap (the lap whose length is the median of all laps of both runs, unless --ref
names one), so runs sampled at different rates, in another phase or on a line a car's width or two apart
compare correctly, and a lap that leaves the track is never the yardstick. Printed: the reference lap,
each run's lap times and best lap, the total difference (B's time less A's: below zero B is ahead), the
laps side by side, the ghost delta at every sector line of each lap (B's time less A's at the same place:
what the map's GhostDelta shows when A is the ghost and B the player's run) with what B gained or lost
over that sector, the theoretical best lap (the best of each sector over every lap of both runs), and the
sectors of the largest gain and loss. Runs of different maps or lap counts are refused. A run that
completes fewer laps than its header names (one cut inside its first lap completes none) is compared over
the laps both complete, and over the lap it does not finish as far as it drove it (the ghost delta where
it ends); the report says so, and the exit status is 1 unless --force. A run that does not follow A's
track (runs of two maps under one map name) is said to be so, with the same exit status; a lap no car can
have driven (timed at zero or less, or in under 25% of the median lap) is named, and is never a best lap.
The first lap named is the reference side: --lap B:2,A:1 is A's lap 1 against B's lap 2.
)",
    options,
    R"(Example:
  lumaro-ghost compare My-PB.ghost My-PB-2.ghost --sectors 5
)",
    true,
    run,
};

}  // namespace lumaro_ghost
