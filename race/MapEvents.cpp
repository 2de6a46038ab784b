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
#include "library/ghostfile/GhostFileName.h"
#include "plugin/Lumaro.h"
#include "plugin/Messages.h"
#include "plugin/Settings.h"
#include "race/RunLife.h"

bool Lumaro::isRecording() { return settings::isRecording(*cvarManager); }

// The switch is turned off only when it is on.
void Lumaro::stopRecording() {
  if (isRecording()) settings::setRecording(*cvarManager, false);
}

void Lumaro::runReset() { onMapLoad(""); }

// Called without an event name, this is the run reset, which says nothing: its caller has told the player
// why. The loaded ghost stays loaded; the recorded run does not. The map load itself ends the run and the
// preview silently at their pending ticks, so it tells the player here, once, what it ended.
void Lumaro::onMapLoad(const std::string& eventName) {
  if (eventName.empty()) {
    resetRunState(true);
    return;
  }
  const bool ghostWasPlaying = isPlaying;
  const std::optional<std::string_view> told = runLife.end(RunEnd::MapLoad);
  resetRunState(true);
  // The ghost car went with the old map: its pending tick has nothing left to say.
  ++currentPreview;
  if (!told && !ghostWasPlaying) return;
  if (!gameWrapper->IsInFreeplay()) {
    logStatus(std::string(messages::notInWorkshop));
  } else if (told) {
    logStatus(std::string(*told));
  }
}

void Lumaro::resetRunState(bool reapplyGhostColor, bool keepFinishedRun) {
  runLife.reset(keepFinishedRun);
  stopRecording();
  isPlaying = false;
  if (reapplyGhostColor && gameWrapper->IsInFreeplay()) updateGhostColor();
  schedule("updateGhostList", pageRenewalDelay, [this] { updateGhostList(); });
  if (!keepFinishedRun) clearRecordedRun();
}

// The stop command with no ghost loaded resets the race, which ends a recording armed or under way, and says
// so. A run the player has finished stays, ready for its export: stopping a ghost never costs a run.
void Lumaro::resetRunForStop(bool tellEndedRun) {
  const bool endsRun = runLife.isUnfinished();
  resetRunState(true, true);
  if (endsRun && tellEndedRun) logStatus(std::string(messages::runSwitchedOff));
}

// A spawn always ends a recording under way, and says so; automatic recording looks at the lap counter a
// moment later, once the map's script has settled it.
void Lumaro::onPlayerSpawnStart(const std::string& /*eventName*/) {
  endRun(RunEnd::Spawn);
  schedule("checkAutoRecord", lookAfterSpawnDelay, [this] { checkAutoRecord(true); });
}

void Lumaro::checkAutoRecord(bool afterSpawn) {
  if (!checkMainSequence()) return;
  if (!settings::autoRecord(*cvarManager)) {
    // Automatic recording switched off ends the run armed or under way, and says so. Off at the look after a
    // spawn, it has no run to end: the spawn ended the one it found, and a run armed since was armed by the
    // player after the spawn, against the counter as it stood then. The race is left either way.
    if (!afterSpawn) endRun(RunEnd::SwitchedOff);
    runLife.leaveRace();
    return;
  }
  // Only a counter standing before the start line re-arms; anything else is left alone, silently, and so is
  // a race under way whose counter a ball reset put back to -1.
  if (!findFirstLapCounterAtStart() || runLife.isUnderWay()) return;
  // A run armed before the start that the stop drops is armed again in a moment: nothing to tell.
  stopGhostBeforeRearming();
  runLife.leaveRace();
  // A challenge needs a ghost to race: the "no ghost" choices of the ghost list (one blank, and "none",
  // which names no file) and a chosen file that did not load make a plain recording.
  const bool ghostChosen = !namesNoGhost(settings::ghostSelection(*cvarManager));
  if (ghostChosen && !ghostFrames.empty()) isChallenging = true;
  schedule("recordGhost", autoRecordDelay, [this] { recordAutomatically(); });
}
