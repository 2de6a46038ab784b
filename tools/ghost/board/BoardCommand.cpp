#include "tools/ghost/board/BoardCommand.h"

#include <algorithm>
#include <optional>
#include <string>

#include "tools/ghost/DocumentOutput.h"
#include "tools/ghost/analysis/DrivingFindings.h"
#include "tools/ghost/analysis/LoadedGhost.h"
#include "tools/ghost/board/BoardBuild.h"
#include "tools/ghost/board/BoardPage.h"
#include "tools/ghost/board/BoardText.h"
#include "tools/ghost/text/TextEscapes.h"

namespace lumaro_ghost {

const char* const boardHelp =
    R"(lumaro-ghost board PATH... [-o BOARD.html | --json | --csv] [--map NAME] [--laps N] [--sectors N]
                   [--plausible-only]

A board of every ghost in the files and folders given: grouped by map and lap count as the plugin's page
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

Each run is also looked at for what a car cannot do: a jump (a frame farther from the one before than {jump margin}
times the group's top speed covers in the time between them), time that stands still while the car moves or
that runs backwards, a cut (a lap {cut share}% or more shorter than the reference lap, with where its line leaves the
common track and comes back) and a top speed {speed share}% or more above every other run's. A run with a finding is
marked "?" and its laps with one count towards no best sector. A finding is evidence to weigh, never a
verdict: a damaged file, an edit or a recording fault can show the same.

  -o BOARD.html     instead, the board as one page that opens offline and fetches nothing: each group's
                    tables sortable by any column, the runs' lines on its map, a click on a run replaying it
                    against the group's best, the runs with a finding marked and hidden on request; "-" writes
                    it to standard output
  --json            the board as one JSON object, for scripts (docs/ghost-tool.md has the schema)
  --csv             one row a run, groups one after another in rank order, after a header row naming the columns
  --map NAME        only the groups of this map
  --laps N          only the groups of this lap count, {lap limits}
  --sectors N       sectors a lap is cut into, 1 to 100 (default 10)
  --plausible-only  leave out the runs with a finding, and rank the others

Exit status: 0 a board made, 1 a file given that cannot be read or no ghost at all, 2 usage.

Example:
  lumaro-ghost board tessaro/data/Ghosts Friends/ --map Speedway --laps 3
)";

namespace {

// The board's page where -o says ("-": standard output), never over a ghost file. Exit status as for the
// board, or 1 when it could not be written, 2 when the name is a ghost file's.
int writeBoardPage(const std::string& output, const Board& board, std::ostream& out, std::ostream& err) {
  if (output == "-") {
    out << boardPage(board);
    return 0;
  }
  const std::optional<DocumentRefusal> refusal = writeDocument(output, boardPage(board), {});
  if (refusal && refusal->ghostFile) {
    err << "lumaro-ghost board: -o " << lineText(output)
        << " is a ghost file: the page is never written over one (lumaro-ghost board --help)\n";
    return 2;
  }
  if (refusal) {
    err << "lumaro-ghost board: cannot write " << lineText(output) << ": " << refusal->reason << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

int runBoard(const BoardRequest& request, std::ostream& out, std::ostream& err) {
  BoardOptions options;
  options.map = request.map;
  options.laps = request.laps;
  options.sectors = request.sectors;
  options.plausibleOnly = request.plausibleOnly;
  const Board board = buildBoard(request.paths, options);
  if (request.page) {
    if (const int written = writeBoardPage(*request.page, board, out, err); written != 0) return written;
  } else if (request.json) {
    writeBoardJson(out, board);
  } else if (request.csv) {
    writeBoardCsv(out, board);
  } else {
    writeBoardText(out, board);
  }
  // A file named on the command line that cannot be read fails the board, as it fails every other subcommand;
  // a folder's stray files are listed, and pass.
  const bool givenUnread = std::any_of(board.unread.begin(), board.unread.end(), [&request](const BoardUnread& file) {
    return std::find(request.paths.begin(), request.paths.end(), file.path) != request.paths.end();
  });
  return givenUnread || board.groups.empty() ? 1 : 0;
}

int checkDriving(const std::vector<std::string>& files, std::ostream& out, std::ostream& err) {
  bool clean = true;
  for (const std::string& file : files) {
    const LoadResult loaded = loadGhost(file);
    if (!loaded.ghost) {
      err << "lumaro-ghost check: " << lineText(file) << " " << loaded.error << "\n";
      clean = false;
      continue;
    }
    const LoadedGhost& ghost = *loaded.ghost;
    if (ghost.content.frames.size() < 2 || !(ghost.profile.length > 0.0)) {
      out << lineText(file) << ": " << noPathReason(ghost.content.frames.size()) << "\n";
      clean = false;
      continue;
    }
    const std::vector<DrivingFinding> findings = drivingFindingsAlone(ghost);
    if (findings.empty()) out << lineText(file) << ": nothing a car cannot do\n";
    for (const DrivingFinding& finding : findings) {
      out << lineText(file) << ":" << ghost.content.frameLines[finding.frame] << ": " << findingText(finding) << "\n";
    }
    clean = clean && findings.empty();
  }
  return clean ? 0 : 1;
}

}  // namespace lumaro_ghost
