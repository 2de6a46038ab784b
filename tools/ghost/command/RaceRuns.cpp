#include "tools/ghost/command/RaceRuns.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "library/ghostfile/NumberReading.h"
#include "tools/ghost/analysis/AnalysisNotes.h"
#include "tools/ghost/analysis/GhostFileContent.h"
#include "tools/ghost/analysis/GhostHeaderFields.h"
#include "tools/ghost/analysis/RunProfile.h"
#include "tools/ghost/analysis/UnfinishedRuns.h"
#include "tools/ghost/report/CompareReport.h"
#include "tools/ghost/text/NumberText.h"
#include "tools/ghost/text/TextEscapes.h"

namespace lumaro_ghost {

namespace {

bool usable(const LoadedGhost& ghost, std::string_view command, std::ostream& err) {
  if (ghost.content.frames.size() >= 2 && ghost.profile.length > 0.0 && std::isfinite(ghost.profile.length)) {
    return true;
  }
  err << "lumaro-ghost " << command << ": " << lineText(ghost.shownName) << " "
      << noPathReason(ghost.content.frames.size()) << "\n";
  return false;
}

// Runs of one race: the same map and the same lap count as the first. Otherwise refused, or with --force
// named in notes and used all the same.
bool sameRace(const std::vector<LoadedGhost>& ghosts, const CommandLine& line, std::string_view command,
              std::vector<std::string>& notes, std::ostream& err) {
  const GhostHeaderFields& first = ghosts.front().header;
  bool same = true;
  for (std::size_t i = 1; i < ghosts.size(); ++i) {
    const GhostHeaderFields& other = ghosts[i].header;
    const std::string letter(1, static_cast<char>('A' + i % 26));
    std::vector<std::string> differences;
    if (!first.mapName.empty() && !other.mapName.empty() && first.mapName != other.mapName) {
      differences.push_back("A is a run on " + first.mapName + " and " + letter + " on " + other.mapName +
                            ": runs of different maps");
    }
    if (first.lapCount.error == NumberError::None && other.lapCount.error == NumberError::None &&
        first.lapCount.value != other.lapCount.value) {
      differences.push_back("A is a run of " +
                            countText(static_cast<std::size_t>(std::max(first.lapCount.value, 0)), "lap", "laps") +
                            " and " + letter + " of " +
                            countText(static_cast<std::size_t>(std::max(other.lapCount.value, 0)), "lap", "laps") +
                            ": runs of different lap counts");
    }
    // What the subcommand does with the runs: compares, draws or replays them.
    const bool drawn = command == "plot", replayed = command == "html";
    for (const std::string& difference : differences) {
      if (line.force) {
        notes.push_back(difference +
                        (drawn      ? ", drawn"
                         : replayed ? ", replayed"
                                    : ", compared") +
                        " all the same (--force)");
      } else {
        err << "lumaro-ghost " << command << ": " << lineText(difference)
            << (drawn      ? " are not drawn together (--force draws"
                : replayed ? " are not replayed together (--force replays"
                           : " are not compared (--force compares")
            << " them all the same)\n";
        same = false;
      }
    }
  }
  return same;
}

// Whether every run holds the chosen lap; if not, the error is written.
bool holdsLap(const Analysis& analysis, std::optional<std::int32_t> lap, std::string_view command, std::ostream& err) {
  if (!lap) return true;
  for (std::size_t i = 0; i < analysis.runs.size(); ++i) {
    const int laps = analysis.runs[i].timed.laps();
    if (*lap > laps) {
      err << "lumaro-ghost " << command << ": there is no lap " << *lap << " in " << static_cast<char>('A' + i % 26)
          << ", which holds " << countText(static_cast<std::size_t>(laps), "lap", "laps") << "\n";
      return false;
    }
  }
  return true;
}

// Whether a lap named as RUN:N is one the runs hold; if not, the error is written. reference: it must also
// cross the start line once a lap, since the reference is the path of one lap between two crossings.
bool holdsNamedLap(const Analysis& analysis, const LapOfRun& lap, bool reference, std::string_view command,
                   std::ostream& err) {
  const char letter = static_cast<char>('A' + lap.run % 26);
  if (lap.run >= analysis.runs.size()) {
    err << "lumaro-ghost " << command << ": there is no run " << letter << ": "
        << countText(analysis.runs.size(), "file is", "files are") << " given\n";
    return false;
  }
  const TimedRun& run = analysis.runs[lap.run].timed;
  if (lap.lap < 1 || lap.lap > run.laps()) {
    err << "lumaro-ghost " << command << ": there is no lap " << lap.lap << " in " << letter << ", which holds "
        << countText(static_cast<std::size_t>(run.laps()), "lap", "laps") << "\n";
    return false;
  }
  if (reference && !run.lapLinesFound) {
    err << "lumaro-ghost " << command << ": " << letter
        << " does not cross the start line once a lap, so none of its laps can be the reference\n";
    return false;
  }
  return true;
}

// A lap named as RUN:best: the run's best lap, once the runs are timed (0 when it has none).
void resolveBest(const Analysis& analysis, std::optional<LapOfRun>& lap) {
  if (lap && lap->lap == bestLapOfRun && lap->run < analysis.runs.size())
    lap->lap = analysis.runs[lap->run].timed.bestLap();
}

std::vector<std::size_t> allRuns(const Analysis& analysis) {
  std::vector<std::size_t> every(analysis.runs.size());
  for (std::size_t r = 0; r < every.size(); ++r) every[r] = r;
  return every;
}

}  // namespace

int usage(std::ostream& err, std::string_view command, const std::string& problem) {
  err << "lumaro-ghost " << command << ": " << lineText(problem) << " (lumaro-ghost " << command << " --help)\n";
  return 2;
}

Loaded loadAll(const std::vector<std::string>& files, std::string_view command, std::ostream& err) {
  Loaded loaded;
  for (const std::string& file : files) {
    LoadResult result = loadGhost(file);
    if (result.ghost) {
      loaded.ghosts.push_back(std::move(*result.ghost));
    } else {
      err << "lumaro-ghost " << command << ": " << lineText(file) << " " << result.error << "\n";
      loaded.allRead = false;
    }
  }
  return loaded;
}

std::optional<Loaded> loadRace(const CommandLine& line, std::string_view command, std::vector<std::string>& notes,
                               std::ostream& err) {
  Loaded loaded = loadAll(line.files, command, err);
  if (!loaded.allRead) return std::nullopt;
  for (const LoadedGhost& ghost : loaded.ghosts) {
    if (!usable(ghost, command, err)) return std::nullopt;
  }
  if (!sameRace(loaded.ghosts, line, command, notes, err)) return std::nullopt;
  return loaded;
}

std::optional<Analysis> analyseRace(const std::vector<LoadedGhost>& ghosts, CommandLine& line, std::string_view command,
                                    std::ostream& err) {
  Analysis analysis = analyseGhosts(ghosts, line.sectors, line.reference);
  if (line.reference && line.reference->lap == bestLapOfRun) {
    resolveBest(analysis, line.reference);
    analysis = analyseGhosts(ghosts, line.sectors, line.reference);
  }
  if (line.reference && !holdsNamedLap(analysis, *line.reference, true, command, err)) return std::nullopt;
  if (line.lapPair) {
    std::optional<LapOfRun> first = line.lapPair->first, second = line.lapPair->second;
    resolveBest(analysis, first), resolveBest(analysis, second);
    line.lapPair = std::pair{*first, *second};
  }
  if (line.lapPair &&
      ((!line.againstTheoretical && !holdsNamedLap(analysis, line.lapPair->first, false, command, err)) ||
       (!line.theoreticalSecond && !holdsNamedLap(analysis, line.lapPair->second, false, command, err)))) {
    return std::nullopt;
  }
  if (!holdsLap(analysis, line.lap, command, err)) return std::nullopt;
  return analysis;
}

ComparedLaps chosenLaps(const CommandLine& line) {
  ComparedLaps chosen;
  chosen.laps = LapChoice{line.lap, line.best, std::nullopt};
  if (!line.lapPair) return chosen;
  const auto& [first, second] = *line.lapPair;
  chosen.a = line.againstTheoretical ? second.run : first.run;
  chosen.b = line.theoreticalSecond ? first.run : second.run;
  chosen.laps.laps = std::pair{first.lap, second.lap};
  chosen.laps.theoretical = line.againstTheoretical;
  chosen.laps.theoreticalB = line.theoreticalSecond;
  return chosen;
}

std::vector<std::size_t> usedRuns(const Comparison& comparison) {
  std::vector<std::size_t> used;
  if (!comparison.theoretical) used.push_back(comparison.a);
  if (!comparison.theoreticalB && comparison.b != comparison.a) used.push_back(comparison.b);
  return used;
}

bool oneRunNamed(const CommandLine& line) {
  return line.lapPair && (line.lapPair->first.run == 0 || line.againstTheoretical) &&
         (line.lapPair->second.run == 0 || line.theoreticalSecond);
}

int noteUnfinishedRuns(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis,
                       const std::vector<std::size_t>& used, const std::string& compared, const CommandLine& line,
                       std::string_view command, std::vector<std::string>& notes, std::ostream& err) {
  const std::vector<std::string> offTrack = offTrackNotes(analysis, used);
  notes.insert(notes.end(), offTrack.begin(), offTrack.end());
  const std::vector<std::string> unfinished = unfinishedRunNotes(ghosts, analysis, used, compared);
  notes.insert(notes.end(), unfinished.begin(), unfinished.end());
  const std::vector<std::string> undriven = undrivenLapNotes(analysis, used);
  notes.insert(notes.end(), undriven.begin(), undriven.end());
  if ((unfinished.empty() && offTrack.empty()) || line.force) return 0;
  const std::string forced = std::string(" (--force ") +
                             (command == "plot"   ? "draws"
                              : command == "html" ? "replays"
                                                  : "compares") +
                             " them so and exits 0)\n";
  if (!offTrack.empty()) err << "lumaro-ghost " << command << ": the runs do not follow the same track" << forced;
  if (unfinished.empty()) return 1;
  err << "lumaro-ghost " << command << ": " << (unfinished.size() == 1 ? "a run does" : "runs do")
      << " not complete the laps " << (unfinished.size() == 1 ? "its header names" : "their headers name") << ": "
      << compared << forced;
  return 1;
}

NotedRuns noteChosenLaps(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis, const CommandLine& line,
                         const ComparedLaps& chosen, std::string_view command, const std::string& done,
                         std::vector<std::string>& notes, std::ostream& err) {
  std::vector<std::size_t> used = allRuns(analysis);
  std::string compared =
      line.lap ? "lap " + std::to_string(*line.lap) + " is " + done : everyLapText(analysis, used, done);
  if (line.lapPair || line.best) {
    const Comparison comparison = compareRuns(analysis, chosen.a, chosen.b, chosen.laps);
    used = usedRuns(comparison);
    compared = comparisonHeading(comparison, chosen.laps) + " is " + done;
  }
  // Two tracks' runs drawn or replayed together would show one run's laps against another road's.
  if (const std::vector<std::string> offTrack = offTrackNotes(analysis, used); !offTrack.empty() && !line.force) {
    for (const std::string& note : offTrack) {
      err << "lumaro-ghost " << command << ": " << note << "; they are not " << done << " together (--force "
          << (command == "plot" ? "draws" : "replays") << " them all the same)\n";
    }
    return {1, true};
  }
  return {noteUnfinishedRuns(ghosts, analysis, used, compared, line, command, notes, err), false};
}

}  // namespace lumaro_ghost
