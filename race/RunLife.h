// The life of a run, owned in one place. Its phase is an explicit value; every event the plugin meets is one
// transition below, which reads the phase, decides, and returns what the player is told about the run. The
// members of Lumaro make the host calls around each transition, in the order the host expects them; no other
// code combines fields to guess where a run stands. The plugin's currentLap follows from the phase, and
// isChallenging is the player's choice of a challenge, which the run reset clears.
//
// clang-format off
// phase          record (by hand)  challenge           counter moves (watcher)  spawn, map load, reset,  car lost
//                                                                             switch or autorecord off
// Idle           arm               arm (ghost loaded)  -                        -                        -
// Armed          "Already ..."     ArmedChallenge      Racing                   Idle, told once          -
// ArmedChallenge "Already ..."     stays               RacingGhost              Idle, told once          -
// Racing         "Already ..."     "Already ..."       FinishSeen at the lap    Idle, told once          Idle, told
// RacingGhost    "Already ..."     "Already ..."       count set at the start   Idle, told once          Idle, told
// FinishSeen     "Already ..."     "Already ..."       -                        stands; map load, reset  stands, told
//                                                                               (not stop's): Idle, a map
//                                                                               load told unless exported
// Finished       arm               "Already ..."       -                        Idle (*); the switch:    -
//                                                                               stands
// clang-format on
// The finish handler takes FinishSeen to Finished, the only way a run is kept; it tells the race time itself.
//
// - Arming is a challenge only while a ghost is loaded and a challenge is chosen; a ghost unloaded while
//   armed makes the armed challenge a plain recording. Automatic recording arming an armed run arms it again
//   under its kind, saying so truly; a run under way it leaves alone, silently.
// - A command refused for its lap counter changes nothing: a finished run, a preview and the choice of a
//   challenge stay. The recording switch typed on at the console counts as recording for the record command.
// - A race against a ghost is compared with the ghost it started with: a ghost stopped, unloaded or replaced
//   mid-race makes it a plain race (its GhostDelta 0 once, then left alone).
// - An export of a race whose last line was just crossed writes the run as it stands; its finish follows. A map
//   load before that finish still takes the run, but it is in its file: nothing to tell.
// - A race keeps the lap count set when it started: changing lm_lapNbr mid-race neither ends nor prolongs it.
// - (*) The run reset drops a finished run too; the stop command, automatic recording and a refused command
//   keep it. Leaving Finished for Idle makes the challenge command accepted again.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "library/ghostfile/GhostFrame.h"

// The delay every timer chain of a run sets for its next step (watcher poll, sample, playback step, finish):
// as short as the host allows, so each runs on the next game tick.
inline constexpr float nextTickDelay = 0.001f;
// The look after a spawn waits this long (seconds), for the map's script to settle its lap counter.
inline constexpr float lookAfterSpawnDelay = 0.2f;
// The page's renewal after the plugin's load and after each run reset waits this long (seconds).
inline constexpr float pageRenewalDelay = 0.1f;
// Automatic recording, having found the counter before the start line, arms its run this long (seconds) later.
inline constexpr float autoRecordDelay = 0.1f;
// The ghost's colour is written this long (seconds) after a change of it, a map load or a run reset.
inline constexpr float ghostColorDelay = 0.01f;

enum class RunPhase { Idle, Armed, ArmedChallenge, Racing, RacingGhost, FinishSeen, Finished };

std::string_view runPhaseName(RunPhase phase);

// What ended a run before its finish; each is told once, in its own words.
enum class RunEnd { Reset, Spawn, MapLoad, SwitchedOff, CarLost, TickError };

// What a command that would arm a run does. Leave: automatic recording finds the run it came to arm under
// way already, which is fine as it is, and says nothing.
enum class ArmDecision { Refuse, Arm, Rearm, Leave };

// What one poll of the lap watcher found. BackBeforeStart: the counter reads -1 mid-race (a ball reset); the
// race goes on, as it counts from -1 again, but no longer beside its ghost.
enum class CounterMove { Nothing, Start, StartAgainstGhost, Finish, BackBeforeStart };

class RunLife {
public:
  RunLife(std::int32_t& currentLap, bool& isChallenging) : currentLap_(currentLap), isChallenging_(isChallenging) {}
  RunLife(const RunLife&) = delete;
  RunLife& operator=(const RunLife&) = delete;

  RunPhase phase() const { return phase_; }
  // Told after every change of phase, from and to; the finish's watcher still sees the run's frames.
  void watchPhases(std::function<void(RunPhase from, RunPhase to)> watcher) { watcher_ = std::move(watcher); }
  // The identity of the run armed or under way (0: none). Its timer chains hold it and stop when it changes.
  const std::uint64_t& identity() const { return identity_; }
  // The frames of the run under way; its finish hands them over.
  std::vector<GhostFrame>& frames() { return frames_; }
  // The laps of the race under way, as set when it started, and those the finished run was raced over (none
  // for a run handed over another way).
  std::int32_t raceLapCount() const { return raceLapCount_; }
  std::optional<std::int32_t> finishedLapCount() const { return finishedLapCount_; }

  bool isArmed() const { return phase_ == RunPhase::Armed || phase_ == RunPhase::ArmedChallenge; }
  bool isRacing() const { return phase_ == RunPhase::Racing || phase_ == RunPhase::RacingGhost; }
  // Armed or racing, finish not yet seen: ending it now loses it.
  bool isUnfinished() const { return isArmed() || isRacing(); }
  // A race under way or just ended: currentLap is 0.
  bool hasRace() const { return isRacing() || phase_ == RunPhase::FinishSeen || phase_ == RunPhase::Finished; }
  // A race started and not yet handled at its finish: automatic recording leaves it alone, silently.
  bool isUnderWay() const { return isRacing() || phase_ == RunPhase::FinishSeen; }

  // The record command (by hand or from automatic recording) and the challenge command, before any check
  // of the map: Refuse means "Already recording a run, restart the map.". The record command guards on the
  // recording switch too, as the console may have turned it.
  ArmDecision recordCommand(bool automatic, bool switchOn) const;
  ArmDecision challengeCommand() const;
  // A command armed a run (or armed the armed run again); a challenge when chosen and a ghost is loaded.
  // The announcement to make.
  std::string_view arm(bool ghostLoaded);
  std::string_view rearm(bool ghostLoaded);
  // The loaded ghost changed: an armed challenge whose ghost is gone is a plain recording until a ghost is
  // loaded again. A ghost loaded later does not make a recording announced as plain a challenge. A race
  // against a ghost whose ghost changes or stops goes on as a plain race.
  void ghostChanged(bool ghostLoaded);
  void ghostStopped();

  // One poll of the lap watcher that read lap; an armed challenge starts against its ghost only while one
  // is loaded.
  CounterMove counterRead(std::int32_t lap, bool ghostLoaded) const;
  // The race has started, over lapCount laps whatever the setting says later: the sampling runs under a
  // fresh identity. The announcement to make.
  std::string_view start(bool againstGhost, std::int32_t lapCount);
  void seeFinish();
  // An export wrote the run: one whose finish was seen is kept in its file, whatever takes it from here.
  void exported();
  // The finish handler: the run's frames, frozen, for the recorded run.
  std::vector<GhostFrame> finish();

  // Something other than the finish ended the run. A run not yet finished is dropped (its frames with it)
  // and what the player is told is returned, in the words of what ended it (a reset says nothing: its cause
  // has told why). A run whose finish was seen stands, but for a map load, which takes it away.
  std::optional<std::string_view> end(RunEnd cause);
  // The race is over for the commands (currentLap -1); a finished run stays recorded.
  void leaveRace();
  // The run reset: the run goes and so does the choice of a challenge; a finished run's lap count too unless
  // the finished run is kept.
  void reset(bool keepFinishedRun);
  void forgetFinishedRun() { finishedLapCount_.reset(); }

private:
  void enter(RunPhase phase);
  void drop();

  std::int32_t& currentLap_;
  bool& isChallenging_;
  RunPhase phase_ = RunPhase::Idle;
  std::uint64_t identity_ = 0;
  std::uint64_t lastIdentity_ = 0;
  std::vector<GhostFrame> frames_;
  std::int32_t raceLapCount_ = 0;
  // The armed run was announced as a challenge (it may have lost its ghost since).
  bool announcedChallenge_ = false;
  // The run whose finish was seen has been exported as it stood at the line.
  bool exportedAtLine_ = false;
  std::optional<std::int32_t> finishedLapCount_;
  std::function<void(RunPhase, RunPhase)> watcher_;
};
