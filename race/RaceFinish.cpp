// The race finish: the run is frozen as the recorded run and recording ends; the race time of its last
// frame is reported, and a fast enough run is exported at once when automatic export is on. The reported,
// exported and listed times are therefore one number.
#include <string>

#include "plugin/Lumaro.h"
#include "race/AutoExport.h"
#include "race/RaceTime.h"

void Lumaro::onRaceFinished() {
  finishRun();
  stopRecording();
  // A race paused from start to finish ends with no frame at all (a run without its car ended before). There
  // is then no time to report and nothing to export.
  if (recordedFrames.empty()) {
    logStatus("Race ended with no recorded run.");
    updateGhostList();
    return;
  }
  const std::int32_t raceTime = recordedFrames.back().time;
  logStatus("Race ended in " + formatRaceTime(raceTime) + ".");
  if (cvarManager->getCvar("lm_autoexport").getBoolValue()) {
    const std::int32_t limitSeconds = cvarManager->getCvar("lm_maxsecs").getIntValue();
    if (isUnderExportLimit(raceTime, limitSeconds)) exportGhost();
  }
  updateGhostList();
}
