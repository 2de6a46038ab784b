// The record and challenge commands and the lap watcher. Both commands arm recording only while the map's
// lap counter reads -1 (no race under way); the watcher then polls the held counter on every tick, starts
// the run sampler when the counter first moves, and schedules the finish when it reaches the lap count the
// run was armed with. Where the run stands, and what each step tells the player, is the run's life's call.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/CVarManagerWrapper.h"
#include "host/CVarWrapper.h"
#include "host/Kismet.h"
#include "plugin/HostNames.h"
#include "plugin/Lumaro.h"
#include "plugin/Messages.h"
#include "plugin/Settings.h"
#include "plugin/SystemClock.h"
#include "race/RunLife.h"

void Lumaro::recordGhost() { armRecording(false); }

void Lumaro::recordAutomatically() { armRecording(true); }

void Lumaro::armRecording(bool automatic) {
  if (!checkInWorkshopMap()) return;
  const bool switchOn = isRecording();
  if (!switchOn) endSwitchedOffRun();
  const ArmDecision decision = runLife.recordCommand(automatic, switchOn);
  if (decision == ArmDecision::Leave) return;
  if (decision == ArmDecision::Refuse) {
    logStatus(std::string(messages::alreadyRecording));
    return;
  }
  if (!checkMainSequence()) return;
  std::optional<SequenceVariableWrapper> lapCounter = findFirstVariable(KismetType::Int, names::kismet::lapCounter);
  // A refusal for the lap counter changes nothing: a finished run stays for its export, a preview plays on.
  if (!lapCounter) {
    logStatus(std::string(messages::noLapCounter));
    return;
  }
  if (lapCounter->GetInt() != names::kismet::lapCounterNoRace) {
    logStatus(std::string(messages::resetLapCounter));
    return;
  }
  if (decision == ArmDecision::Rearm) {
    // Automatic recording finds the run it would arm armed already: it stays armed, of the kind chosen now.
    logStatus(std::string(runLife.rearm(!ghostFrames.empty())));
    return;
  }
  clearRecordedRun();
  logStatus(std::string(runLife.arm(!ghostFrames.empty())));
  settings::setRecording(*cvarManager, true);
  watchLap(*lapCounter);
}

void Lumaro::challengeGhost() {
  if (!checkInWorkshopMap()) return;
  ArmDecision decision = runLife.challengeCommand();
  if (decision == ArmDecision::Refuse) {
    logStatus(std::string(messages::alreadyRecording));
    return;
  }
  // The page offers the challenge whenever it lists a ghost, picked or not: say why nothing is armed.
  if (ghostFrames.empty()) {
    logStatus(std::string(messages::noGhostLoaded));
    return;
  }
  isChallenging = true;
  if (!checkMainSequence()) return;
  std::optional<SequenceVariableWrapper> lapCounter = findFirstVariable(KismetType::Int, names::kismet::lapCounter);
  if (!lapCounter) return;
  if (lapCounter->GetInt() != names::kismet::lapCounterNoRace) {
    // isChallenging stays set: a later record command runs as a challenge. A finished run stays.
    logStatus(std::string(messages::resetLapCounter));
    return;
  }
  // A recording already armed becomes the challenge: its lap watcher stays the only one. One whose switch the
  // console turned off has ended: it is told, and the challenge arms a run of its own.
  if (decision == ArmDecision::Rearm && !isRecording()) {
    endSwitchedOffRun();
    decision = ArmDecision::Arm;
  }
  if (decision == ArmDecision::Rearm) {
    logStatus(std::string(runLife.rearm(true)));
    return;
  }
  clearRecordedRun();
  const std::string_view armed = runLife.arm(true);
  settings::setRecording(*cvarManager, true);
  watchLap(*lapCounter);
  // The first poll may have ended the run already (the switch turned off within it): nothing is armed then.
  if (runLife.isUnfinished()) logStatus(std::string(armed));
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
  const CounterMove move = runLife.counterRead(lapCounter.GetInt(), !ghostFrames.empty());
  const bool startedAgainstGhost = move == CounterMove::StartAgainstGhost;
  if (move == CounterMove::Start || move == CounterMove::StartAgainstGhost) {
    if (!isRecording()) {
      endRun(RunEnd::SwitchedOff);
      return;
    }
    const bool againstGhost = move == CounterMove::StartAgainstGhost;
    logStatus(std::string(runLife.start(againstGhost, settings::lapCount(*cvarManager))));
    if (againstGhost) playGhost();
    // A failing playback resets the run: there is then no race to sample.
    if (!runLife.isRacing()) return;
    const SystemTime start = systemNow();
    sampleRun(start, start);
    // Without a car the run ended at its first sample.
    if (!runLife.isRacing()) return;
  } else if (move == CounterMove::Finish) {
    // The watcher's work is done; the sampler runs on until the finish turns recording off.
    runLife.seeFinish();
    scheduleForRun("onRaceFinished", [this] { onRaceFinished(); });
    return;
  } else if (move == CounterMove::BackBeforeStart) {
    // The map's difference to the ghost shows 0 from the ball reset on: the car is no longer where the
    // ghost's race put it.
    endGhostDelta();
  }
  if (isRecording()) {
    scheduleForRun("watchLap", [this, lapCounter] { watchLap(lapCounter); });
  } else {
    endRun(RunEnd::SwitchedOff);
  }
  // The map's optional GhostDelta is looked up last: a map without it sees this tick's calls unchanged.
  if (startedAgainstGhost && runLife.phase() == RunPhase::RacingGhost) lookUpGhostDelta();
}
