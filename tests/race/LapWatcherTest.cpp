// The lap watcher, walked through the race states idle, armed, racing, finishing and finished by the map's
// lap counter, the console and the game.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/Kismet.h"
#include "host/Values.h"
#include "plugin/Lumaro.h"
#include "race/RaceFixture.h"
#include "sim/Game.h"
#include "support/PluginHarness.h"

namespace {

using Lines = std::vector<std::string>;

class LapWatcherTest : public RaceTest {};

TEST_F(LapWatcherTest, ACounterJumpingToTheLastLapStartsAndFinishesOnConsecutivePolls) {
  host.run("lm_record");
  lines();
  host.setLap(1);
  const std::int64_t start = ticks({83'333});
  EXPECT_EQ(lines(), Lines{"Race started."});
  EXPECT_EQ(raceState(), "racing");
  EXPECT_EQ(plugin().currentLap, 0) << "the race counts from 0 whatever the counter jumped to";

  // The next poll sees the finish and hands over to the finish handler; the sampler goes on.
  ticks({83'333});
  EXPECT_TRUE(lines().empty());
  EXPECT_EQ(raceState(), "racing");
  EXPECT_EQ(game().pendingTimers(), 2u) << "the sampler and the finish, no further poll";

  // The sampler runs before the finish handler in the same tick, so its frame is the one reported; the
  // finish freezes the run with it.
  const std::int64_t finish = ticks({83'333});
  EXPECT_EQ(lines(), Lines{"Race ended in 00:00:016."});
  EXPECT_EQ(expectedMilliseconds(finish - start), 16);
  EXPECT_EQ(raceState(), "finished");
  ASSERT_EQ(frames().size(), 3u);
  EXPECT_EQ(frames().back().time, 16);

  // The sample already scheduled belongs to a finished run: it appends nothing and ends the chain.
  EXPECT_EQ(game().pendingTimers(), 1u);
  ticks({83'333});
  EXPECT_EQ(game().pendingTimers(), 0u);
  EXPECT_EQ(frames().size(), 3u);
  EXPECT_EQ(frames().back().time, 16) << "the reported time stays the run's time";
  game().runFor(1.0);
  EXPECT_EQ(frames().size(), 3u);
  EXPECT_TRUE(lines().empty());
}

TEST_F(LapWatcherTest, WithThreeLapsTheCrossingsToOneAndTwoAreIgnored) {
  host.run("lm_lapNbr 3");
  startRace();
  lines();
  for (int crossing = 1; crossing <= 2; ++crossing) {
    game().crossStartLine();
    game().runTicks(5);
    EXPECT_EQ(lap(), crossing);
    EXPECT_TRUE(lines().empty());
    EXPECT_EQ(raceState(), "racing");
  }
  game().crossStartLine();
  game().runTicks(2);
  const Lines ended = lines();
  ASSERT_EQ(ended.size(), 1u);
  EXPECT_EQ(ended[0].rfind("Race ended in ", 0), 0u);
  EXPECT_EQ(raceState(), "finished");
}

TEST_F(LapWatcherTest, OnlyACounterEqualToTheLapCountFinishes) {
  host.run("lm_lapNbr 2");
  startRace();
  lines();
  host.setLap(3);  // past the lap count without ever equalling it
  game().runTicks(5);
  EXPECT_TRUE(lines().empty());
  EXPECT_EQ(raceState(), "racing");
  host.setLap(2);
  game().runTicks(2);
  EXPECT_EQ(lines().size(), 1u);
  EXPECT_EQ(raceState(), "finished");
}

TEST_F(LapWatcherTest, ABallResetMidRaceNeitherEndsNorRestartsTheRace) {
  const std::int64_t start = startRace();
  lines();
  game().runTicks(10);
  game().resetBall();
  game().runTicks(10);
  EXPECT_EQ(lap(), -1);
  EXPECT_TRUE(lines().empty());
  EXPECT_EQ(raceState(), "racing");
  EXPECT_EQ(runFrames().size(), 21u) << "the sampler kept sampling";
  EXPECT_EQ(runFrames().back().time, expectedMilliseconds(game().now() - start)) << "the run kept its start";

  // Back at 0 the counter equals currentLap; at 1 the race ends, timed from the first start.
  game().crossStartLine();
  game().runTicks(3);
  EXPECT_TRUE(lines().empty());
  game().crossStartLine();
  game().tick();
  const std::int64_t finish = ticks({83'333});
  EXPECT_EQ(expectedMilliseconds(finish - start), 208);
  EXPECT_EQ(lines(), Lines{"Race ended in 00:00:208."});
}

TEST_F(LapWatcherTest, TurningRecordingOffFromTheConsoleWhileArmedEndsTheWatcher) {
  host.run("lm_record");
  lines();
  const auto from = mark();
  host.run("lm_isrecording 0");
  EXPECT_EQ(game().pendingTimers(), 1u) << "nothing is cancelled";
  game().tick();
  EXPECT_EQ(game().pendingTimers(), 0u);
  EXPECT_EQ(timersSetSince(from, "0.001"), 0);
  EXPECT_EQ(raceState(), "idle");

  game().crossStartLine();
  game().runFor(0.5);
  EXPECT_EQ(lines(), Lines{"Recording was switched off. The run was not recorded."}) << "once";
  EXPECT_TRUE(frames().empty());
}

TEST_F(LapWatcherTest, TurningRecordingOffWhileRacingEndsTheRunUnfinished) {
  startRace();
  game().runTicks(2);
  lines();
  host.run("lm_isrecording 0");
  game().tick();
  EXPECT_EQ(game().pendingTimers(), 0u) << "both chains noticed the switch at their next tick";
  EXPECT_EQ(raceState(), "idle") << "no race is left for the commands to call under way";
  EXPECT_TRUE(runFrames().empty()) << "an unfinished run is dropped";
  EXPECT_TRUE(frames().empty()) << "and leaves nothing to export";

  game().crossStartLine();
  game().runFor(0.5);
  EXPECT_EQ(lines(), Lines{"Recording was switched off. The run was not recorded."}) << "and no finish after";
  host.run("lm_export");
  EXPECT_EQ(lines(), Lines{"No Ghost to export."});
}

TEST_F(LapWatcherTest, LeavingFreeplayMidRaceEndsTheRaceWithTheReset) {
  startRace();
  game().runTicks(2);
  lines();
  const auto from = mark();
  game().setFreeplay(false);
  game().tick();
  EXPECT_EQ(lines(), Lines{"Make sure you're in a workshop map."});
  EXPECT_EQ(raceState(), "idle");
  EXPECT_EQ(timersSetSince(from, "0.1"), 1);
  game().runFor(0.5);
  EXPECT_EQ(game().pendingTimers(), 0u);
  EXPECT_TRUE(lines().empty());
}

TEST_F(LapWatcherTest, AnEmptyHeldCounterIsANoKismetFailure) {
  const auto from = leaveRunState();
  plugin().watchLap(SequenceVariableWrapper(0));
  EXPECT_EQ(lines(), Lines{"No Kismet found for this map, are you in a workshop map that supports Lumaro?"});
  expectRunReset(from);
  EXPECT_EQ(timersSetSince(from, "0.001"), 0);
}

TEST_F(LapWatcherTest, AChallengeStartsTheGhostAtTheRaceStart) {
  loadGhost();
  host.run("lm_challenge");
  game().crossStartLine();
  const std::size_t writesBefore = game().kismetWrites().size();
  const std::int64_t start = ticks({83'333});
  EXPECT_TRUE(plugin().isPlaying);
  EXPECT_EQ(plugin().playbackStart, start) << "the ghost's time zero is the race start";
  const auto& writes = game().kismetWrites();
  ASSERT_GE(writes.size(), writesBefore + 2);
  EXPECT_EQ(writes[writesBefore].time, start);
  EXPECT_EQ(writes[writesBefore].variable, "GhostPosition");
  EXPECT_EQ(writes[writesBefore].vectorValue.X, 10.0f);
  EXPECT_EQ(writes[writesBefore].vectorValue.Y, 20.0f);
  EXPECT_EQ(writes[writesBefore].vectorValue.Z, 30.0f);
  EXPECT_EQ(writes[writesBefore + 1].variable, "GhostRotation");
}

}  // namespace
