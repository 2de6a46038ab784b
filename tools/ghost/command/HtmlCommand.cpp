// lumaro-ghost html: the runs replayed racing each other, as one web page.
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/command/CommandLine.h"
#include "tools/ghost/command/RaceRuns.h"
#include "tools/ghost/command/Subcommand.h"
#include "tools/ghost/command/WrittenDocument.h"
#include "tools/ghost/replay/ReplayData.h"
#include "tools/ghost/replay/ReplayPage.h"

namespace lumaro_ghost {

namespace {

// The help states these in words.
static_assert(fewestSectors == 1 && mostSectors == 100 && defaultSectors == 10);

constexpr std::string_view extensions[] = {".html", ".htm"};
constexpr DocumentKind replay{"replay page", "HTML", extensions};

constexpr OptionHelp options[] = {
    {GhostOption::Output, "FILE",
     "where to write the page: a name ending in .html or .htm, or \"-\" for standard output\n"
     "(never over a ghost file)"},
    {GhostOption::Lap, "N|RUN:N,RUN:N",
     "N: replay lap N of every run, the clock starting at its start\n"
     "RUN:N,RUN:N: replay the second lap named against the first, as compare takes them\n"
     "(A:2,B:3, A:1,A:3 with one file, A:best,B:best), each clock starting at its lap's start"},
    {GhostOption::Best, "", "replay B's best lap against A's best lap"},
    {GhostOption::Ref, "RUN:N",
     "place every lap on this lap (A:2 is A's second lap, A:best its best lap) rather than\n"
     "on the median lap"},
    {GhostOption::Sectors, "N", "sectors a lap is cut into, 1 to 100 (default 10)"},
    {GhostOption::Force, "",
     "replay runs of different maps or lap counts, runs cut short, or runs that do not\n"
     "follow the same track, all the same (the laps all of them hold)"},
};

int run(const CommandLine& line, std::ostream& out, std::ostream& err) {
  if (line.files.empty()) return usage(err, "html", "name at least one ghost file");
  if (!line.output) return usage(err, "html", "say where the page goes with -o FILE.html");
  if (const auto problem = outputNameProblem(replay, *line.output)) return usage(err, "html", *problem);
  if ((line.lapPair || line.best) && line.files.size() > 2)
    return usage(err, "html", "two laps are replayed against each other from one or two files, not more");
  if (line.lapPair && line.files.size() == 1 && !oneRunNamed(line))
    return usage(err, "html", "name two ghost files, A and B (or one, with --lap A:N,A:M)");
  if (line.againstTheoretical || line.theoreticalSecond)
    return usage(err, "html", "the theoretical best lap is no run's lap to replay (compare and plot take it)");
  std::vector<std::string> notes;
  const std::optional<Loaded> loaded = loadRace(line, "html", notes, err);
  if (!loaded) return 1;
  CommandLine named = line;
  const std::optional<Analysis> analysis = analyseRace(loaded->ghosts, named, "html", err);
  if (!analysis) return 1;
  const ComparedLaps chosen = chosenLaps(named);
  const NotedRuns noted = noteChosenLaps(loaded->ghosts, *analysis, named, chosen, "html", "replayed", notes, err);
  if (noted.refused) return noted.status;
  ReplayData data = replayData(loaded->ghosts, *analysis, chosen);
  data.notes = notes;
  if (data.laps.empty()) data.notes.emplace_back(nothingCompared);
  const int written = writeOutput("html", replay, *line.output, loaded->ghosts, replayPage(data), out, err);
  return written != 0 ? written : noted.status;
}

}  // namespace

const Subcommand subcommands::html{
    "html",
    "the runs replayed racing each other, as one web page that works offline",
    R"(lumaro-ghost html A [B...] -o REPLAY.html [--lap N | --lap RUN:N,RUN:N | --best] [--ref RUN:N]
                  [--sectors N] [--force])",
    R"(Writes the runs as one self-contained web page that opens offline in any browser and fetches nothing:
the map with each run's line and a car marker moving in real time, play and pause, speed from 1/4x to 8x,
a scrub bar, steps to the previous or next sector and lap, B's time less A's and each run's speed along
the laps with a cursor at the current point, and the lap and sector table (each sector's time per run and
what it gained or lost, the theoretical best) with the current sector marked. A's line on the map is
coloured by B's pace against A; a click or drag on the map or on a trace seeks there.
Runs are timed and matched as compare times and matches them, so the figures are compare's; the clock is
race time, from where each run crosses A's start line, so the cars set off together. Names, maps and
times are shown as info prints them. Runs of different maps or lap counts are refused, and so are runs that
do not follow the same track (two maps under one map name), unless --force. Once the page is written, one line says where and how large it is (nothing more is written when it goes to standard output).

Keys: space plays or pauses; left and right arrows step by sector, with shift by lap; up and down change
the speed; Home and End go to the start and the finish; the wheel, + and - zoom the map, shift+drag and
alt+arrows pan it, 0 shows it whole again.
)",
    options,
    R"(Example:
  lumaro-ghost html My-PB.ghost My-PB-2.ghost -o replay.html
)",
    false,
    run,
};

}  // namespace lumaro_ghost
