// lumaro-ghost board: every ghost of the files and folders given, grouped by map and lap count and ranked, with
// sectors and what a car cannot do.
#include <algorithm>
#include <cstddef>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/HostNames.h"
#include "tools/ghost/analysis/DrivingFindings.h"
#include "tools/ghost/analysis/GhostHeaderFields.h"
#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/board/BoardBuild.h"
#include "tools/ghost/board/BoardData.h"
#include "tools/ghost/board/BoardPage.h"
#include "tools/ghost/board/BoardText.h"
#include "tools/ghost/command/CommandLine.h"
#include "tools/ghost/command/RaceRuns.h"
#include "tools/ghost/command/Subcommand.h"
#include "tools/ghost/command/WrittenDocument.h"
#include "tools/ghost/text/TextEscapes.h"

namespace lumaro_ghost {

namespace {

// The help states these in words.
static_assert(fewestLaps == 1 && mostLaps == 6 && fewestSectors == 1 && mostSectors == 100 && defaultSectors == 10);
static_assert(jumpMargin == 3.0 && cutShare == 0.15 && speedShare == 0.25 && fewestOtherRunsForSpeed == 3);

constexpr std::string_view extensions[] = {".html", ".htm"};
constexpr DocumentKind boardPageKind{"board's page", "HTML", extensions};

constexpr OptionHelp options[] = {
    {GhostOption::Output, "FILE",
     "instead, the board as one web page that works offline: a name ending in .html or\n"
     ".htm, or \"-\" for standard output (never over a ghost file)"},
    {GhostOption::Json, "", "the board as one JSON object, for scripts"},
    {GhostOption::Csv, "",
     "one row a run, groups one after another in rank order, after a header row naming\n"
     "the columns"},
    {GhostOption::Map, "NAME", "only the groups of this map"},
    {GhostOption::Laps, "N", "only the groups of this lap count, 1 to 6"},
    {GhostOption::Sectors, "N", "sectors a lap is cut into, 1 to 100 (default 10)"},
    {GhostOption::PlausibleOnly, "", "leave out the runs with a finding, and rank the others"},
};

int run(const CommandLine& line, std::ostream& out, std::ostream& err) {
  if (line.files.empty()) return usage(err, "board", "name at least one ghost file or folder");
  if (line.output) {
    if (const auto problem = outputNameProblem(boardPageKind, *line.output)) return usage(err, "board", *problem);
  }
  BoardOptions asked;
  asked.map = line.mapName;
  asked.laps = line.laps;
  asked.sectors = line.sectors;
  asked.plausibleOnly = line.plausibleOnly;
  const Board board = buildBoard(line.files, asked);
  // A file named on the command line that cannot be read fails the board, as it fails every other subcommand;
  // a folder's stray files are listed, and pass.
  const bool givenUnread = std::any_of(board.unread.begin(), board.unread.end(), [&line](const BoardUnread& file) {
    return std::find(line.files.begin(), line.files.end(), file.path) != line.files.end();
  });
  const int status = givenUnread || board.groups.empty() ? 1 : 0;
  if (line.output) {
    // Never written over a ghost file: by its name or its first line (the board keeps no file's identity).
    std::size_t runs = 0;
    for (const BoardGroup& group : board.groups) runs += group.runs.size();
    const int written = writeOutput("board", boardPageKind, *line.output, {}, runs, boardPage(board), out, err);
    return written != 0 ? written : status;
  }
  std::ostringstream report;
  if (line.json) {
    writeBoardJson(report, board);
  } else if (line.csv) {
    writeBoardCsv(report, board);
  } else {
    writeBoardText(report, board);
  }
  out << terminalText(report.str());
  return status;
}

}  // namespace

const Subcommand subcommands::board{
    "board",
    "a ranked board of every ghost in files and folders, with what a car cannot do",
    R"(lumaro-ghost board PATH... [-o BOARD.html | --json | --csv] [--map NAME] [--laps N] [--sectors N]
                   [--plausible-only])",
    R"(A board of every ghost in the files and folders given: grouped by map and lap count as the plugin's page
groups them, each group's runs ranked by race time (all timed at one start line, each crossing interpolated
between frames) with the gap to the best and to the run ahead and every lap's time. Runs within half a
millisecond of the one ahead are tied: they share its rank and are listed in the order of their files. A
run shared in more than one file (the very same frames) is listed once, with its other files. Every run is
matched by track position on the group's reference lap (the lap of median length, as compare chooses it),
cut into sectors: the best of each sector is marked, with the theoretical best lap (the best sectors of any
laps) and each run's best lap against it. A folder is read as the page reads the ghost folder: not its
sub-folders, each entry with a name the page can list, only regular files; a file of another map or lap
count than --map and --laps ask for is read no further than its header. Files that are on no board are
listed apart with the reason check gives.

Each run is also looked at for what a car cannot do: a jump (a frame farther from the one before than 3
times the group's top speed covers in the time between them), time that stands still while the car moves
or that runs backwards, a cut (a lap 15% or more shorter than the reference lap, with where its line leaves
the common track and comes back), a top speed 25% or more above every other run's (judged against 3 other
ranked runs or more), a run that does not follow the group's track, and a lap no car can have driven
(as check names it). A run with a finding is marked "?" and its laps count towards no best sector; a run
with a lap no car can have driven, a race time of zero or less, or off the group's track is not ranked. A finding is evidence to weigh, never a verdict: a damaged file, an edit or a recording fault can
show the same.

With -o, the board is one self-contained web page that opens offline and fetches nothing: a section a group
with its ranked table (sorted by any column: a click on its heading), its sector table, the findings and
the group's map, where a run's line is drawn when its Line is ticked; a click on a run replays it against
the group's best with html's player, and the runs with a finding can be hidden (the others ranked among
themselves, as --plausible-only ranks them). Names are shown as info prints them.
)",
    options,
    R"(Exit status: 0 a board made, 1 a file named that cannot be read or no ghost at all, 2 usage.

Example:
  lumaro-ghost board tessaro/data/Ghosts Friends --map Speedway --laps 3
)",
    false,
    run,
};

}  // namespace lumaro_ghost
