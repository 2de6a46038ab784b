// The run's life, phase by event: every cell of race/RunLife.h's table, and the sequences its rules speak of.
// Each row reaches a phase as a player does, meets events as the player or the map makes them, lets a moment of
// the game pass (the next tick, the look after a spawn, automatic recording's arming), and names what the player
// is told and the phase that follows, as the rules of the commands, hooks and ticks give them: every message
// true, a refused command changing nothing, a dropped run leaving no race behind.
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "plugin/HostNames.h"
#include "plugin/Lumaro.h"
#include "race/RaceFixture.h"
#include "race/RunLife.h"
#include "sim/Game.h"
#include "support/PluginHarness.h"

namespace {

using Lines = std::vector<std::string>;
using P = RunPhase;
using E = RunEvent;

struct Row {
  RunPhase from;
  std::vector<RunEvent> events;
  Lines told;  // "Race ended in *" stands for any race time
  RunPhase to;
  // Typed before the phase is reached, while the lap counter stands past the line (so that automatic recording
  // switched on arms nothing): automatic recording can be switched off only where it is on.
  const char* setting = nullptr;
};

void PrintTo(const Row& row, std::ostream* out) {
  *out << runPhaseName(row.from);
  for (RunEvent event : row.events) *out << " + " << runEventName(event);
  if (row.setting) *out << " (" << row.setting << ")";
}

const char* const autoRecording = "lm_autorecord 1";

const std::string recording = "Recording starts and ends when you cross the finish line.";
const std::string challenging = "Challenging starts and ends when you cross the finish line.";
const std::string already = "Already recording a run, restart the map.";
const std::string resetCounter = "Reset the lap counter (Reset Ball or restart the map).";
const std::string noGhost = "No Ghost loaded.";
const std::string switchedOff = "Recording was switched off. The run was not recorded.";
const std::string respawned = "The car respawned. The run was not recorded.";
const std::string mapLoaded = "A map was loaded. The run was not recorded.";
const std::string notInWorkshop = "Make sure you're in a workshop map.";
const std::string carLost = "No Player Found. The run was not recorded.";
const std::string noCar = "No Player Found.";
const std::string started = "Race started.";
const std::string startedGhost = "Race started against a ghost.";
const std::string ended = "Race ended in *";
const std::string exported = "Exported to ./tessaro/data/Ghosts/My-PB.ghost.";
const std::string nothingToExport = "No Ghost to export.";
const std::string stopped = "Stopped ghost.";
const std::string imported = "Imported Other.ghost.";
const std::string unpicked = "No Ghost found  .";

class RunLifeTable : public RaceTest, public ::testing::WithParamInterface<Row> {
protected:
  void SetUp() override {
    // Two ghosts of three frames: the one the challenges race, and another to pick.
    for (const char* name : {"Ghost.ghost", "Other.ghost"}) {
      std::ofstream(game().ghostFolder() / name, std::ios::binary)
          << "Speedway,Ann,200,1-Lap,1.1\r\n0,10,20,30,0,0,0\r\n100,11,21,31,0,0,0\r\n200,12,22,32,0,0,0\r\n";
    }
  }

  // A phase as a player reaches it: the ghost picked only for the phases of a challenge, one lap.
  void reach(const Row& row) {
    if (row.setting) game().crossStartLine(), host.run(row.setting), game().resetBall();
    const bool challenge = row.from == P::ArmedChallenge || row.from == P::RacingGhost;
    if (challenge) host.run("lm_ghostfilepath Ghost.ghost"), host.run("lm_challenge");
    if (row.from != P::Idle && !challenge) host.run("lm_record");
    if (row.from != P::Idle && row.from != P::Armed && row.from != P::ArmedChallenge) meet(E::CrossLine);
    // The next crossing is the finish, seen by the poll of its tick and handled on the next.
    if (row.from == P::FinishSeen || row.from == P::Finished) meet(E::CrossLine);
    if (row.from == P::Finished) game().tick();
    lines();
    ASSERT_EQ(plugin().runLife.phase(), row.from);
  }

  void meet(RunEvent event) {
    switch (event) {
      case E::Record: return host.run("lm_record");
      case E::Challenge: return host.run("lm_challenge");
      case E::Stop: return host.run("lm_stop");
      case E::Export: return host.run("lm_export");
      case E::SwitchOn: return host.run("lm_isrecording 1");
      case E::SwitchOff: return host.run("lm_isrecording 0");
      case E::AutoRecordOn: return host.run("lm_autorecord 1");
      case E::AutoRecordOff: return host.run("lm_autorecord 0");
      case E::LapsChanged: return host.run("lm_lapNbr 3");
      case E::GhostPicked: return host.run("lm_ghostfilepath Other.ghost");
      case E::GhostUnpicked: return host.run("lm_ghostfilepath \" \"");
      // The watcher polls on every tick.
      case E::CrossLine: return game().crossStartLine(), game().tick();
      case E::ResetBall: return game().resetBall();
      case E::Respawn: return game().respawn();
      case E::Spawn: return game().fireEvent(std::string(names::event::playerSpawn));
      case E::Pause: return game().setPaused(true);
      case E::CarLost: return game().removeCar();
      case E::MapLoad: return game().loadMap(sim::workshopMap("Speedway"));
      case E::MainMenu: return game().loadMainMenu();
      // Past the look after a spawn (0.2 s) and automatic recording's arming (0.1 s after it).
      case E::Moment: return game().runFor(0.35);
    }
  }
};

TEST_P(RunLifeTable, EveryEventTellsTheTruthAndLeavesTheRightPhase) {
  const Row& row = GetParam();
  reach(row);
  for (RunEvent event : row.events) meet(event);
  meet(E::Moment);
  Lines told = lines();
  for (std::size_t i = 0; i < told.size() && i < row.told.size(); ++i) {
    if (row.told[i] == ended && told[i].starts_with("Race ended in ")) told[i] = ended;
  }
  EXPECT_EQ(told, row.told);
  EXPECT_EQ(plugin().runLife.phase(), row.to) << runPhaseName(plugin().runLife.phase());
  const bool racing = row.to == P::Racing || row.to == P::RacingGhost || row.to == P::FinishSeen;
  EXPECT_EQ(plugin().currentLap, racing || row.to == P::Finished ? 0 : -1);
  // A switch typed on stands without a run.
  const bool recordingOn = racing || row.to == P::Armed || row.to == P::ArmedChallenge;
  if (row.events.front() != E::SwitchOn) {
    EXPECT_EQ(host.cvar("lm_isrecording"), recordingOn ? "1" : "0");
  }
}

// Every phase meets every event once. Without a ghost loaded but in a challenge's phases; one lap.
const Row cells[] = {
    {P::Idle, {E::Record}, {recording}, P::Armed},
    {P::Idle, {E::Challenge}, {noGhost}, P::Idle},
    {P::Idle, {E::Stop}, {noGhost}, P::Idle},
    {P::Idle, {E::Export}, {nothingToExport}, P::Idle},
    {P::Idle, {E::SwitchOn}, {}, P::Idle},
    {P::Idle, {E::SwitchOff}, {}, P::Idle},
    // Automatic recording with no ghost loaded stops the ghost (no ghost: the run is reset) and arms.
    {P::Idle, {E::AutoRecordOn}, {noGhost, recording}, P::Armed},
    {P::Idle, {E::AutoRecordOff}, {}, P::Idle, autoRecording},
    {P::Idle, {E::LapsChanged}, {}, P::Idle},
    {P::Idle, {E::GhostPicked}, {imported}, P::Idle},
    {P::Idle, {E::GhostUnpicked}, {unpicked}, P::Idle},
    {P::Idle, {E::CrossLine}, {}, P::Idle},
    {P::Idle, {E::ResetBall}, {}, P::Idle},
    {P::Idle, {E::Respawn}, {}, P::Idle},
    {P::Idle, {E::Spawn}, {}, P::Idle},
    {P::Idle, {E::Pause}, {}, P::Idle},
    {P::Idle, {E::CarLost}, {}, P::Idle},
    {P::Idle, {E::MapLoad}, {}, P::Idle},
    {P::Idle, {E::MainMenu}, {}, P::Idle},
    {P::Idle, {E::Moment}, {}, P::Idle},

    {P::Armed, {E::Record}, {already}, P::Armed},
    {P::Armed, {E::Challenge}, {noGhost}, P::Armed},
    {P::Armed, {E::Stop}, {noGhost, switchedOff}, P::Idle},
    {P::Armed, {E::Export}, {nothingToExport}, P::Armed},
    {P::Armed, {E::SwitchOn}, {}, P::Armed},
    {P::Armed, {E::SwitchOff}, {switchedOff}, P::Idle},
    // Armed again, of the kind chosen now; the stop with no ghost loaded says so, silent about the run it keeps.
    {P::Armed, {E::AutoRecordOn}, {noGhost, recording}, P::Armed},
    {P::Armed, {E::AutoRecordOff}, {switchedOff}, P::Idle, autoRecording},
    {P::Armed, {E::LapsChanged}, {}, P::Armed},
    // A ghost picked after a plain recording was announced leaves it plain.
    {P::Armed, {E::GhostPicked}, {imported}, P::Armed},
    {P::Armed, {E::GhostUnpicked}, {unpicked}, P::Armed},
    {P::Armed, {E::CrossLine}, {started}, P::Racing},
    {P::Armed, {E::ResetBall}, {}, P::Armed},
    {P::Armed, {E::Respawn}, {respawned}, P::Idle},
    {P::Armed, {E::Spawn}, {respawned}, P::Idle},
    {P::Armed, {E::Pause}, {}, P::Armed},
    {P::Armed, {E::CarLost}, {}, P::Armed},
    {P::Armed, {E::MapLoad}, {mapLoaded}, P::Idle},
    {P::Armed, {E::MainMenu}, {notInWorkshop}, P::Idle},
    {P::Armed, {E::Moment}, {}, P::Armed},

    {P::ArmedChallenge, {E::Record}, {already}, P::ArmedChallenge},
    {P::ArmedChallenge, {E::Challenge}, {challenging}, P::ArmedChallenge},
    // A ghost loaded but not playing: parked, nothing to say.
    {P::ArmedChallenge, {E::Stop}, {}, P::ArmedChallenge},
    {P::ArmedChallenge, {E::Export}, {nothingToExport}, P::ArmedChallenge},
    {P::ArmedChallenge, {E::SwitchOn}, {}, P::ArmedChallenge},
    {P::ArmedChallenge, {E::SwitchOff}, {switchedOff}, P::Idle},
    {P::ArmedChallenge, {E::AutoRecordOn}, {challenging}, P::ArmedChallenge},
    {P::ArmedChallenge, {E::AutoRecordOff}, {switchedOff}, P::Idle, autoRecording},
    {P::ArmedChallenge, {E::LapsChanged}, {}, P::ArmedChallenge},
    {P::ArmedChallenge, {E::GhostPicked}, {imported}, P::ArmedChallenge},
    {P::ArmedChallenge, {E::GhostUnpicked}, {unpicked}, P::Armed},
    {P::ArmedChallenge, {E::CrossLine}, {startedGhost}, P::RacingGhost},
    {P::ArmedChallenge, {E::ResetBall}, {}, P::ArmedChallenge},
    {P::ArmedChallenge, {E::Respawn}, {respawned}, P::Idle},
    {P::ArmedChallenge, {E::Spawn}, {respawned}, P::Idle},
    {P::ArmedChallenge, {E::Pause}, {}, P::ArmedChallenge},
    {P::ArmedChallenge, {E::CarLost}, {}, P::ArmedChallenge},
    {P::ArmedChallenge, {E::MapLoad}, {mapLoaded}, P::Idle},
    {P::ArmedChallenge, {E::MainMenu}, {notInWorkshop}, P::Idle},
    {P::ArmedChallenge, {E::Moment}, {}, P::ArmedChallenge},

    {P::Racing, {E::Record}, {already}, P::Racing},
    {P::Racing, {E::Challenge}, {already}, P::Racing},
    {P::Racing, {E::Stop}, {noGhost, switchedOff}, P::Idle},
    {P::Racing, {E::Export}, {nothingToExport}, P::Racing},
    {P::Racing, {E::SwitchOn}, {}, P::Racing},
    {P::Racing, {E::SwitchOff}, {switchedOff}, P::Idle},
    // The counter is past the line: automatic recording leaves the race alone, silently.
    {P::Racing, {E::AutoRecordOn}, {}, P::Racing},
    {P::Racing, {E::AutoRecordOff}, {switchedOff}, P::Idle, autoRecording},
    {P::Racing, {E::LapsChanged}, {}, P::Racing},
    {P::Racing, {E::GhostPicked}, {imported}, P::Racing},
    {P::Racing, {E::GhostUnpicked}, {unpicked}, P::Racing},
    {P::Racing, {E::CrossLine}, {ended}, P::Finished},
    {P::Racing, {E::ResetBall}, {}, P::Racing},
    {P::Racing, {E::Respawn}, {respawned}, P::Idle},
    {P::Racing, {E::Spawn}, {respawned}, P::Idle},
    {P::Racing, {E::Pause}, {}, P::Racing},
    {P::Racing, {E::CarLost}, {carLost}, P::Idle},
    {P::Racing, {E::MapLoad}, {mapLoaded}, P::Idle},
    {P::Racing, {E::MainMenu}, {notInWorkshop}, P::Idle},
    {P::Racing, {E::Moment}, {}, P::Racing},

    {P::RacingGhost, {E::Record}, {already}, P::RacingGhost},
    {P::RacingGhost, {E::Challenge}, {already}, P::RacingGhost},
    // A race against a ghost stopped, unloaded or replaced goes on as a plain race.
    {P::RacingGhost, {E::Stop}, {stopped}, P::Racing},
    {P::RacingGhost, {E::Export}, {nothingToExport}, P::RacingGhost},
    {P::RacingGhost, {E::SwitchOn}, {}, P::RacingGhost},
    {P::RacingGhost, {E::SwitchOff}, {switchedOff}, P::Idle},
    {P::RacingGhost, {E::AutoRecordOn}, {}, P::RacingGhost},
    {P::RacingGhost, {E::AutoRecordOff}, {switchedOff}, P::Idle, autoRecording},
    {P::RacingGhost, {E::LapsChanged}, {}, P::RacingGhost},
    {P::RacingGhost, {E::GhostPicked}, {imported}, P::Racing},
    {P::RacingGhost, {E::GhostUnpicked}, {unpicked}, P::Racing},
    {P::RacingGhost, {E::CrossLine}, {ended}, P::Finished},
    {P::RacingGhost, {E::ResetBall}, {}, P::RacingGhost},
    {P::RacingGhost, {E::Respawn}, {respawned}, P::Idle},
    {P::RacingGhost, {E::Spawn}, {respawned}, P::Idle},
    {P::RacingGhost, {E::Pause}, {}, P::RacingGhost},
    {P::RacingGhost, {E::CarLost}, {carLost}, P::Idle},
    {P::RacingGhost, {E::MapLoad}, {mapLoaded}, P::Idle},
    {P::RacingGhost, {E::MainMenu}, {notInWorkshop}, P::Idle},
    {P::RacingGhost, {E::Moment}, {}, P::RacingGhost},

    // The finish seen, handled on the next tick: whatever comes in that moment, the run is finished, but for a
    // map load (the main menu's too), which takes it away before its time is told.
    {P::FinishSeen, {E::Record}, {already, ended}, P::Finished},
    {P::FinishSeen, {E::Challenge}, {already, ended}, P::Finished},
    {P::FinishSeen, {E::Stop}, {noGhost, ended}, P::Finished},
    // Written as it stands at the line; the finish follows on its tick.
    {P::FinishSeen, {E::Export}, {exported, ended}, P::Finished},
    {P::FinishSeen, {E::SwitchOn}, {ended}, P::Finished},
    {P::FinishSeen, {E::SwitchOff}, {ended}, P::Finished},
    {P::FinishSeen, {E::AutoRecordOn}, {ended}, P::Finished},
    {P::FinishSeen, {E::AutoRecordOff}, {ended}, P::Finished, autoRecording},
    {P::FinishSeen, {E::LapsChanged}, {ended}, P::Finished},
    {P::FinishSeen, {E::GhostPicked}, {imported, ended}, P::Finished},
    {P::FinishSeen, {E::GhostUnpicked}, {unpicked, ended}, P::Finished},
    {P::FinishSeen, {E::CrossLine}, {ended}, P::Finished},
    {P::FinishSeen, {E::ResetBall}, {ended}, P::Finished},
    // The look after the spawn leaves the finished race.
    {P::FinishSeen, {E::Respawn}, {ended}, P::Idle},
    {P::FinishSeen, {E::Spawn}, {ended}, P::Idle},
    {P::FinishSeen, {E::Pause}, {ended}, P::Finished},
    {P::FinishSeen, {E::CarLost}, {noCar, ended}, P::Finished},
    {P::FinishSeen, {E::MapLoad}, {mapLoaded}, P::Idle},
    {P::FinishSeen, {E::MainMenu}, {notInWorkshop}, P::Idle},
    {P::FinishSeen, {E::Moment}, {ended}, P::Finished},

    // The counter stands at the lap count: the commands wait for it to be reset.
    {P::Finished, {E::Record}, {resetCounter}, P::Finished},
    {P::Finished, {E::Challenge}, {already}, P::Finished},
    // The stop with no ghost loaded resets the run, but a finished one stays for its export.
    {P::Finished, {E::Stop}, {noGhost}, P::Idle},
    {P::Finished, {E::Export}, {exported}, P::Finished},
    {P::Finished, {E::SwitchOn}, {}, P::Finished},
    {P::Finished, {E::SwitchOff}, {}, P::Finished},
    {P::Finished, {E::AutoRecordOn}, {}, P::Finished},
    {P::Finished, {E::AutoRecordOff}, {}, P::Idle, autoRecording},
    {P::Finished, {E::LapsChanged}, {}, P::Finished},
    {P::Finished, {E::GhostPicked}, {imported}, P::Finished},
    {P::Finished, {E::GhostUnpicked}, {unpicked}, P::Finished},
    {P::Finished, {E::CrossLine}, {}, P::Finished},
    {P::Finished, {E::ResetBall}, {}, P::Finished},
    {P::Finished, {E::Respawn}, {}, P::Idle},
    {P::Finished, {E::Spawn}, {}, P::Idle},
    {P::Finished, {E::Pause}, {}, P::Finished},
    {P::Finished, {E::CarLost}, {}, P::Finished},
    {P::Finished, {E::MapLoad}, {}, P::Idle},
    {P::Finished, {E::MainMenu}, {}, P::Idle},
    {P::Finished, {E::Moment}, {}, P::Finished},
};

INSTANTIATE_TEST_SUITE_P(PhaseByEvent, RunLifeTable, ::testing::ValuesIn(cells));

TEST(RunLifeCells, EveryPhaseMeetsEveryEventOnce) {
  for (int phase = 0; phase < runPhaseCount; ++phase) {
    for (int event = 0; event < runEventCount; ++event) {
      int rows = 0;
      for (const Row& row : cells) {
        if (static_cast<int>(row.from) == phase && row.events.size() == 1 &&
            static_cast<int>(row.events.front()) == event)
          ++rows;
      }
      EXPECT_EQ(rows, 1) << runPhaseName(static_cast<RunPhase>(phase)) << " + "
                         << runEventName(static_cast<RunEvent>(event));
    }
  }
}

// What the rules say of events in turn.
const Row sequences[] = {
    {P::ArmedChallenge, {E::GhostUnpicked, E::CrossLine}, {unpicked, started}, P::Racing},
    // Announced as a challenge, its ghost gone and picked again: the race is the challenge announced.
    {P::ArmedChallenge,
     {E::GhostUnpicked, E::GhostPicked, E::CrossLine},
     {unpicked, imported, startedGhost},
     P::RacingGhost},
    // A challenge refused for its counter is still chosen; a recording armed while no ghost is loaded is
    // announced plain, and stays plain when a ghost is picked before the start.
    {P::Idle,
     {E::CrossLine, E::GhostPicked, E::Challenge, E::GhostUnpicked, E::ResetBall, E::Record, E::GhostPicked,
      E::CrossLine},
     {imported, resetCounter, unpicked, recording, imported, started},
     P::Racing},
    // A run a spawn dropped leaves no race under way, whatever the lap counter still reads.
    {P::Racing, {E::AutoRecordOn, E::Spawn, E::Moment, E::Challenge}, {respawned, noGhost}, P::Idle},
    // The race keeps the lap count it started with: one lap, whatever the setting says now.
    {P::Racing, {E::LapsChanged, E::CrossLine}, {ended}, P::Finished},
    // Taken before its finish, but written to its file already: nothing of it was lost.
    {P::FinishSeen, {E::Export, E::MapLoad}, {exported}, P::Idle},
    // Written at the line; the finish follows, and automatic export writes it again.
    {P::FinishSeen, {E::Export}, {exported, ended, exported}, P::Finished, "lm_autoexport 1"},
    // A refused command costs no finished run: it is still exported.
    {P::Finished, {E::Record, E::Export}, {resetCounter, exported}, P::Finished},
    {P::Finished, {E::GhostPicked, E::ResetBall, E::Challenge}, {imported, already}, P::Finished},
    {P::Finished, {E::Stop, E::Export}, {noGhost, exported}, P::Idle},
    // Switched on and at once off: the run is switched off and told so; the arming already asked for comes.
    {P::Armed, {E::AutoRecordOn, E::AutoRecordOff}, {noGhost, switchedOff, recording}, P::Armed},
    // A run armed after a spawn, before the look that follows it, was armed after the spawn: it stands.
    {P::Idle, {E::MapLoad, E::Record}, {recording}, P::Armed},
    {P::Idle, {E::Respawn, E::Record}, {recording}, P::Armed},
    // The choice of a challenge outlives a finished race, a respawn and a ghost unpicked and picked again ...
    {P::ArmedChallenge,
     {E::CrossLine, E::CrossLine, E::Moment, E::GhostUnpicked, E::GhostPicked, E::Respawn, E::Moment, E::Record},
     {startedGhost, ended, unpicked, imported, challenging},
     P::ArmedChallenge},
    // ... but not the stop with no ghost loaded, which resets the run.
    {P::ArmedChallenge,
     {E::CrossLine, E::CrossLine, E::Moment, E::GhostUnpicked, E::Stop, E::GhostPicked, E::Respawn, E::Moment,
      E::Record},
     {startedGhost, ended, unpicked, noGhost, imported, recording},
     P::Armed},
};

INSTANTIATE_TEST_SUITE_P(Sequences, RunLifeTable, ::testing::ValuesIn(sequences));

}  // namespace
