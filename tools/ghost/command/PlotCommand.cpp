// lumaro-ghost plot: the runs drawn as one SVG picture.
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
#include "tools/ghost/picture/GhostFilesPicture.h"
#include "tools/ghost/picture/PictureSvg.h"

namespace lumaro_ghost {

namespace {

// The help states these in words.
static_assert(fewestSectors == 1 && mostSectors == 100 && defaultSectors == 10);

constexpr std::string_view extensions[] = {".svg"};
constexpr DocumentKind picture{"picture", "SVG", extensions};

constexpr OptionHelp options[] = {
    {GhostOption::Output, "FILE",
     "where to write the picture: a name ending in .svg, or \"-\" for standard output (never\n"
     "over a ghost file)"},
    {GhostOption::Lap, "N|RUN:N,RUN:N",
     "N: draw lap N only\n"
     "RUN:N,RUN:N: draw the second lap named against the first, as compare takes them\n"
     "(A:2,B:3, A:1,A:3 with one file, A:best,B:best, theoretical,B:3 or B:3,theoretical)"},
    {GhostOption::Best, "", "draw B's best lap against A's best lap"},
    {GhostOption::Ref, "RUN:N",
     "place every lap on this lap (A:2 is A's second lap, A:best its best lap) rather than\n"
     "on the median lap"},
    {GhostOption::Sectors, "N", "sectors a lap is cut into, 1 to 100 (default 10)"},
    {GhostOption::Force, "",
     "draw runs of different maps or lap counts, runs cut short, or runs that do not follow\n"
     "the same track, all the same"},
};

int run(const CommandLine& line, std::ostream& out, std::ostream& err) {
  if (line.files.empty()) return usage(err, "plot", "name at least one ghost file");
  if (!line.output) return usage(err, "plot", "say where the picture goes with -o FILE.svg");
  if (const auto problem = outputNameProblem(picture, *line.output)) return usage(err, "plot", *problem);
  if ((line.lapPair || line.best) && line.files.size() > 2)
    return usage(err, "plot", "two laps are drawn against each other from one or two files, not more");
  if (line.lapPair && line.files.size() == 1 && !oneRunNamed(line))
    return usage(err, "plot", "name two ghost files, A and B (or one, with --lap A:N,A:M)");
  std::vector<std::string> notes;
  const std::optional<Loaded> loaded = loadRace(line, "plot", notes, err);
  if (!loaded) return 1;
  CommandLine named = line;
  const std::optional<Analysis> analysis = analyseRace(loaded->ghosts, named, "plot", err);
  if (!analysis) return 1;
  const ComparedLaps chosen = chosenLaps(named);
  const NotedRuns noted = noteChosenLaps(loaded->ghosts, *analysis, named, chosen, "plot", "drawn", notes, err);
  if (noted.refused) return noted.status;
  const int written = writeOutput("plot", picture, *line.output, loaded->ghosts,
                                  pictureSvg(ghostsPicture(loaded->ghosts, *analysis, chosen, notes)), out, err);
  return written != 0 ? written : noted.status;
}

}  // namespace

const Subcommand subcommands::plot{
    "plot",
    "the runs drawn as one SVG picture: where B loses time, or each run's speed",
    R"(lumaro-ghost plot A [B...] -o PICTURE.svg [--lap N | --lap RUN:N,RUN:N | --best] [--ref RUN:N]
                  [--sectors N] [--force])",
    R"(Draws the runs as one self-contained SVG picture that opens in any browser (x to the right, y downward).
Two runs make one picture of where B loses time: both lines on one map, B's coloured by whether it gains
or loses against A at that point of the track, the sector lines numbered and the sector of the largest
loss circled; below it both runs' speed along the lap, and B's time less A's (matched by track position,
as compare does) with the lap lines, the sectors of the largest gain and loss and the difference at the
finish. One run, or three or more, get a map each, coloured by speed on one shared scale that starts low
enough that a few per cent look alike. Runs of different maps or lap counts are refused, and so are runs
that do not follow the same track (two maps under one map name), unless --force. Once the picture
is written, one line says where and how large it is (nothing more is written when it goes to standard
output).
)",
    options,
    R"(Example:
  lumaro-ghost plot My-PB.ghost My-PB-2.ghost -o comparison.svg
)",
    false,
    run,
};

}  // namespace lumaro_ghost
