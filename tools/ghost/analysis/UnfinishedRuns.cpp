#include "tools/ghost/analysis/UnfinishedRuns.h"

#include <algorithm>
#include <cstddef>

#include "library/ghostfile/NumberReading.h"
#include "tools/ghost/analysis/GhostHeaderFields.h"

namespace lumaro_ghost {

std::string lapRangeText(int last) {
  if (last < 1) return "no lap";
  if (last == 1) return "lap 1";
  return "laps 1 " + std::string(last == 2 ? "and " : "to ") + std::to_string(last);
}

std::vector<std::string> unfinishedRunNotes(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis,
                                            const std::vector<std::size_t>& used, const std::string& compared) {
  std::vector<std::string> notes;
  for (std::size_t r = 0; r < analysis.runs.size() && r < ghosts.size(); ++r) {
    const TimedRun& run = analysis.runs[r].timed;
    const GhostHeaderFields& header = ghosts[r].header;
    if (std::find(used.begin(), used.end(), r) == used.end() || !run.lapLinesFound || !analysis.runs[r].onTrack ||
        header.lapCount.error != NumberError::None || run.laps() >= header.lapCount.value) {
      continue;
    }
    const std::string named = std::to_string(header.lapCount.value) + (header.lapCount.value == 1 ? " lap" : " laps");
    notes.push_back(std::string(1, static_cast<char>('A' + r % 26)) + " completes " + std::to_string(run.laps()) +
                    " of the " + named +
                    " its header names (its file is cut short or its run ended early): " + compared);
  }
  return notes;
}

std::string everyLapText(const Analysis& analysis, const std::vector<std::size_t>& used, const std::string& done) {
  int everyRun = 0;
  for (std::size_t i = 0; i < used.size(); ++i) {
    const int laps = analysis.runs[used[i]].timed.laps();
    everyRun = i == 0 ? laps : std::min(everyRun, laps);
  }
  if (everyRun < 1) return "no lap is " + done + ", since not every run completes one";
  return lapRangeText(everyRun) +
         (everyRun == 1 ? ", which every run completes, is " : ", which every run completes, are ") + done;
}

}  // namespace lumaro_ghost
