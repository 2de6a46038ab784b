// Map loads and player spawns, the run reset they share with every failure path, and the recording switch.
// Nothing here cancels a timer: each scheduled call runs in turn and applies its own checks.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/CVarManagerWrapper.h"
#include "host/CVarWrapper.h"
#include "host/GameWrapper.h"
#include "library/GhostFileName.h"
#include "plugin/GhostFrame.h"
#include "plugin/Lumaro.h"
#include "plugin/Messages.h"

bool Lumaro::isRecording() { return cvarManager->getCvar("lm_isrecording").getBoolValue(); }

// Ends the live run, if any, without a finish; the switch is turned only when it is on.
void Lumaro::stopRecording() {
  abandonRun();
  if (isRecording()) cvarManager->executeCommand("lm_isrecording 0", true);
}

void Lumaro::runReset() { onMapLoad(""); }

// Called without an event name, this is the run reset, which says nothing: its caller has told the player
// why. The loaded ghost stays loaded; the recorded run does not. The map load itself ends the run and the
// preview silently at their pending ticks, so it tells the player here, once, what it ended.
void Lumaro::onMapLoad(const std::string& eventName) {
  const bool runEnded = liveRun != 0;
  const bool ghostWasPlaying = isPlaying;
  resetRunState(true);
  if (eventName.empty()) return;
  // The ghost car went with the old map: its pending tick has nothing left to say.
  ++currentPreview;
  if (!runEnded && !ghostWasPlaying) return;
  if (!gameWrapper->IsInFreeplay()) {
    logStatus(std::string(messages::notInWorkshop));
  } else if (runEnded) {
    logStatus(std::string(messages::runEndedByMapLoad));
  }
}

void Lumaro::resetRunState(bool reapplyGhostColor, bool keepFinishedRun) {
  // The reset empties the run, even one whose finish is already due, unless the finished run is kept.
  if (!keepFinishedRun) dropRun();
  stopRecording();
  currentLap = -1;
  isPlaying = false;
  isChallenging = false;
  if (reapplyGhostColor && gameWrapper->IsInFreeplay()) updateGhostColor();
  schedule("updateGhostList", 0.1f, [this] { updateGhostList(); });
  if (!keepFinishedRun) clearRecordedRun();
}

// The stop command with no ghost loaded resets the race, which ends a recording armed or under way, and says
// so. A run the player has finished stays, ready for its export: stopping a ghost never costs a run.
void Lumaro::resetRunForStop(bool tellEndedRun) {
  const bool endsRun = isRunUnfinished();
  resetRunState(true, true);
  if (endsRun && tellEndedRun) logStatus(std::string(messages::runSwitchedOff));
}

// A spawn always ends a recording under way, and says so; automatic recording looks at the lap counter a
// moment later, once the map's script has settled it.
void Lumaro::onPlayerSpawnStart(const std::string& /*eventName*/) {
  const bool endsRun = isRunUnfinished();
  stopRecording();
  if (endsRun) logStatus(std::string(messages::runEndedBySpawn));
  schedule("checkAutoRecord", 0.2f, [this] { checkAutoRecord(true); });
}

void Lumaro::checkAutoRecord(bool afterSpawn) {
  if (!checkMainSequence()) return;
  if (!cvarManager->getCvar("lm_autorecord").getBoolValue()) {
    // Automatic recording switched off, or off at the look after a spawn, which disarms a run armed in the
    // moment after it: each is told by what ended the run.
    const bool endsRun = isRunUnfinished();
    stopRecording();
    currentLap = -1;
    if (endsRun) logStatus(std::string(afterSpawn ? messages::runEndedBySpawn : messages::runSwitchedOff));
    return;
  }
  // Only a counter standing before the start line re-arms; anything else is left alone, silently.
  if (!findFirstLapCounterAtStart()) return;
  // A run armed before the start that the stop drops is armed again in a moment: nothing to tell.
  stopGhostBeforeRearming();
  currentLap = -1;
  // A challenge needs a ghost to race: the "no ghost" choices of the ghost list (one blank, and "none",
  // which names no file) and a chosen file that did not load make a plain recording.
  const bool ghostChosen = !namesNoGhost(cvarManager->getCvar("lm_ghostfilepath").getStringValue());
  if (ghostChosen && !ghostFrames.empty()) isChallenging = true;
  schedule("recordGhost", 0.1f, [this] { recordGhost(); });
}
