// The run sampler on explicit tick lengths: the frame's fields, the float time step, paused time left out
// with each paused interval's sub-millisecond remainder kept as run time, and a car that goes missing.
// A sample set for 0.001 s runs on the first tick at least 10000 clock ticks after the one that set it, so
// each group of tick lengths below ends in the tick that runs the sampler.
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "library/ghostfile/GhostFrame.h"
#include "plugin/ClockTicks.h"
#include "race/RaceFixture.h"
#include "sim/Game.h"

namespace {

using Lines = std::vector<std::string>;

// The recorder's clocks as the test expects them to move: the run's start, moved by paused time, and the
// time of the previous sampler tick.
struct ExpectedRun {
  std::int64_t start;
  std::int64_t last;

  void pausedTick(std::int64_t now) {
    start += static_cast<std::int64_t>(expectedMilliseconds(now - last)) * 10'000;
    last = now;
  }
  std::int32_t sampledTick(std::int64_t now) {
    last = now;
    return expectedMilliseconds(now - start);
  }
};

class RunSamplerTest : public RaceTest {};

TEST(RunTime, TheSpanIsDividedAsAFloatAndCutTowardZero) {
  EXPECT_EQ(runMilliseconds(0), 0);
  EXPECT_EQ(runMilliseconds(9'999), 0);
  EXPECT_EQ(runMilliseconds(12'345), 1);
  EXPECT_EQ(runMilliseconds(-15'000), -1);
  // 99999999 ticks are 9999.9999 ms, but as a float the span is 100000000: the run reads 10000 ms.
  EXPECT_EQ(runMilliseconds(99'999'999), 10'000);
  // The last span whose float stays below 2^31 ms, and the first that reaches it: held at the edge.
  EXPECT_EQ(runMilliseconds(21'474'835'431'423), 2'147'483'392);
  EXPECT_EQ(runMilliseconds(21'474'835'431'424), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(runMilliseconds(std::numeric_limits<std::int64_t>::min()), std::numeric_limits<std::int32_t>::min());
}

TEST_F(RunSamplerTest, TheFirstFrameIsTakenAtTheStartWithTimeZero) {
  game().placeCar({1.5f, -2.25f, 3.0f}, {-91, 16'384, 16'777'217});
  startRace();
  ASSERT_EQ(runFrames().size(), 1u);
  // Rotation first, in engine units widened to float (2^24 + 1 becomes 2^24), then location, then time.
  EXPECT_EQ(runFrames()[0], (GhostFrame{-91.0f, 16'384.0f, 16'777'216.0f, 1.5f, -2.25f, 3.0f, 0}));
}

TEST_F(RunSamplerTest, OneFramePerSamplerTickTimedByTheFloatStep) {
  const std::int64_t start = startRace();
  game().placeCar({7, 8, 9}, {1, 2, 3});
  std::vector<std::int32_t> expected{0};
  for (std::int64_t now : {ticks({12'345}), ticks({10'000}), ticks({4'000, 3'000, 80'654})}) {
    expected.push_back(expectedMilliseconds(now - start));
  }
  EXPECT_EQ(expected, (std::vector<std::int32_t>{0, 1, 2, 10}));
  // 9999.9999 ms after the start the float step gives 10000.
  const std::int64_t now = ticks({start + 99'999'999 - game().now()});
  expected.push_back(expectedMilliseconds(now - start));
  EXPECT_EQ(expected.back(), 10'000);

  std::vector<std::int32_t> times;
  for (const GhostFrame& frame : runFrames()) times.push_back(frame.time);
  EXPECT_EQ(times, expected);
  EXPECT_EQ(runFrames().back(), (GhostFrame{1, 2, 3, 7, 8, 9, 10'000}));
}

TEST_F(RunSamplerTest, AGamePausedFromTheStartRecordsNothingUntilItIsUnpaused) {
  game().setPaused(true);
  const std::int64_t start = startRace();
  EXPECT_TRUE(runFrames().empty());
  ExpectedRun run{start, start};

  run.pausedTick(ticks({6'000, 6'000}));
  run.pausedTick(ticks({15'000}));
  run.pausedTick(ticks({29'999}));
  EXPECT_TRUE(runFrames().empty());

  game().setPaused(false);
  ticks({4'000});
  EXPECT_TRUE(runFrames().empty()) << "the sample is not due yet";
  const std::int32_t first = run.sampledTick(ticks({7'000}));
  // Paused intervals of 1.2, 1.5 and 2.9999 ms move the start by 1, 1 and 2 ms; the 1.6999 ms dropped and
  // the 1.1 ms since the last paused tick are the first frame's time.
  EXPECT_EQ(first, 2);
  ASSERT_EQ(runFrames().size(), 1u);
  EXPECT_EQ(runFrames()[0].time, first);

  const std::int32_t second = run.sampledTick(ticks({10'000}));
  EXPECT_EQ(second, 3);
  EXPECT_EQ(runFrames().back().time, second);
}

TEST_F(RunSamplerTest, APauseMidRunLeavesOutThePausedTimeLessTheDroppedRemainders) {
  const std::int64_t start = startRace();
  ExpectedRun run{start, start};
  EXPECT_EQ(run.sampledTick(ticks({12'345})), 1);

  game().setPaused(true);
  for (std::int64_t now : {ticks({15'000}), ticks({19'999}), ticks({4'000, 4'000, 4'000}), ticks({25'001})}) {
    run.pausedTick(now);
  }
  EXPECT_EQ(runFrames().size(), 2u);

  game().setPaused(false);
  // The run goes on from 1.2345 ms, plus the remainders 0.5 + 0.9999 + 0.2 + 0.5001 ms, plus 1.3 ms.
  const std::int32_t resumed = run.sampledTick(ticks({13'000}));
  EXPECT_EQ(resumed, 4);
  const std::int32_t next = run.sampledTick(ticks({10'000}));
  EXPECT_EQ(next, 5);
  ASSERT_EQ(runFrames().size(), 4u);
  EXPECT_EQ(runFrames()[2].time, resumed);
  EXPECT_EQ(runFrames()[3].time, next);
}

TEST_F(RunSamplerTest, ACarMissingForOneTickEndsTheRunUnrecorded) {
  startRace();
  game().runTicks(5);
  lines();
  game().removeCar();
  game().tick();
  game().restoreCar();
  EXPECT_EQ(lines(), Lines{"No Player Found. The run was not recorded."});
  EXPECT_EQ(raceState(), "idle") << "the switch is off at once, and no race is left under way";
  EXPECT_TRUE(runFrames().empty());
  game().crossStartLine();
  game().runTicks(3);
  EXPECT_TRUE(lines().empty()) << "no race ends, and no time is reported";
}

TEST_F(RunSamplerTest, NoCarAtTheStartRecordsNothing) {
  game().removeCar();
  startRace();
  EXPECT_EQ(lines(), (Lines{"Recording starts and ends when you cross the finish line.", "Race started.",
                            "No Player Found. The run was not recorded."}));
  EXPECT_TRUE(runFrames().empty());
  EXPECT_EQ(game().pendingTimers(), 0u) << "neither watcher nor sampler goes on";
}

}  // namespace
