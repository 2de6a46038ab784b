// The run's life, phase by event. Each row reaches a phase as a player does, meets one event, and names what
// the player is told and the phase that follows, as the rules of the commands, hooks and ticks give them:
// every message true, a refused command changing nothing, a dropped run leaving no race behind.
#include <cstddef>
#include <functional>
#include <map>
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

struct Row {
  const char* from;
  const char* event;
  Lines told;  // "Race ended in *" stands for any race time
  const char* to;
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.from << " + " << row.event; }

const std::string recording = "Recording starts and ends when you cross the finish line.";
const std::string challenging = "Challenging starts and ends when you cross the finish line.";
const std::string already = "Already recording a run, restart the map.";
const std::string resetCounter = "Reset the lap counter (Reset Ball or restart the map).";
const std::string noGhost = "No Ghost loaded.";
const std::string switchedOff = "Recording was switched off. The run was not recorded.";
const std::string respawned = "The car respawned. The run was not recorded.";
const std::string mapLoaded = "A map was loaded. The run was not recorded.";
const std::string ended = "Race ended in *";

class RunLifeTable : public RaceTest, public ::testing::WithParamInterface<Row> {
protected:
  void reach(const std::string& phase) {
    if (phase.find("challenge") != std::string::npos || phase.find("ghost") != std::string::npos) loadGhost();
    if (phase == "armed") host.run("lm_record");
    if (phase == "armed challenge" || phase == "racing a ghost") host.run("lm_challenge");
    if (phase == "racing" || phase.starts_with("finish")) host.run("lm_record");
    if (phase == "racing" || phase == "racing a ghost" || phase.starts_with("finish")) {
      game().crossStartLine();
      game().tick();
    }
    // One lap: the next crossing is the finish, seen by the poll of the tick and handled on the next.
    if (phase.starts_with("finish")) {
      game().crossStartLine();
      game().tick();
    }
    if (phase == "finished") game().tick();
    lines();
    ASSERT_EQ(runPhaseName(plugin().runLife.phase()), phase);
  }

  void meet(const std::string& event) {
    const std::map<std::string, std::function<void()>> events = {
        {"record", [&] { host.run("lm_record"); }},
        {"challenge", [&] { host.run("lm_challenge"); }},
        {"stop", [&] { host.run("lm_stop"), game().tick(); }},
        {"switch off", [&] { host.run("lm_isrecording 0"), game().tick(); }},
        {"autorecord on", [&] { host.run("lm_autorecord 1"), game().runFor(0.15); }},
        {"respawn", [&] { game().respawn(), game().runFor(0.35); }},
        {"spawn past the line, challenge", [&] { host.run("lm_autorecord 1"), spawn(), host.run("lm_challenge"); }},
        {"reset ball", [&] { game().resetBall(), game().tick(); }},
        {"car lost", [&] { game().removeCar(), game().tick(); }},
        {"map load", [&] { game().loadMap(sim::workshopMap("Speedway")); }},
        {"blank entry", [&] { host.run("lm_ghostfilepath \" \""); }},
        {"blank entry, start", [&] { host.run("lm_ghostfilepath \" \""), game().crossStartLine(), game().tick(); }},
        {"blank entry, ghost picked, start",
         [&] {
           host.run("lm_ghostfilepath \" \""), loadGhost(), plugin().runLife.ghostChanged(true),
               game().crossStartLine(), game().tick();
         }},
        {"more laps", [&] { host.run("lm_lapNbr 3"), game().crossStartLine(), game().runTicks(2); }},
        {"ghost picked, start",
         [&] {
           plugin().isChallenging = true, loadGhost(), plugin().runLife.ghostChanged(true), game().crossStartLine(),
           game().tick();
         }},
        {"pause", [&] { game().setPaused(true), game().runTicks(3); }},
        {"record, export", [&] { host.run("lm_record"), host.run("lm_export"); }},
        {"record, challenge", [&] { host.run("lm_record"), host.run("lm_challenge"); }},
        {"export", [&] { host.run("lm_export"); }},
        {"export, map load", [&] { host.run("lm_export"), game().loadMap(sim::workshopMap("Speedway")); }},
        {"auto export, export", [&] { host.run("lm_autoexport 1"), host.run("lm_export"), game().tick(); }},
        {"reset ball, challenge", [&] { loadGhost(), game().resetBall(), game().tick(), host.run("lm_challenge"); }},
        {"autorecord on, off", [&] { host.run("lm_autorecord 1"), host.run("lm_autorecord 0"), game().runFor(0.3); }},
    };
    events.at(event)();
  }

  // A spawn whose map keeps its lap counter past -1, looked at 0.2 s later.
  void spawn() {
    game().fireEvent(std::string(names::event::playerSpawn));
    game().runFor(0.35);
  }
};

TEST_P(RunLifeTable, EveryEventTellsTheTruthAndLeavesTheRightPhase) {
  const Row& row = GetParam();
  reach(row.from);
  meet(row.event);
  Lines told = lines();
  for (std::size_t i = 0; i < told.size() && i < row.told.size(); ++i) {
    if (row.told[i] == ended && told[i].starts_with("Race ended in ")) told[i] = ended;
  }
  EXPECT_EQ(told, row.told);
  EXPECT_EQ(runPhaseName(plugin().runLife.phase()), row.to);
  const bool racing = std::string(row.to) != "idle" && !std::string(row.to).starts_with("armed");
  EXPECT_EQ(plugin().currentLap, racing ? 0 : -1);
  const std::string to = row.to;
  const bool recordingOn = to.starts_with("armed") || to.starts_with("racing") || to == "finish seen";
  EXPECT_EQ(host.cvar("lm_isrecording"), recordingOn ? "1" : "0");
}

const Row rows[] = {
    {"idle", "record", {recording}, "armed"},
    {"idle", "challenge", {noGhost}, "idle"},
    {"idle", "switch off", {}, "idle"},
    {"armed", "record", {already}, "armed"},
    {"armed", "challenge", {noGhost}, "armed"},
    {"armed", "stop", {noGhost, switchedOff}, "idle"},
    {"armed", "switch off", {switchedOff}, "idle"},
    {"armed", "respawn", {respawned}, "idle"},
    {"armed", "reset ball", {}, "armed"},
    {"armed", "car lost", {}, "armed"},
    {"armed", "map load", {mapLoaded}, "idle"},
    // Automatic recording with no ghost loaded stops the ghost (no ghost: the run is reset) and arms afresh.
    {"armed", "autorecord on", {noGhost, recording}, "armed"},
    {"armed challenge", "record", {already}, "armed challenge"},
    {"armed challenge", "challenge", {challenging}, "armed challenge"},
    // An armed run meeting automatic recording stays armed and is told so truly.
    {"armed challenge", "autorecord on", {challenging}, "armed challenge"},
    {"armed challenge", "blank entry", {"No Ghost found  ."}, "armed"},
    {"armed challenge", "blank entry, start", {"No Ghost found  .", "Race started."}, "racing"},
    // Announced as a challenge, its ghost gone and picked again: the race is the challenge announced.
    {"armed challenge",
     "blank entry, ghost picked, start",
     {"No Ghost found  .", "Race started against a ghost."},
     "racing a ghost"},
    // A ghost picked after a plain recording was announced leaves it plain.
    {"armed", "ghost picked, start", {"Race started."}, "racing"},
    {"racing", "record", {already}, "racing"},
    {"racing", "challenge", {already}, "racing"},
    {"racing", "stop", {noGhost, switchedOff}, "idle"},
    {"racing", "switch off", {switchedOff}, "idle"},
    {"racing", "respawn", {respawned}, "idle"},
    // A run a spawn dropped leaves no race under way, whatever the lap counter still reads.
    {"racing", "spawn past the line, challenge", {respawned, noGhost}, "idle"},
    {"racing", "reset ball", {}, "racing"},
    {"racing", "car lost", {"No Player Found. The run was not recorded."}, "idle"},
    {"racing", "map load", {mapLoaded}, "idle"},
    {"racing", "pause", {}, "racing"},
    // The race keeps the lap count it was armed with: one lap, whatever the setting says now.
    {"racing", "more laps", {ended}, "finished"},
    {"racing a ghost", "stop", {"Stopped ghost."}, "racing"},
    {"racing a ghost", "blank entry", {"No Ghost found  ."}, "racing"},
    {"racing a ghost", "challenge", {already}, "racing a ghost"},
    {"racing a ghost", "respawn", {respawned}, "idle"},
    {"finish seen", "record", {already}, "finish seen"},
    {"finish seen", "car lost", {"No Player Found.", ended}, "finished"},
    {"finish seen", "map load", {mapLoaded}, "idle"},
    // Taken before its finish, but written to its file already: nothing of it was lost.
    {"finish seen", "export, map load", {"Exported to ./tessaro/data/Ghosts/My-PB.ghost."}, "idle"},
    {"finished", "record", {resetCounter}, "finished"},
    // A refused command costs no finished run: it is still exported.
    {"finished", "record, export", {resetCounter, "Exported to ./tessaro/data/Ghosts/My-PB.ghost."}, "finished"},
    {"finished", "challenge", {already}, "finished"},
    {"finished", "reset ball, challenge", {already}, "finished"},
    // Written as it stands at the line; the finish follows on its tick, and automatic export writes it again.
    {"finish seen", "export", {"Exported to ./tessaro/data/Ghosts/My-PB.ghost."}, "finish seen"},
    {"finish seen",
     "auto export, export",
     {"Exported to ./tessaro/data/Ghosts/My-PB.ghost.", ended, "Exported to ./tessaro/data/Ghosts/My-PB.ghost."},
     "finished"},
    {"armed", "autorecord on, off", {noGhost, switchedOff, recording}, "armed"},
    {"finished", "respawn", {}, "idle"},
    {"finished", "map load", {}, "idle"},
    {"finished", "switch off", {}, "finished"},
};

INSTANTIATE_TEST_SUITE_P(PhaseByEvent, RunLifeTable, ::testing::ValuesIn(rows));

}  // namespace
