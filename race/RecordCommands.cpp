// The record and challenge commands and the lap watcher. Both commands arm recording only while the map's
// lap counter reads -1 (no race under way); the watcher then polls the held counter on every tick, starts
// the run sampler when the counter first moves, and schedules the finish when it reaches lm_lapNbr.
#include <optional>
#include <string>

#include "plugin/Lumaro.h"
#include "plugin/Messages.h"

namespace {

constexpr const char* recordingArmed = "Recording starts and ends when you cross the finish line.";
constexpr const char* challengeArmed = "Challenging starts and ends when you cross the finish line.";
constexpr const char* raceStarted = "Race started.";
constexpr const char* challengeStarted = "Race started against a ghost.";

// Ticks are as short as the host allows; every poll and sample runs on the next one.
constexpr float everyTick = 0.001f;

}  // namespace

void Lumaro::recordGhost() {
  if (!gameWrapper->IsInFreeplay()) {
    failNotInWorkshop();
    return;
  }
  // The record command guards on the recording switch, so it is accepted again after a finished race.
  if (isRecording()) {
    logStatus(std::string(messages::alreadyRecording));
    return;
  }
  SequenceWrapper sequence = mainSequence();
  if (sequence.IsNull()) {
    failNoKismet();
    return;
  }
  recordedFrames.clear();
  currentLap = -1;
  refreshSequenceVariables(sequence);
  std::optional<SequenceVariableWrapper> lapCounter = findFirstVariable(KismetType::Int, "LapNb");
  if (!lapCounter) {
    logStatus(std::string(messages::noLapCounter));
    runReset();
    return;
  }
  if (lapCounter->GetInt() != -1) {
    logStatus(std::string(messages::resetLapCounter));
    runReset();
    return;
  }
  logStatus(isChallenging ? challengeArmed : recordingArmed);
  cvarManager->executeCommand("lm_isrecording 1", true);
  watchLap(*lapCounter);
}

void Lumaro::challengeGhost() {
  if (!gameWrapper->IsInFreeplay()) {
    failNotInWorkshop();
    return;
  }
  // The challenge command guards on the lap instead: it stays refused after a finished race until a
  // reset, a spawn or automatic recording puts currentLap back to -1.
  if (currentLap > -1) {
    logStatus(std::string(messages::alreadyRecording));
    return;
  }
  if (ghostFrames.empty()) return;
  isChallenging = true;
  currentLap = -1;
  recordedFrames.clear();
  SequenceWrapper sequence = mainSequence();
  if (sequence.IsNull()) {
    failNoKismet();
    return;
  }
  refreshSequenceVariables(sequence);
  std::optional<SequenceVariableWrapper> lapCounter = findFirstVariable(KismetType::Int, "LapNb");
  if (!lapCounter) return;
  if (lapCounter->GetInt() != -1) {
    // isChallenging stays set: a later record command runs as a challenge.
    logStatus(std::string(messages::resetLapCounter));
    return;
  }
  cvarManager->executeCommand("lm_isrecording 1", true);
  watchLap(*lapCounter);
  logStatus(challengeArmed);
}

void Lumaro::watchLap(SequenceVariableWrapper lapCounter) {
  if (!gameWrapper->IsInFreeplay()) {
    failNotInWorkshop();
    return;
  }
  if (!isHeldVariableValid(lapCounter, true)) {
    failNoKismet();
    return;
  }
  const std::int32_t lap = lapCounter.GetInt();
  if (lap != currentLap) {
    if (currentLap == -1) {
      // A reset (or the console) switched recording off since the last poll: this watcher is disarmed and
      // must not start a race the player no longer asked for.
      if (!isRecording()) return;
      if (isChallenging) {
        logStatus(challengeStarted);
        playGhost();
      } else {
        logStatus(raceStarted);
      }
      // Whatever the counter jumped to, the race counts from lap 0; its finish is seen on a later poll.
      currentLap = 0;
      const SystemTime start = systemNow();
      sampleRun(start, start);
    } else if (lap == cvarManager->getCvar("lm_lapNbr").getIntValue()) {
      // The watcher's work is done; the sampler runs on until the finish turns recording off.
      schedule("onRaceFinished", everyTick, [this] { onRaceFinished(); });
      return;
    }
  }
  if (isRecording()) schedule("watchLap", everyTick, [this, lapCounter] { watchLap(lapCounter); });
}
