// The race finish: the run is frozen as the recorded run and recording ends; the race time of its last
// frame is reported, and a fast enough run is exported at once when automatic export is on (never over a
// faster ghost of the map). The reported, exported and listed times are therefore one number.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/CVarManagerWrapper.h"
#include "host/CVarWrapper.h"
#include "host/Kismet.h"
#include "plugin/Lumaro.h"
#include "race/AutoExport.h"
#include "race/RaceTime.h"
#include "ui/GhostChoice.h"

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
    if (isUnderExportLimit(raceTime, limitSeconds)) exportGhostAutomatically();
  }
  updateGhostList();
}

// A run is exported over the ghost in its file unless the settings page lists that ghost for this map and
// lap count with a faster time: an equal time is replaced. A map without Kismet is left to the export,
// which reports it.
void Lumaro::exportGhostAutomatically() {
  const std::string pathText = exportPathText();
  const std::optional<std::filesystem::path> file = exportFile(pathText);
  SequenceWrapper sequence = mainSequence();
  if (file && !sequence.IsNull()) {
    refreshSequenceVariables(sequence);
    const std::optional<std::int32_t> kept = listedRunTime(*file, currentMapName(), recordedRunLapCount());
    if (kept && *kept < recordedFrames.back().time) {
      logStatus("Kept the faster ghost in " + pathText + " (" + formatRaceTime(*kept) + ").");
      return;
    }
  }
  exportGhost();
}
