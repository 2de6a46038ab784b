// A run and its timer chains share one identity: whatever ends the run leaves its pending ticks with
// nothing to do, one lap watcher and one sampler at most are alive, and only a finished run, frozen at its
// finish, can be exported. Each case is a way players met a stale tick, in the same game tick as the
// command that should have ended it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "library/ghostfile/GhostFrame.h"
#include "plugin/Lumaro.h"
#include "race/RaceFixture.h"
#include "race/RaceTime.h"
#include "sim/Game.h"
#include "support/PluginHarness.h"

namespace {

using Lines = std::vector<std::string>;

class RunIdentityTest : public RaceTest {
protected:
  // The chains alive after a tick: a lap watcher (or the finish it scheduled) and a run sampler.
  std::size_t chainsAlive() { return game().pendingTimers(0.001f); }

  // Ticks until the finish is reported; returns what was logged on the way.
  Lines runToFinish() {
    Lines logged;
    for (int tick = 0; tick < 100; ++tick) {
      game().tick();
      for (const std::string& line : lines()) logged.push_back(line);
      if (raceState() == "finished") break;
    }
    return logged;
  }

  static long racesEnded(const Lines& logged) {
    return std::count_if(logged.begin(), logged.end(),
                         [](const std::string& line) { return line.rfind("Race ended", 0) == 0; });
  }

  bool pageOffersExport() {
    const auto& page = game().shownPage();
    return page && std::find(page->begin(), page->end(), "0|Export Ghost to file|lm_export") != page->end();
  }

  std::filesystem::path exportedFile() { return game().ghostFolder() / "My-PB.ghost"; }

  // Nothing to export: no frames, no export button on the page, and lm_export refuses and writes nothing.
  void expectNothingToExport() {
    EXPECT_TRUE(frames().empty());
    EXPECT_TRUE(runFrames().empty());
    EXPECT_FALSE(pageOffersExport());
    host.run("lm_export");
    EXPECT_EQ(lines(), Lines{"No Ghost to export."});
    EXPECT_FALSE(std::filesystem::exists(exportedFile()));
  }

  // Crosses the line of an armed run and runs the tick whose poll sees it; returns the run's start.
  std::int64_t startRaceFromArmed() {
    game().crossStartLine();
    game().tick();
    return game().now();
  }
};

TEST_F(RunIdentityTest, AChallengeWhileArmedTurnsTheArmedRunIntoAChallenge) {
  loadGhost();
  host.run("lm_autoexport 1");
  host.run("lm_record");
  lines();
  const auto from = mark();
  for (int click = 0; click < 3; ++click) host.run("lm_challenge");
  EXPECT_EQ(lines(), Lines(3, "Challenging starts and ends when you cross the finish line."));
  EXPECT_TRUE(plugin().isChallenging);
  const auto& calls = game().hostCalls();
  EXPECT_EQ(std::count(calls.begin() + static_cast<std::ptrdiff_t>(from), calls.end(),
                       "executeCommand lm_isrecording 1 | log true"),
            0)
      << "the armed run is not armed again";
  EXPECT_EQ(timersSetSince(from, "0.001"), 0) << "no second watcher is started";
  game().tick();
  EXPECT_EQ(chainsAlive(), 1u) << "one lap watcher";

  game().crossStartLine();
  game().tick();
  EXPECT_EQ(lines(), Lines{"Race started against a ghost."});
  EXPECT_TRUE(plugin().isPlaying);
  game().crossStartLine();
  const Lines logged = runToFinish();
  EXPECT_EQ(racesEnded(logged), 1);
  EXPECT_EQ(std::count(logged.begin(), logged.end(), "Exported to ./tessaro/data/Ghosts/My-PB.ghost."), 1);
}

TEST_F(RunIdentityTest, AResetLeavesThePendingSampleNothingToAppend) {
  startRace();
  game().runTicks(3);
  lines();
  // The stop command without a loaded ghost resets the run; the sampler's tick is already pending.
  host.run("lm_stop");
  EXPECT_EQ(lines(), (Lines{"No Ghost loaded.", "Recording was switched off. The run was not recorded."}));
  game().runFor(0.2);
  expectNothingToExport();
}

TEST_F(RunIdentityTest, AResetAndARecordInOneTickLeaveOnlyTheNewRunsChains) {
  startRace();
  game().runTicks(3);
  // A ball reset, the stop command (which resets the run) and a new recording, between two ticks.
  game().resetBall();
  host.run("lm_stop");
  host.run("lm_record");
  lines();
  game().tick();
  EXPECT_EQ(chainsAlive(), 1u) << "the new run's watcher alone";
  EXPECT_EQ(raceState(), "armed");
  EXPECT_TRUE(runFrames().empty()) << "the old sampler appended nothing";

  const std::int64_t start = startRaceFromArmed();
  EXPECT_EQ(chainsAlive(), 2u) << "one watcher, one sampler";
  game().crossStartLine();
  const Lines logged = runToFinish();
  EXPECT_EQ(racesEnded(logged), 1);
  ASSERT_FALSE(frames().empty());
  EXPECT_EQ(frames().front().time, 0);
  EXPECT_TRUE(std::is_sorted(frames().begin(), frames().end(),
                             [](const GhostFrame& a, const GhostFrame& b) { return a.time < b.time; }));
  EXPECT_EQ(frames().back().time, expectedMilliseconds(game().now() - start));
}

TEST_F(RunIdentityTest, ARespawnThenARecordAtOnceLeavesNoStaleFrames) {
  startRace();
  game().runTicks(3);
  game().respawn();
  host.run("lm_record");
  game().runTicks(5);
  EXPECT_TRUE(runFrames().empty());
  EXPECT_EQ(chainsAlive(), 1u);
}

TEST_F(RunIdentityTest, ARunEndedByARespawnIsNotExportable) {
  startRace();
  game().runTicks(30);
  game().respawn();
  game().runFor(0.3);
  lines();
  EXPECT_EQ(raceState(), "idle");
  expectNothingToExport();
}

TEST_F(RunIdentityTest, AFinishedRunStaysExportableThroughLaterSpawns) {
  startRace();
  game().crossStartLine();
  runToFinish();
  const std::vector<GhostFrame> finished = frames();
  ASSERT_FALSE(finished.empty());
  game().respawn();
  game().runFor(0.3);
  game().fireEvent(sim::playerSpawnEvent);
  game().runFor(0.3);
  EXPECT_EQ(frames(), finished);
  EXPECT_TRUE(pageOffersExport());
}

// The finish has been seen and its handler is due on the next tick when a spawn (a map that puts the car
// back at the start as it crosses the line) or the console turns recording off: the race was finished, and
// it is reported and kept as such; only the sampling ends. The run reset alone drops it.
TEST_F(RunIdentityTest, ARaceWhoseFinishWasSeenIsReportedThoughASpawnComesFirst) {
  for (const char* endedBy : {"spawn", "console"}) {
    SCOPED_TRACE(endedBy);
    startRace();
    game().runTicks(3);
    game().crossStartLine();
    game().tick();
    lines();
    ASSERT_EQ(game().pendingTimers(0.001f), 2u) << "the sampler and the finish are due";
    if (std::string(endedBy) == "spawn") {
      game().respawn();
    } else {
      host.run("lm_isrecording 0");
    }
    game().tick();
    const Lines logged = lines();
    EXPECT_EQ(racesEnded(logged), 1);
    ASSERT_FALSE(frames().empty());
    EXPECT_EQ(logged.front(), "Race ended in " + formatRaceTime(frames().back().time) + ".");
    EXPECT_TRUE(pageOffersExport());
    game().runFor(0.5);
    EXPECT_EQ(chainsAlive(), 0u);
    EXPECT_FALSE(frames().empty());
  }
}

TEST_F(RunIdentityTest, AResetBetweenTheFinishSeenAndItsHandlerDropsTheRace) {
  startRace();
  game().runTicks(3);
  game().crossStartLine();
  game().tick();
  lines();
  host.plugin().runReset();
  game().runFor(0.5);
  EXPECT_EQ(racesEnded(lines()), 0);
  expectNothingToExport();
}

TEST_F(RunIdentityTest, AutomaticRecordingLeavesARaceUnderWayAlone) {
  host.run("lm_ghostfilepath Ghost.ghost");
  loadGhost();
  startRace();
  game().runTicks(3);
  lines();
  // A ball reset, then automatic recording switched on: the counter reads -1, but the race goes on,
  // neither restarted nor armed again.
  game().resetBall();
  host.run("lm_autorecord 1");
  game().runFor(0.15);
  game().crossStartLine();
  game().tick();
  EXPECT_EQ(lines(), Lines{});
  const std::size_t framesBefore = runFrames().size();
  EXPECT_GT(framesBefore, 20u) << "the frames since the first start are kept";
  game().runTicks(5);
  EXPECT_EQ(runFrames().size(), framesBefore + 5) << "one frame a tick: one sampler";
  EXPECT_EQ(chainsAlive(), 2u) << "a watcher and a sampler";
}

TEST_F(RunIdentityTest, TheConsoleSwitchEndsAnArmedRunBeforeAChallengeCanJoinIt) {
  loadGhost();
  host.run("lm_record");
  host.run("lm_isrecording 0");
  lines();
  // Not armed any more: the challenge tells the ended run's end, then arms a run of its own.
  host.run("lm_challenge");
  EXPECT_EQ(lines(), (Lines{"Recording was switched off. The run was not recorded.",
                            "Challenging starts and ends when you cross the finish line."}));
  EXPECT_EQ(raceState(), "armed");
  game().tick();
  EXPECT_EQ(chainsAlive(), 1u);
}

}  // namespace
