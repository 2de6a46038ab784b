// The life of a run, owned in one place. Its phase is an explicit value; every event the plugin meets is one
// transition below, which reads the phase, decides, and returns what the player is told about the run. The
// members of Lumaro make the host calls around each transition, in the order the host expects them; no other
// code combines fields to guess where a run stands. The plugin's currentLap follows from the phase, and
// isChallenging is the player's choice of a challenge, which the run reset clears.
//
// The table below has a row for each RunEvent, in its order: what the player or the map does, then the moment after
// it (the next tick, the look after a spawn, automatic recording's arming), with no ghost loaded but in the phases
// of a challenge. Each cell is what the run does there:
//   -        the phase stays; the event's own message, if it has one, is all that is told
//   arm      armed, told which kind (a challenge when chosen and a ghost is loaded); only while the lap counter
//            reads -1, else nothing changes (the commands say "Reset the lap counter ...", automatic recording nothing)
//   Already  refused, "Already recording a run, restart the map.", nothing changes
//   ends     the run dropped, its frames with it: Idle, told once in the words of what ended it
//   leaves   the race left, silently: Idle, the finished run still there for its export
//   drops    the finished run gone with the race, silently: Idle
//   a phase  the run goes on in it
// clang-format off
// event          Idle     Armed       ArmedChallenge  Racing          RacingGhost     FinishSeen  Finished
// Record         arm      Already     Already         Already         Already         Already     arm
// Challenge      arm (a)  arm (a)     arm             Already         Already         Already     Already
// Stop (b)       -        ends        -               ends            Racing          -           leaves
// Export         -        -           -               -               -               - (c)       -
// SwitchOn (d)   -        -           -               -               -               -           -
// SwitchOff      -        ends        ends            ends            ends            -           -
// AutoRecordOn   arm (e)  arm (e)     arm (e)         -               -               -           arm (e)
// AutoRecordOff  -        ends        ends            ends            ends            -           leaves
// LapsChanged    -        - (f)       - (f)           -               -               -           -
// GhostPicked    -        - (g)       -               -               Racing          -           -
// GhostUnpicked  -        -           Armed           -               Racing          -           -
// CrossLine      -        Racing      RacingGhost     FinishSeen (h)  FinishSeen (h)  -           -
// ResetBall      -        -           -               - (i)           - (i)           -           -
// Respawn (j)    -        ends        ends            ends            ends            - (k)       leaves
// Spawn (j)      -        ends        ends            ends            ends            - (k)       leaves
// Pause          -        -           -               -               -               -           -
// CarLost        -        -           -               ends            ends            - (l)       -
// MapLoad        -        ends        ends            ends            ends            ends (m)    drops
// MainMenu       -        ends        ends            ends            ends            ends (m)    drops
// Moment         -        -           -               -               -               Finished    -
// clang-format on
// The finish handler, on the tick after the finish was seen (so in the moment after every event of FinishSeen's
// column), takes FinishSeen to Finished, the only way a run is kept; it tells the race time itself.
//
// (a) With a ghost loaded: the armed run becomes the challenge. With none, "No Ghost loaded." and nothing changes.
// (b) With no ghost loaded the stop performs the run reset ("No Ghost loaded."), which also clears the choice of a
//     challenge but keeps a finished run. With one loaded it parks the ghost car, and a race against it goes on
//     plain; the choice stays.
// (c) An export of a race whose last line was just crossed writes the run as it stands; its finish follows.
// (d) The recording switch typed on at the console counts as recording for the record command: it refuses.
// (e) Automatic recording stops the ghost first (with none loaded: the run reset, as the stop's, but it keeps an
//     armed run) and arms a moment later; an armed run is armed again under the kind chosen now, told so truly.
//     It arms too at the look after a spawn, the counter back at -1; a race under way it leaves alone, silently.
// (f) An armed run takes the lap count set when its race starts; a race keeps it, neither ended nor prolonged.
// (g) An armed challenge whose ghost was unloaded is a challenge again; a recording announced as plain stays plain.
// (h) At the lap count set when the race started; before it, the lap counts on.
// (i) The race goes on, as the counter counts from -1 again, but no longer beside its ghost (its GhostDelta 0).
// (j) With automatic recording off, the look after the spawn leaves the race. A run armed after the spawn, in
//     the moment before that look, was armed by the player after it: it stands.
// (k) The finish stands and is handled; the look after the spawn then leaves the race.
// (l) "No Player Found.": the finish stands.
// (m) The run not yet handled at its finish is taken; if it was exported in that moment, it is in its file: nothing
//     to tell.
//
// - A race against a ghost is compared with the ghost it started with: a ghost stopped, unloaded or replaced
//   mid-race makes it a plain race (its GhostDelta 0 once, then left alone).
// - The run reset after a failure ends the run as a map load does (told by the failure), and drops a finished run.
//   Leaving Finished for Idle makes the challenge command accepted again.
// - The commands and settings not in the table (preview, import, colour, list, folder, export name, automatic
//   export and its limit) leave the phase alone; import picks the chosen ghost again.
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
inline constexpr int runPhaseCount = static_cast<int>(RunPhase::Finished) + 1;

std::string_view runPhaseName(RunPhase phase);

// What the player or the map does that a run meets: the rows of the table above, in its order, and the rows
// of the run's test, which meets each in each phase.
enum class RunEvent {
  Record,         // lm_record, by hand
  Challenge,      // lm_challenge
  Stop,           // lm_stop
  Export,         // lm_export
  SwitchOn,       // lm_isrecording 1, typed
  SwitchOff,      // lm_isrecording 0, typed
  AutoRecordOn,   // lm_autorecord 1
  AutoRecordOff,  // lm_autorecord 0
  LapsChanged,    // lm_lapNbr
  GhostPicked,    // lm_ghostfilepath names a ghost (another than the one loaded)
  GhostUnpicked,  // lm_ghostfilepath " ", the list's blank entry
  CrossLine,      // the car crosses the start line: the map's lap counter moves on
  ResetBall,      // the map's lap counter back at -1
  Respawn,        // the car respawns, the lap counter back at -1
  Spawn,          // the car spawns, the lap counter left as it stood
  Pause,          // the game paused
  CarLost,        // the car goes away (spectating)
  MapLoad,        // a workshop map loads (and the car spawns on it)
  MainMenu,       // the main menu loads
  Moment,         // the game runs on: the next tick, the look after a spawn, automatic recording's arming
};
inline constexpr int runEventCount = static_cast<int>(RunEvent::Moment) + 1;

constexpr std::string_view runEventName(RunEvent event) {
  switch (event) {
    case RunEvent::Record: return "record";
    case RunEvent::Challenge: return "challenge";
    case RunEvent::Stop: return "stop";
    case RunEvent::Export: return "export";
    case RunEvent::SwitchOn: return "switch on";
    case RunEvent::SwitchOff: return "switch off";
    case RunEvent::AutoRecordOn: return "autorecord on";
    case RunEvent::AutoRecordOff: return "autorecord off";
    case RunEvent::LapsChanged: return "laps changed";
    case RunEvent::GhostPicked: return "ghost picked";
    case RunEvent::GhostUnpicked: return "ghost unpicked";
    case RunEvent::CrossLine: return "cross line";
    case RunEvent::ResetBall: return "reset ball";
    case RunEvent::Respawn: return "respawn";
    case RunEvent::Spawn: return "spawn";
    case RunEvent::Pause: return "pause";
    case RunEvent::CarLost: return "car lost";
    case RunEvent::MapLoad: return "map load";
    case RunEvent::MainMenu: return "main menu";
    case RunEvent::Moment: return "moment";
  }
  return "?";
}

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
