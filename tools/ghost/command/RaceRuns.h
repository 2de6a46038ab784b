// The ghost files a subcommand works on, read and judged as it reports them: every file read (an error for
// each that cannot be), and for compare, plot and html the runs of one race (one map, one lap count, unless
// --force), each with a path, analysed with the laps the command line names, runs cut short named in the notes.
// Errors go to err as "lumaro-ghost COMMAND: ..."; a command line not understood adds the pointer to its help.
#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "tools/ghost/analysis/LoadedGhost.h"
#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/command/CommandLine.h"

namespace lumaro_ghost {

// Writes "lumaro-ghost COMMAND: PROBLEM (lumaro-ghost COMMAND --help)"; returns 2, the exit status of a
// command line not understood.
int usage(std::ostream& err, std::string_view command, const std::string& problem);

struct Loaded {
  std::vector<LoadedGhost> ghosts;
  bool allRead = true;
};

// Every file that can be read; the error of each that cannot.
Loaded loadAll(const std::vector<std::string>& files, std::string_view command, std::ostream& err);

// The runs to compare, draw or replay, read and checked: none when one cannot be used (the error is
// written). Runs of different maps or lap counts are refused unless --force, which names them in notes.
std::optional<Loaded> loadRace(const CommandLine& line, std::string_view command, std::vector<std::string>& notes,
                               std::ostream& err);

// The analysis of the runs with the reference lap the command line names; none when a named lap is missing
// (the error is written). Laps named as RUN:best are given their numbers in line.
std::optional<Analysis> analyseRace(const std::vector<LoadedGhost>& ghosts, CommandLine& line, std::string_view command,
                                    std::ostream& err);

// The runs and laps the command line compares: run a (the reference side, the first lap named) against run b.
ComparedLaps chosenLaps(const CommandLine& line);

// The runs whose laps a comparison uses: the theoretical best lap is every run's, through the laps each
// completes.
std::vector<std::size_t> usedRuns(const Comparison& comparison);

// Whether the laps named are all of A's (or the theoretical best): one file is then enough.
bool oneRunNamed(const CommandLine& line);

// Runs of used that do not follow A's track, or do not complete the laps their headers name, are named in the
// notes, with what is done instead (compared: "laps 1 and 2, which every run completes, are compared"); the
// command then fails unless --force. Laps that cannot have been driven are named too. Returns the exit status
// the command ends with.
int noteUnfinishedRuns(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis,
                       const std::vector<std::size_t>& used, const std::string& compared, const CommandLine& line,
                       std::string_view command, std::vector<std::string>& notes, std::ostream& err);

// What plot or html does once its runs are noted: write its document and end with status, or (refused) write
// nothing and end with it.
struct NotedRuns {
  int status = 0;
  bool refused = false;
};

// As noteUnfinishedRuns, for the runs plot or html uses (every run, or a lap pair's); done: "drawn",
// "replayed". Runs that do not follow the same track are not drawn or replayed together unless --force: each is
// named on err and the command is refused.
NotedRuns noteChosenLaps(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis, const CommandLine& line,
                         const ComparedLaps& chosen, std::string_view command, const std::string& done,
                         std::vector<std::string>& notes, std::ostream& err);

}  // namespace lumaro_ghost
