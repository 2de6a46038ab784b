// The race finish: the run is frozen as the recorded run and recording ends; the race time of its last
// frame is reported, and a fast enough run is exported at once when automatic export is on. The reported,
// exported and listed times are therefore one number.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/CVarManagerWrapper.h"
#include "host/CVarWrapper.h"
#include "library/ghostfile/GhostFrame.h"
#include "plugin/Lumaro.h"
#include "plugin/Messages.h"
#include "plugin/Settings.h"
#include "race/AutoExport.h"
#include "race/RaceTime.h"
#include "race/RunLife.h"

void Lumaro::onRaceFinished() {
  // Frozen here: a sampler tick still pending from this run appends nothing after this.
  recordedFrames = runLife.finish();
  stopRecording();
  // A race paused from start to finish ends with no frame at all (a run without its car ended before). There
  // is then no time to report and nothing to export.
  if (recordedFrames.empty()) {
    logStatus(std::string(messages::raceEndedWithoutRun));
    updateGhostList();
    return;
  }
  const std::int32_t raceTime = recordedFrames.back().time;
  logStatus(messages::naming(messages::raceEndedIn, formatRaceTime(raceTime)));
  // Every run under the limit is exported to its file, over the last export of that name: the player keeps
  // what is saved with the limit.
  if (settings::autoExport(*cvarManager) && isUnderExportLimit(raceTime, settings::maxSeconds(*cvarManager))) {
    exportGhost();
  }
  updateGhostList();
}
