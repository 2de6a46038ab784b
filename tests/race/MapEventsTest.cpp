// Map loads, player spawns and automatic recording: the run reset in the middle of a race, the 0.2 s and
// 0.1 s delays, the lap counter that must read -1, and the ghost path that decides challenge or plain.
#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/Values.h"
#include "plugin/Lumaro.h"
#include "race/RaceFixture.h"
#include "sim/Game.h"
#include "support/PluginHarness.h"

namespace {

using Lines = std::vector<std::string>;

class MapEventsTest : public RaceTest {
protected:
  // Automatic recording on, with the ghost path given and a ghost loaded (choosing the path reloads the
  // ghost, so it is loaded after); the first recording is armed 0.1 s later.
  void autoRecord(const std::string& ghostPath) {
    if (ghostPath != "none") host.run("lm_ghostfilepath \"" + ghostPath + "\"");
    loadGhost();
    lines();
    host.run("lm_autorecord 1");
  }
  void armAndStart() {
    game().runFor(0.15);
    ASSERT_EQ(raceState(), "armed");
    game().crossStartLine();
    game().tick();
    ASSERT_EQ(raceState(), "racing");
    game().runTicks(3);
    lines();
  }
};

TEST_F(MapEventsTest, AMapLoadMidRaceResetsTheRun) {
  startRace();
  game().runTicks(3);
  lines();
  plugin().isPlaying = true;
  const auto from = mark();
  game().loadMap(sim::workshopMap("Speedway"));
  EXPECT_EQ(raceState(), "idle");
  EXPECT_TRUE(frames().empty());
  EXPECT_FALSE(plugin().isPlaying);
  EXPECT_EQ(timersSetSince(from, "0.1"), 1) << "the settings page, 0.1 s later";
  EXPECT_EQ(timersSetSince(from, "0.2"), 1) << "the spawn's automatic-recording check";

  // The watcher's and the sampler's pending ticks belong to the ended run: silent, nothing appended, and
  // no second reset that would also end a run armed on the new map meanwhile.
  host.run("lm_record");
  lines();
  game().tick();
  EXPECT_TRUE(lines().empty());
  EXPECT_EQ(raceState(), "armed");
  EXPECT_EQ(game().pendingTimers(0.001f), 1u) << "the new run's watcher alone";
  host.run("lm_isrecording 0");
  game().runFor(0.3);
  EXPECT_EQ(game().pendingTimers(), 0u);
  EXPECT_EQ(raceState(), "idle");
  EXPECT_EQ(lines(), Lines{"Recording was switched off. The run was not recorded."});
}

TEST_F(MapEventsTest, WithAutoRecordOffASpawnLeavesThePluginIdleAfterTwoTenthsOfASecond) {
  startRace();
  game().runTicks(3);
  lines();
  game().fireEvent(sim::playerSpawnEvent);
  EXPECT_EQ(raceState(), "idle") << "the dropped run leaves no race under way";
  game().runFor(0.21);
  EXPECT_EQ(raceState(), "idle");
  EXPECT_EQ(game().pendingTimers(), 0u);
  EXPECT_EQ(lines(), Lines{"The car respawned. The run was not recorded."}) << "said once, at the spawn";

  // The challenge command gets past its lap guard again; it still needs the counter back at -1.
  loadGhost();
  host.run("lm_challenge");
  EXPECT_EQ(lines(), Lines{"Reset the lap counter (Reset Ball or restart the map)."});
  game().resetBall();
  host.run("lm_challenge");
  EXPECT_EQ(lines(), Lines{"Challenging starts and ends when you cross the finish line."});
}

TEST_F(MapEventsTest, ASpawnMidRaceEndsTheRecordingForGoodWhenTheCounterIsNotBack) {
  autoRecord(" ");
  armAndStart();
  game().fireEvent(sim::playerSpawnEvent);
  game().runFor(0.5);
  EXPECT_EQ(raceState(), "idle") << "LapNb still reads 0: nothing is re-armed, and no race is left under way";
  EXPECT_EQ(lines(), Lines{"The car respawned. The run was not recorded."});
  EXPECT_EQ(game().pendingTimers(), 0u);
}

TEST_F(MapEventsTest, ARespawnWithAutoRecordReArmsAfterBothDelays) {
  autoRecord(" ");
  armAndStart();
  const auto from = mark();
  game().respawn();  // the ball reset puts LapNb back to -1
  game().runFor(0.21);
  EXPECT_EQ(raceState(), "idle");
  EXPECT_EQ(timersSetSince(from, "0.1"), 1) << "the record command, 0.1 s later";
  EXPECT_EQ(lines(), Lines{"The car respawned. The run was not recorded."});
  game().runFor(0.08);
  EXPECT_TRUE(lines().empty());
  game().runFor(0.02);
  EXPECT_EQ(lines(), Lines{"Recording starts and ends when you cross the finish line."});
  EXPECT_EQ(raceState(), "armed");
}

TEST_F(MapEventsTest, AutoRecordIsAChallengeWhenAGhostIsChosenAndLoaded) {
  autoRecord("Ghost.ghost");
  EXPECT_TRUE(plugin().isChallenging);
  game().runFor(0.09);
  EXPECT_TRUE(lines().empty());
  game().runFor(0.02);
  EXPECT_EQ(lines(), Lines{"Challenging starts and ends when you cross the finish line."});
  game().crossStartLine();
  game().tick();
  EXPECT_EQ(lines(), Lines{"Race started against a ghost."});
}

TEST_F(MapEventsTest, AutoRecordIsAPlainRecordingWhenTheGhostPathIsOneBlank) {
  autoRecord(" ");
  EXPECT_EQ(host.cvar("lm_ghostfilepath"), " ");
  lines();
  game().runFor(0.11);
  EXPECT_EQ(lines(), Lines{"Recording starts and ends when you cross the finish line."});
  game().crossStartLine();
  game().tick();
  EXPECT_EQ(lines(), Lines{"Race started."});
}

TEST_F(MapEventsTest, OneBlankLeavesAnEarlierChallengeFlagSet) {
  plugin().isChallenging = true;
  autoRecord(" ");
  lines();
  game().runFor(0.11);
  EXPECT_EQ(lines(), Lines{"Challenging starts and ends when you cross the finish line."});
}

TEST_F(MapEventsTest, SwitchingAutoRecordOffMidRaceEndsTheRecording) {
  autoRecord(" ");
  armAndStart();
  host.run("lm_autorecord 0");
  EXPECT_EQ(raceState(), "idle");
  game().crossStartLine();
  game().runFor(0.5);
  EXPECT_EQ(game().pendingTimers(), 0u);
  // The pending ticks belong to the ended run: no race is started, no frame appended, nothing to export.
  EXPECT_EQ(raceState(), "idle");
  EXPECT_TRUE(runFrames().empty());
  EXPECT_TRUE(frames().empty());
  for (const std::string& line : lines()) {
    EXPECT_EQ(line.rfind("Race ended", 0), std::string::npos) << line;
    EXPECT_EQ(line.rfind("Race started", 0), std::string::npos) << line;
  }
}

TEST_F(MapEventsTest, WithoutAMainSequenceSwitchingAutoRecordEitherWayFailsAndResets) {
  sim::MapDefinition map = sim::workshopMap("Menu-like");
  map.hasMainSequence = false;
  map.freeplay = false;
  loadMap(map);
  for (const char* line : {"lm_autorecord 1", "lm_autorecord 0"}) {
    SCOPED_TRACE(line);
    const auto from = leaveRunState();
    host.run(line);
    EXPECT_EQ(lines(), Lines{"No Kismet found for this map, are you in a workshop map that supports Lumaro?"});
    expectRunReset(from);
  }
}

TEST_F(MapEventsTest, NothingIsCancelledSoASecondRecordFindsTheFirstArmed) {
  autoRecord(" ");
  game().runFor(0.15);
  lines();
  game().fireEvent(sim::playerSpawnEvent);
  game().runFor(0.05);
  game().fireEvent(sim::playerSpawnEvent);
  game().runFor(0.35);
  // The first spawn drops the run armed at the start; the second finds none to drop, and its automatic
  // recording finds the run the first one armed: armed again, and told so.
  EXPECT_EQ(lines(), (Lines{"The car respawned. The run was not recorded.",
                            "Recording starts and ends when you cross the finish line.",
                            "Recording starts and ends when you cross the finish line."}));
  EXPECT_EQ(raceState(), "armed");
}

TEST_F(MapEventsTest, AutoRecordStopsTheGhostBeforeArming) {
  // With no ghost loaded, stopping it says so and resets the run; the recording is armed all the same, and
  // with no ghost to race (the default "none" names no file) it is a plain one.
  host.run("lm_autorecord 1");
  EXPECT_EQ(lines(), Lines{"No Ghost loaded."});
  game().runFor(0.11);
  EXPECT_EQ(lines(), Lines{"Recording starts and ends when you cross the finish line."});
  game().crossStartLine();
  game().tick();
  EXPECT_EQ(lines(), Lines{"Race started."});

  // With a ghost loaded, the ghost car is parked at the origin when automatic recording re-arms.
  host.run("lm_autorecord 0");
  game().runFor(0.5);
  loadGhost();
  game().resetBall();
  const std::size_t writesBefore = game().kismetWrites().size();
  host.run("lm_autorecord 1");
  const auto& writes = game().kismetWrites();
  ASSERT_EQ(writes.size(), writesBefore + 2);
  EXPECT_EQ(writes[writesBefore].variable, "GhostPosition");
  EXPECT_EQ(writes[writesBefore + 1].variable, "GhostRotation");
  for (std::size_t i = writesBefore; i < writes.size(); ++i) {
    EXPECT_EQ(writes[i].vectorValue.X, 0.0f);
    EXPECT_EQ(writes[i].vectorValue.Y, 0.0f);
    EXPECT_EQ(writes[i].vectorValue.Z, 0.0f);
  }
}

}  // namespace
