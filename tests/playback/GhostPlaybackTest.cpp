// Ghost playback on the stand-in host: what the tick chain writes, when it ends, how pauses, restarts and
// stops act on it, and what each refusal says. Ghosts are set directly; time moves only by game ticks.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "host/Values.h"
#include "library/ghostfile/GhostFrame.h"
#include "playback/GhostCarTrace.h"
#include "playback/GhostFrameOrder.h"
#include "playback/HandMadeFrames.h"
#include "plugin/Lumaro.h"
#include "sim/Game.h"
#include "sim/KismetMap.h"
#include "support/PluginHarness.h"

namespace {

constexpr std::int64_t ticksPerMs = 10'000;

// A frame every 10 ms whose location X is its time: the ghost's X then reads as its playback time.
std::vector<GhostFrame> clockGhost(std::int32_t lengthMs) {
  std::vector<GhostFrame> frames;
  for (std::int32_t time = 0; time <= lengthMs; time += 10) frames.push_back(frameAt(time, static_cast<float>(time)));
  return frames;
}

std::size_t count(const std::vector<std::string>& lines, const std::string& line) {
  return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

bool samePlace(const Vector& a, const Vector& b) { return a.X == b.X && a.Y == b.Y && a.Z == b.Z; }

class GhostPlaybackTest : public ::testing::Test {
protected:
  PluginHarness host;
  GhostCarTrace trace{host.game()};

  void SetUp() override {
    host.game().loadMap(sim::workshopMap("Speedway"));
    host.game().runFor(0.5);  // the load's colour write and settings page
    ASSERT_EQ(host.game().pendingTimers(), 0u);
    host.newLines();
    trace.newPlacements();
  }

  void play(std::vector<GhostFrame> frames) {
    host.plugin().ghostFrames = std::move(frames);
    host.run("lm_play");
  }
  void advanceMs(std::int64_t ms) { host.game().tick(ms * ticksPerMs); }
  // Speedway with a GhostRotation that is a float: the ghost car cannot be placed.
  void loadMapWhoseRotationIsNotAVector() {
    sim::MapDefinition map = sim::workshopMap("Speedway");
    for (auto& variable : map.variables) {
      if (variable.name == "GhostRotation") variable.type = sim::VariableType::Float;
    }
    host.game().loadMap(map);
    host.game().runFor(0.5);
    host.newLines();
  }
  int timeoutsOf(const std::string& delay) {
    return static_cast<int>(
        std::count(host.game().hostCalls().begin(), host.game().hostCalls().end(), "SetTimeout " + delay));
  }
};

TEST_F(GhostPlaybackTest, EachTickPlacesPositionThenRotationAndRearmsAfterAMillisecond) {
  GhostFrame first;
  first.pitch = 1, first.yaw = 2, first.roll = 3, first.x = 4, first.y = 5, first.z = 6, first.time = 0;
  play({first, frameAt(100, 10), frameAt(200, 20)});
  const auto placements = trace.newPlacements();
  ASSERT_EQ(placements.size(), 1u);  // the first tick runs inside lm_play
  EXPECT_EQ(placements[0].time, host.game().now());
  EXPECT_TRUE(samePlace(placements[0].position, {4, 5, 6}));
  EXPECT_TRUE(samePlace(placements[0].rotation, {1, 2, 3}));
  EXPECT_EQ(host.game().hostCalls().back(), "SetTimeout 0.001");
  EXPECT_TRUE(host.plugin().isPlaying);
  EXPECT_EQ(host.plugin().playbackStart, host.game().now());
}

TEST_F(GhostPlaybackTest, TheGhostWaitsAtItsFirstFrameUntilItsTime) {
  play({frameAt(40, 1, 7), frameAt(140, 2), frameAt(240, 3)});
  for (int ms = 1; ms < 40; ++ms) advanceMs(1);
  const auto placements = trace.newPlacements();
  ASSERT_EQ(placements.size(), 40u);  // elapsed 0 to 39
  for (const auto& placement : placements) {
    EXPECT_EQ(placement.position.X, 1.0f);
    EXPECT_EQ(placement.rotation.Y, 7.0f);
  }
  advanceMs(2);
  EXPECT_EQ(trace.newPlacements().at(0).position.X, (2.0f - 1.0f) * 1.0f / 100.0f + 1.0f);
}

TEST_F(GhostPlaybackTest, ATwoFrameGhostEndsOnItsFirstTickWithoutAWord) {
  play({frameAt(0, 1), frameAt(100, 2)});
  EXPECT_TRUE(trace.newPlacements().empty());
  EXPECT_FALSE(host.plugin().isPlaying);
  EXPECT_EQ(host.game().pendingTimers(), 0u);
  EXPECT_TRUE(host.newLines().empty());
}

TEST_F(GhostPlaybackTest, ThreeFramesHalfwayAtTheMiddleFrameAndEndedInTheLastPair) {
  const GhostFrame last = frameAt(200, 30, -3);
  play({frameAt(0, 0, 32000), frameAt(100, 10, -32000), last});
  advanceMs(50);
  auto placements = trace.newPlacements();
  ASSERT_EQ(placements.size(), 2u);
  EXPECT_EQ(placements[1].position.X, 5.0f);
  EXPECT_EQ(placements[1].rotation.Y, 0.0f);  // through zero, not around the turn
  advanceMs(50);
  placements = trace.newPlacements();
  ASSERT_EQ(placements.size(), 1u);
  EXPECT_EQ(placements[0].position.X, 10.0f);
  EXPECT_EQ(placements[0].rotation.Y, -32000.0f);
  advanceMs(50);
  EXPECT_TRUE(trace.newPlacements().empty());
  EXPECT_FALSE(host.plugin().isPlaying);
  EXPECT_EQ(host.game().pendingTimers(), 0u);
  host.game().runFor(0.1);
  EXPECT_TRUE(host.newLines().empty());
}

TEST_F(GhostPlaybackTest, ATickPastTheLastFrameLeavesTheGhostThereUntilStopped) {
  play({frameAt(0, 0), frameAt(100, 10), frameAt(200, 30)});
  advanceMs(250);
  for (int i = 0; i < 5; ++i) advanceMs(1);
  auto placements = trace.newPlacements();
  ASSERT_EQ(placements.size(), 7u);
  for (std::size_t i = 1; i < placements.size(); ++i) EXPECT_EQ(placements[i].position.X, 30.0f);
  EXPECT_TRUE(host.plugin().isPlaying);
  EXPECT_TRUE(host.newLines().empty());

  host.run("lm_stop");
  placements = trace.newPlacements();
  ASSERT_EQ(placements.size(), 1u);  // parked at once
  EXPECT_TRUE(samePlace(placements[0].position, {0, 0, 0}));
  EXPECT_TRUE(samePlace(placements[0].rotation, {0, 0, 0}));
  advanceMs(1);
  EXPECT_EQ(host.newLines(), std::vector<std::string>{"Stopped ghost."});
  host.game().runFor(0.2);
  EXPECT_TRUE(host.newLines().empty());
  EXPECT_TRUE(trace.newPlacements().empty());
  EXPECT_EQ(host.game().pendingTimers(), 0u);
}

TEST_F(GhostPlaybackTest, APauseMovesTheStartByEachTickCutToWholeMilliseconds) {
  // Game ticks of 1/120 s: 8.3333 ms each, so every paused tick moves the start by 8 ms, not 8.3333.
  play(clockGhost(10000));
  host.game().runTicks(60);
  const float before = trace.newPlacements().back().position.X;
  const std::int64_t startBefore = host.plugin().playbackStart;
  const std::int64_t tick = host.game().tickLength();
  ASSERT_EQ(tick, 83333);

  host.game().setPaused(true);
  host.game().runTicks(360);  // three seconds
  EXPECT_TRUE(trace.newPlacements().empty());
  EXPECT_EQ(host.plugin().playbackStart, startBefore + std::int64_t{360} * 8 * ticksPerMs);

  host.game().setPaused(false);
  host.game().runTicks(1);
  // The ghost goes on from where it stood. Before the pause: 60 ticks, 499.998 ms, so 499. After it: 421
  // ticks, 3508.3193 ms, less the 2880 ms taken out, 628.3193 ms, so 628; the dropped thirds of a
  // millisecond and one tick are all it moved on.
  EXPECT_EQ(before, 499.0f);
  EXPECT_EQ(trace.newPlacements().back().position.X, 628.0f);
}

TEST_F(GhostPlaybackTest, PlayWhilePlayingJumpsBackWithoutASecondChain) {
  play(clockGhost(10000));
  for (int i = 0; i < 300; ++i) advanceMs(1);
  EXPECT_EQ(trace.newPlacements().back().position.X, 300.0f);
  ASSERT_EQ(host.game().pendingTimers(), 1u);
  const int rearms = timeoutsOf("0.001");

  host.run("lm_play");
  EXPECT_EQ(host.plugin().playbackStart, host.game().now());
  EXPECT_TRUE(trace.newPlacements().empty());  // nothing written until the chain's next tick
  EXPECT_EQ(host.game().pendingTimers(), 1u);
  EXPECT_EQ(timeoutsOf("0.001"), rearms);

  for (int i = 0; i < 10; ++i) advanceMs(1);
  const auto placements = trace.newPlacements();
  ASSERT_EQ(placements.size(), 10u);  // one placement a tick: a single chain
  EXPECT_EQ(placements[0].position.X, 1.0f);
  EXPECT_EQ(placements[9].position.X, 10.0f);
  EXPECT_EQ(host.game().pendingTimers(), 1u);
}

TEST_F(GhostPlaybackTest, StopWhileIdleParksTheGhostCarAndSaysNothing) {
  host.plugin().ghostFrames = clockGhost(100);
  host.variable("GhostPosition", sim::VariableType::Vector).vectorValue = {5, 6, 7};
  host.variable("GhostRotation", sim::VariableType::Vector).vectorValue = {8, 9, 10};
  host.run("lm_stop");
  const auto placements = trace.newPlacements();
  ASSERT_EQ(placements.size(), 1u);
  EXPECT_TRUE(samePlace(placements[0].position, {0, 0, 0}));
  EXPECT_TRUE(samePlace(placements[0].rotation, {0, 0, 0}));
  host.game().runFor(0.2);
  EXPECT_TRUE(host.newLines().empty());
  EXPECT_EQ(host.game().pendingTimers(), 0u);
}

TEST_F(GhostPlaybackTest, StopWithoutAGhostSaysSoAndResetsTheRun) {
  host.run("lm_isrecording 1");
  host.plugin().currentLap = 0;
  host.run("lm_stop");
  EXPECT_EQ(host.newLines(), std::vector<std::string>{"No Ghost loaded."});
  EXPECT_EQ(host.cvar("lm_isrecording"), "0");
  EXPECT_EQ(host.plugin().currentLap, -1);
  EXPECT_TRUE(trace.newPlacements().empty());
}

TEST_F(GhostPlaybackTest, AStopTakesEffectAtThePendingTickWithoutAReset) {
  play(clockGhost(10000));
  advanceMs(5);
  host.run("lm_isrecording 1");
  host.plugin().currentLap = 0;
  host.run("lm_stop");
  EXPECT_FALSE(host.plugin().isPlaying);
  host.game().runFor(0.1);
  EXPECT_EQ(host.newLines(), std::vector<std::string>{"Stopped ghost."});
  EXPECT_EQ(host.cvar("lm_isrecording"), "1");
  EXPECT_EQ(host.plugin().currentLap, 0);
  EXPECT_EQ(host.game().pendingTimers(), 0u);
}

TEST_F(GhostPlaybackTest, PlayRefusesWithoutAGhostOrWithoutTheGhostCarsVariables) {
  host.run("lm_isrecording 1");
  host.run("lm_play");  // no ghost loaded
  EXPECT_EQ(host.newLines(), std::vector<std::string>{"No Ghost loaded."});
  EXPECT_EQ(host.cvar("lm_isrecording"), "1");  // no reset
  EXPECT_FALSE(host.plugin().isPlaying);

  // A rotation that is not a vector: nothing starts and nothing is said.
  loadMapWhoseRotationIsNotAVector();
  play(clockGhost(1000));
  EXPECT_FALSE(host.plugin().isPlaying);
  EXPECT_TRUE(host.newLines().empty());
  EXPECT_TRUE(trace.newPlacements().empty());
  EXPECT_EQ(host.game().pendingTimers(), 0u);
}

// The stop clears the playing flag before anything else, so it holds even where the ghost car cannot be
// parked: here a map whose rotation is not a vector, under a playback the plugin believes is running.
TEST_F(GhostPlaybackTest, AStopClearsPlayingFirstEvenWhereTheGhostCarCannotBeParked) {
  loadMapWhoseRotationIsNotAVector();
  host.plugin().ghostFrames = clockGhost(1000);
  host.plugin().isPlaying = true;
  host.run("lm_stop");
  EXPECT_FALSE(host.plugin().isPlaying);
  EXPECT_TRUE(host.newLines().empty());
  EXPECT_TRUE(trace.newPlacements().empty());
}

TEST_F(GhostPlaybackTest, PlayOutsideAWorkshopMapOrWithoutKismetResetsTheRun) {
  host.plugin().ghostFrames = clockGhost(1000);
  host.game().setFreeplay(false);
  host.run("lm_isrecording 1");
  host.run("lm_play");
  EXPECT_EQ(host.newLines(), std::vector<std::string>{"Make sure you're in a workshop map."});
  EXPECT_EQ(host.cvar("lm_isrecording"), "0");

  sim::MapDefinition bare = sim::workshopMap("Bare");
  bare.hasMainSequence = false;
  host.game().loadMap(bare);
  host.game().runFor(0.5);
  host.newLines();
  host.run("lm_isrecording 1");
  host.run("lm_play");
  const auto lines = host.newLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "No Kismet found for this map, are you in a workshop map that supports Lumaro?");
  EXPECT_EQ(host.cvar("lm_isrecording"), "0");
  EXPECT_FALSE(host.plugin().isPlaying);
}

TEST_F(GhostPlaybackTest, TheChainEndsWhenFreeplayEnds) {
  play(clockGhost(10000));
  advanceMs(5);
  host.game().setFreeplay(false);
  host.run("lm_isrecording 1");
  advanceMs(1);
  EXPECT_EQ(host.newLines(), std::vector<std::string>{"Make sure you're in a workshop map."});
  EXPECT_EQ(host.cvar("lm_isrecording"), "0");
  EXPECT_FALSE(host.plugin().isPlaying);
  host.game().runFor(0.2);
  EXPECT_TRUE(host.newLines().empty());
  EXPECT_EQ(host.game().pendingTimers(), 0u);
}

TEST_F(GhostPlaybackTest, AMapLoadEndsTheChainAtItsNextTick) {
  play(clockGhost(10000));
  advanceMs(5);
  host.game().loadMap(sim::workshopMap("Speedway"));
  EXPECT_FALSE(host.plugin().isPlaying);
  host.newLines();
  trace.newPlacements();
  advanceMs(1);
  // The ghost car went with the old map: its tick ends without a word, Kismet being there all along.
  EXPECT_TRUE(host.newLines().empty());
  host.game().runFor(1.0);
  EXPECT_TRUE(trace.newPlacements().empty());
  EXPECT_EQ(host.game().pendingTimers(), 0u);
}

TEST_F(GhostPlaybackTest, AnErrorInATickLeavesPlaybackStoppedSoPlayStartsItAgain) {
  play(clockGhost(10000));
  host.game().setHostCallObserver([](const char* name) {
    if (std::string(name) == "IsPaused") throw std::runtime_error("the pause flag is gone");
  });
  advanceMs(1);
  host.game().setHostCallObserver({});
  EXPECT_FALSE(host.plugin().isPlaying);
  trace.newPlacements();
  host.run("lm_play");
  EXPECT_EQ(trace.newPlacements().size(), 1u) << "the first tick of a new chain";
}

// Frames out of time order whose plain scan finds pair (1, 2) at 150 ms, where a binary search that took
// them for ordered would land on pair (3, 4).
std::vector<GhostFrame> disorderedGhost() {
  return {frameAt(0, 0), frameAt(10, 10), frameAt(300, 300), frameAt(100, 1000), frameAt(200, 2000), frameAt(400, 400)};
}

// The time order is found by the import, not by each playback start: a ghost file imported again under the
// same name and with as many frames is played by the order of its new frames.
TEST_F(GhostPlaybackTest, AGhostImportedAgainIsPlayedByTheOrderItsImportFound) {
  const auto ghostFile = [this](const std::vector<GhostFrame>& frames) {
    std::ofstream out(host.game().ghostFolder() / "run.ghost", std::ios::binary | std::ios::trunc);
    out << "Speedway,Player,0,1-Lap,1.1\r\n";
    for (const GhostFrame& frame : frames) out << frame.time << ',' << frame.x << ",0,0,0,0,0\r\n";
  };
  ghostFile(
      {frameAt(0, 0), frameAt(100, 100), frameAt(200, 200), frameAt(300, 300), frameAt(400, 400), frameAt(500, 500)});
  host.run("lm_ghostfilepath run.ghost");
  EXPECT_TRUE(host.plugin().ghostFrameOrder.inTimeOrder(host.plugin().ghostFrames));
  host.run("lm_play");
  advanceMs(150);
  EXPECT_EQ(trace.newPlacements().back().position.X, 150.0f);
  host.run("lm_stop");
  advanceMs(1);

  ghostFile(disorderedGhost());
  host.run("lm_import");
  ASSERT_EQ(host.plugin().ghostFrames.size(), 6u);
  EXPECT_FALSE(host.plugin().ghostFrameOrder.inTimeOrder(host.plugin().ghostFrames));
  host.run("lm_play");
  trace.newPlacements();
  advanceMs(150);
  EXPECT_EQ(trace.newPlacements().back().position.X, (300.0f - 10.0f) * 140.0f / 290.0f + 10.0f);
}

TEST_F(GhostPlaybackTest, AGhostReplacedDuringPlaybackIsFollowedFromTheNextTick) {
  play(clockGhost(1000));
  advanceMs(100);
  host.plugin().ghostFrames = disorderedGhost();
  trace.newPlacements();
  advanceMs(50);
  EXPECT_EQ(trace.newPlacements().back().position.X, (300.0f - 10.0f) * 140.0f / 290.0f + 10.0f);
}

}  // namespace

namespace {

// A key bind that stops and plays again between two ticks restarts the preview: the chain of the stopped
// preview ends silently at its next tick, so one chain plays, one placement per tick, however often.
TEST_F(GhostPlaybackTest, AStopAndAPlayInOneTickLeaveOnePlaybackChain) {
  play(clockGhost(100'000));
  for (int restart = 0; restart < 500; ++restart) {
    host.run("lm_stop");
    host.run("lm_play");
    advanceMs(8);
  }
  EXPECT_EQ(host.game().pendingTimers(0.001f), 1u);
  trace.newPlacements();
  advanceMs(8);
  EXPECT_EQ(trace.newPlacements().size(), 1u);
  EXPECT_EQ(count(host.newLines(), "Stopped ghost."), 0u);

  // Stopped for good, the one chain says so once and ends.
  host.run("lm_stop");
  advanceMs(8);
  EXPECT_EQ(count(host.newLines(), "Stopped ghost."), 1u);
  EXPECT_EQ(host.game().pendingTimers(0.001f), 0u);
}

}  // namespace
