#include "tools/ghost/UnfinishedRuns.h"

#include <algorithm>
#include <cstddef>

#include "library/NumberReading.h"
#include "tools/ghost/GhostHeaderFields.h"

namespace lumaro_ghost {

std::string lapRangeText(int last) {
  if (last < 1) return "no lap";
  if (last == 1) return "lap 1";
  return "laps 1 " + std::string(last == 2 ? "and " : "to ") + std::to_string(last);
}

std::vector<std::string> unfinishedRunNotes(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis,
                                            const std::string& done) {
  std::vector<std::string> notes;
  int everyRun = 0;
  for (std::size_t r = 0; r < analysis.runs.size(); ++r) {
    const int laps = analysis.runs[r].timed.laps();
    everyRun = r == 0 ? laps : std::min(everyRun, laps);
  }
  for (std::size_t r = 0; r < analysis.runs.size() && r < ghosts.size(); ++r) {
    const TimedRun& run = analysis.runs[r].timed;
    const GhostHeaderFields& header = ghosts[r].header;
    if (!run.lapLinesFound || header.lapCount.error != NumberError::None || run.laps() >= header.lapCount.value) {
      continue;
    }
    const std::string named = std::to_string(header.lapCount.value) + (header.lapCount.value == 1 ? " lap" : " laps");
    const bool one = everyRun == 1;
    notes.push_back(std::string(1, static_cast<char>('A' + r % 26)) + " completes " + std::to_string(run.laps()) +
                    " of the " + named +
                    " its header names (its file is cut short or its run ended early): " + lapRangeText(everyRun) +
                    (everyRun < 1 ? " is "
                     : one        ? ", which every run completes, is "
                                  : ", which every run completes, are ") +
                    done);
  }
  return notes;
}

}  // namespace lumaro_ghost
