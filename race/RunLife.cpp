// The transitions of a run's life; see RunLife.h for the table of phases and events.
#include "race/RunLife.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "library/ghostfile/GhostFrame.h"
#include "plugin/HostNames.h"
#include "plugin/Messages.h"

std::string_view runPhaseName(RunPhase phase) {
  switch (phase) {
    case RunPhase::Idle: return "idle";
    case RunPhase::Armed: return "armed";
    case RunPhase::ArmedChallenge: return "armed challenge";
    case RunPhase::Racing: return "racing";
    case RunPhase::RacingGhost: return "racing a ghost";
    case RunPhase::FinishSeen: return "finish seen";
    case RunPhase::Finished: return "finished";
  }
  return "?";
}

void RunLife::enter(RunPhase phase) {
  const RunPhase from = phase_;
  phase_ = phase;
  // currentLap: 0 from the start of a race until the race is left, -1 otherwise.
  currentLap_ = hasRace() ? 0 : -1;
  if (watcher_ && from != phase) watcher_(from, phase);
}

ArmDecision RunLife::recordCommand(bool automatic, bool switchOn) const {
  if (automatic && isArmed()) return ArmDecision::Rearm;
  // The player armed and started a run by hand in the moment before automatic recording came to arm one.
  if (automatic && isUnderWay()) return ArmDecision::Leave;
  // A finished race takes a new recording; one armed, under way or finishing does not.
  return switchOn || isUnfinished() || phase_ == RunPhase::FinishSeen ? ArmDecision::Refuse : ArmDecision::Arm;
}

ArmDecision RunLife::challengeCommand() const {
  // A race under way or just ended holds the challenge off until the race is left (a reset, a spawn,
  // automatic recording); an armed recording becomes the challenge.
  if (hasRace()) return ArmDecision::Refuse;
  return isArmed() ? ArmDecision::Rearm : ArmDecision::Arm;
}

std::string_view RunLife::arm(bool ghostLoaded) {
  identity_ = ++lastIdentity_;
  frames_.clear();
  return rearm(ghostLoaded);
}

std::string_view RunLife::rearm(bool ghostLoaded) {
  const bool challenge = isChallenging_ && ghostLoaded;
  announcedChallenge_ = challenge;
  enter(challenge ? RunPhase::ArmedChallenge : RunPhase::Armed);
  return challenge ? messages::challengeArmed : messages::recordingArmed;
}

void RunLife::ghostChanged(bool ghostLoaded) {
  if (phase_ == RunPhase::ArmedChallenge && !ghostLoaded) enter(RunPhase::Armed);
  if (phase_ == RunPhase::Armed && ghostLoaded && announcedChallenge_) enter(RunPhase::ArmedChallenge);
  ghostStopped();
}

// A race is compared with the ghost it started with: once that ghost stops or another takes its place, the
// race goes on as a plain one.
void RunLife::ghostStopped() {
  if (phase_ == RunPhase::RacingGhost) enter(RunPhase::Racing);
}

CounterMove RunLife::counterRead(std::int32_t lap, bool ghostLoaded) const {
  if (isArmed() && lap != names::kismet::lapCounterNoRace) {
    return phase_ == RunPhase::ArmedChallenge && ghostLoaded ? CounterMove::StartAgainstGhost : CounterMove::Start;
  }
  // A counter back at -1 mid-race (a ball reset) neither ends nor restarts the race.
  if (isRacing() && lap == raceLapCount_) return CounterMove::Finish;
  if (isRacing() && lap == names::kismet::lapCounterNoRace) return CounterMove::BackBeforeStart;
  return CounterMove::Nothing;
}

std::string_view RunLife::start(bool againstGhost, std::int32_t lapCount) {
  raceLapCount_ = lapCount;
  // A fresh identity: should anything start this run's sampling again, the earlier sampler ends.
  identity_ = ++lastIdentity_;
  frames_.clear();
  enter(againstGhost ? RunPhase::RacingGhost : RunPhase::Racing);
  return againstGhost ? messages::challengeStarted : messages::raceStarted;
}

void RunLife::seeFinish() {
  exportedAtLine_ = false;
  enter(RunPhase::FinishSeen);
}

void RunLife::exported() {
  if (phase_ == RunPhase::FinishSeen) exportedAtLine_ = true;
}

std::vector<GhostFrame> RunLife::finish() {
  identity_ = 0;
  finishedLapCount_ = raceLapCount_;
  enter(RunPhase::Finished);
  std::vector<GhostFrame> finished = std::move(frames_);
  frames_.clear();
  return finished;
}

std::optional<std::string_view> RunLife::end(RunEnd cause) {
  // A spawn leaves a finished race at once: the car is back before the line.
  if (phase_ == RunPhase::Finished && cause == RunEnd::Spawn) enter(RunPhase::Idle);
  const bool finishing = phase_ == RunPhase::FinishSeen;
  if (!isUnfinished() && !(finishing && cause == RunEnd::MapLoad)) {
    // A race whose finish was seen stands: it only loses its sampling.
    if (finishing && cause == RunEnd::CarLost) return messages::noPlayerFound;
    return std::nullopt;
  }
  drop();
  // A map load takes a run exported at its line from the plugin, not from its file: it was not lost.
  if (finishing && exportedAtLine_) return std::nullopt;
  switch (cause) {
    case RunEnd::Reset: return std::nullopt;
    case RunEnd::Spawn: return messages::runEndedBySpawn;
    case RunEnd::MapLoad: return messages::runEndedByMapLoad;
    case RunEnd::SwitchedOff: return messages::runSwitchedOff;
    case RunEnd::CarLost: return messages::runLostItsCar;
    case RunEnd::TickError: return messages::runStoppedOnError;
  }
  return std::nullopt;
}

// The run armed or under way goes, its frames and pending ticks with it.
void RunLife::drop() {
  identity_ = 0;
  frames_.clear();
  enter(RunPhase::Idle);
}

void RunLife::leaveRace() {
  if (phase_ == RunPhase::Finished) enter(RunPhase::Idle);
}

void RunLife::reset(bool keepFinishedRun) {
  if (!keepFinishedRun && phase_ == RunPhase::FinishSeen) drop();
  end(RunEnd::Reset);
  // Whatever currentLap was left at, it follows the phase again.
  enter(phase_ == RunPhase::Finished ? RunPhase::Idle : phase_);
  isChallenging_ = false;
  if (!keepFinishedRun) forgetFinishedRun();
}
