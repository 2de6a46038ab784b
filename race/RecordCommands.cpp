// The record and challenge commands and the lap watcher. Both commands arm recording only while the map's
// lap counter reads -1 (no race under way); the watcher then polls the held counter on every tick, starts
// the run sampler when the counter first moves, and schedules the finish when it reaches lm_lapNbr.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/CVarManagerWrapper.h"
#include "host/CVarWrapper.h"
#include "host/Kismet.h"
#include "plugin/GhostFrame.h"
#include "plugin/Lumaro.h"
#include "plugin/Messages.h"
#include "plugin/SystemClock.h"

namespace {

constexpr const char* recordingArmed = "Recording starts and ends when you cross the finish line.";
constexpr const char* challengeArmed = "Challenging starts and ends when you cross the finish line.";
constexpr const char* raceStarted = "Race started.";
constexpr const char* challengeStarted = "Race started against a ghost.";

}  // namespace

void Lumaro::recordGhost() {
  if (!checkInWorkshopMap()) return;
  // The record command guards on the recording switch, so it is accepted again after a finished race.
  if (isRecording()) {
    logStatus(std::string(messages::alreadyRecording));
    return;
  }
  if (!checkMainSequence()) return;
  clearRecordedRun();
  currentLap = -1;
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
  beginRun();
  cvarManager->executeCommand("lm_isrecording 1", true);
  watchLap(*lapCounter);
}

void Lumaro::challengeGhost() {
  if (!checkInWorkshopMap()) return;
  // The challenge command guards on the lap instead: it stays refused after a finished race until a
  // reset, a spawn or automatic recording puts currentLap back to -1.
  if (currentLap > -1) {
    logStatus(std::string(messages::alreadyRecording));
    return;
  }
  // The page offers the challenge whenever it lists a ghost, picked or not: say why nothing is armed.
  if (ghostFrames.empty()) {
    logStatus(std::string(messages::noGhostLoaded));
    return;
  }
  isChallenging = true;
  currentLap = -1;
  clearRecordedRun();
  if (!checkMainSequence()) return;
  std::optional<SequenceVariableWrapper> lapCounter = findFirstVariable(KismetType::Int, "LapNb");
  if (!lapCounter) return;
  if (lapCounter->GetInt() != -1) {
    // isChallenging stays set: a later record command runs as a challenge.
    logStatus(std::string(messages::resetLapCounter));
    return;
  }
  // A recording already armed becomes the challenge: its lap watcher stays the only one.
  if (!isArmedRunLive()) {
    beginRun();
    cvarManager->executeCommand("lm_isrecording 1", true);
    watchLap(*lapCounter);
  }
  logStatus(challengeArmed);
}

void Lumaro::watchLap(SequenceVariableWrapper lapCounter) {
  runTickOfLiveRun("watchLap", [this, &lapCounter] { pollLapCounter(lapCounter); });
}

void Lumaro::pollLapCounter(SequenceVariableWrapper& lapCounter) {
  if (!checkInWorkshopMap()) return;
  if (!isHeldVariableValid(lapCounter, true)) {
    failNoKismet();
    return;
  }
  const std::int32_t lap = lapCounter.GetInt();
  if (lap != currentLap) {
    if (currentLap == -1) {
      if (!isRecording()) {
        endSwitchedOffRun();
        return;
      }
      if (isChallenging) {
        logStatus(challengeStarted);
        playGhost();
      } else {
        logStatus(raceStarted);
      }
      // A failing playback resets the run: there is then no race to sample.
      if (liveRun == 0) return;
      // Whatever the counter jumped to, the race counts from lap 0; its finish is seen on a later poll.
      currentLap = 0;
      // The sampling starts under a fresh identity: should the counter start the race again (automatic
      // recording put currentLap back to -1 mid-race), the earlier sampler ends instead of running beside.
      beginRun();
      const SystemTime start = systemNow();
      sampleRun(start, start);
      // Without a car the run ended at its first sample.
      if (liveRun == 0) return;
    } else if (lap == cvarManager->getCvar("lm_lapNbr").getIntValue()) {
      // The watcher's work is done; the sampler runs on until the finish turns recording off.
      runFinishSeen = true;
      runLapCount = lap;
      scheduleForRun("onRaceFinished", [this] { onRaceFinished(); });
      return;
    }
  }
  if (isRecording()) {
    scheduleForRun("watchLap", [this, lapCounter] { watchLap(lapCounter); });
  } else {
    endSwitchedOffRun();
  }
}
