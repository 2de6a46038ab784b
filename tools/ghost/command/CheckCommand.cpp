// lumaro-ghost check: every problem the plugin would meet in each file, line by line.
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/HostNames.h"
#include "tools/ghost/analysis/DrivingFindings.h"
#include "tools/ghost/analysis/GhostFileContent.h"
#include "tools/ghost/analysis/GhostHeaderFields.h"
#include "tools/ghost/analysis/LapValidity.h"
#include "tools/ghost/analysis/LoadedGhost.h"
#include "tools/ghost/analysis/RunProfile.h"
#include "tools/ghost/command/CommandLine.h"
#include "tools/ghost/command/RaceRuns.h"
#include "tools/ghost/command/Subcommand.h"
#include "tools/ghost/report/GhostCheck.h"
#include "tools/ghost/text/TextEscapes.h"

namespace lumaro_ghost {

namespace {

// The help states these in words.
static_assert(fewestLaps == 1 && mostLaps == 6 && leastDrivenLapShare == 0.25);
static_assert(jumpMargin == 3.0 && cutShare == 0.15);

constexpr OptionHelp options[] = {
    {GhostOption::Map, "NAME",
     "also ask whether the page on this map lists the file (default: the map the file names)"},
    {GhostOption::Laps, "N",
     "also ask whether the page set to N laps (1 to 6) lists it (default: the file's lap count)"},
    {GhostOption::Driving, "",
     "instead, what a car cannot do, as board looks for it in each file alone (timed at its\n"
     "own start line, its laps on its own median lap, its steps measured by its own top\n"
     "speed): a jump (a frame farther from the one before than 3 times its top speed covers\n"
     "in the time between them), time that stands still while the car moves or runs\n"
     "backwards, a cut (a lap 15% or more shorter than the median lap), a lap no car can have\n"
     "driven; FILE:LINE: the finding, LINE the frame's. Evidence to weigh, never a verdict"},
};

// check --driving: each file's driving findings, one a line ("FILE:LINE: lap 2, 45%: a jump of ..."), or that
// none was found.
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

int run(const CommandLine& line, std::ostream& out, std::ostream& err) {
  if (line.files.empty()) return usage(err, "check", "name at least one ghost file");
  if (line.driving && (line.mapName || line.laps))
    return usage(err, "check", "--driving judges each file alone: give it without --map and --laps");
  if (line.driving) return checkDriving(line.files, out, err);
  const Loaded loaded = loadAll(line.files, "check", err);
  const PageQuestion page{line.mapName, line.laps};
  bool clean = loaded.allRead;
  for (const LoadedGhost& ghost : loaded.ghosts) {
    const std::vector<GhostProblem> problems = checkGhost(ghost.content, ghost.fileName, page);
    if (problems.empty()) out << lineText(ghost.shownName) << ": no problem\n";
    for (const GhostProblem& problem : problems) {
      out << lineText(ghost.shownName);
      if (problem.line > 0) out << ":" << problem.line;
      out << ": " << (problem.note ? "note: " : "") << lineText(problem.reason) << "\n";
    }
    clean = clean && !hasProblem(problems);
  }
  return clean ? 0 : 1;
}

}  // namespace

const Subcommand subcommands::check{
    "check",
    "every problem the plugin would meet in each file, line by line",
    "lumaro-ghost check FILE... [--map NAME] [--laps N] [--driving]",
    R"(Every problem of each file, one per line: FILE:LINE: reason (FILE: reason for the file as a whole). Frame
lines are judged as the plugin's import reads them, in its words: a line with fewer than seven fields is
skipped, a field that is not a (finite) number ends the import. Also reported: a header the settings page
cannot read (fields out of place or more than five, an empty map name, a run time or lap count that is not
a number, a run time below zero, a lap count the page cannot choose, a first line longer than the page
reads), a file name the page cannot list, lines that end in a carriage return alone (the plugin reads them
as one line), a file without frames, and a run that cannot be complete: its frames end more than a second
before its header's run time, or its path crosses its start line another number of times than its header's
lap count, or a lap cannot have been driven (timed at zero or less, or in under 25% of its median lap).
Notes, which pass: a header run time that is not the last frame's time otherwise, times that go back, a
carriage return in a header the page reads. A file the plugin lists and loads cleanly and whose run can be
complete passes. A pipe, device or folder is refused without being opened.
)",
    options,
    R"(Exit status: 0 no problem in any file, 1 problems found (or a file that cannot be read), 2 usage.
With --driving: 0 nothing found in any file, 1 a finding (or a file that cannot be read or used).

Example:
  lumaro-ghost check tessaro/data/Ghosts/*.ghost --map Speedway --laps 3
)",
    true,
    run,
};

}  // namespace lumaro_ghost
