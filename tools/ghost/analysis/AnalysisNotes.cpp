#include "tools/ghost/analysis/AnalysisNotes.h"

#include <algorithm>

#include "tools/ghost/analysis/LapValidity.h"
#include "tools/ghost/analysis/SameTrack.h"
#include "tools/ghost/text/NumberText.h"

namespace lumaro_ghost {

std::vector<std::string> undrivenLapNotes(const Analysis& analysis, const std::vector<std::size_t>& used) {
  std::vector<std::string> notes;
  for (std::size_t r = 0; r < analysis.runs.size(); ++r) {
    const TimedRun& run = analysis.runs[r].timed;
    if (std::find(used.begin(), used.end(), r) == used.end()) continue;
    for (int lap = 1; lap <= run.laps(); ++lap) {
      if (run.driven(lap)) continue;
      notes.push_back(
          std::string(1, static_cast<char>('A' + r % 26)) + "'s " +
          lapFaultText(lap, run.lapSeconds(lap), run.lapFaults[static_cast<std::size_t>(lap - 1)], run.medianLap) +
          "; it is no best lap and no part of the theoretical best");
    }
  }
  return notes;
}

std::vector<std::string> offTrackNotes(const Analysis& analysis, const std::vector<std::size_t>& used) {
  std::vector<std::string> notes;
  for (const std::size_t r : used) {
    if (r >= analysis.runs.size() || analysis.runs[r].onTrack) continue;
    notes.push_back("the runs do not follow the same track: " + fixedText(analysis.runs[r].offTrack * 100.0, 0) +
                    "% or more of " + std::string(1, static_cast<char>('A' + r % 26)) +
                    "'s path and of A's lies more than " + fixedText(offTrackDistance, 0) +
                    " units from the other's (runs of two maps under one map name?)");
  }
  return notes;
}

}  // namespace lumaro_ghost
