// Map loads and player spawns, the run reset they share with every failure path, and the recording switch.
#include "plugin/Lumaro.h"

bool Lumaro::isRecording() { return cvarManager->getCvar("lm_isrecording").getBoolValue(); }

void Lumaro::stopRecording() {
  if (isRecording()) cvarManager->executeCommand("lm_isrecording 0", true);
}

void Lumaro::runReset() { onMapLoad(""); }

void Lumaro::onMapLoad(std::string /*eventName*/) { resetRunState(true); }

void Lumaro::resetRunState(bool reapplyGhostColor) {
  stopRecording();
  currentLap = -1;
  isPlaying = false;
  isChallenging = false;
  if (reapplyGhostColor && gameWrapper->IsInFreeplay()) updateGhostColor();
  schedule("updateGhostList", 0.1f, [this] { updateGhostList(); });
  recordedFrames.clear();
}

void Lumaro::onPlayerSpawnStart(std::string /*eventName*/) {}

void Lumaro::checkAutoRecord() {}
