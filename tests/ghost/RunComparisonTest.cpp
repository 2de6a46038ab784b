// Runs matched by distance along the lap: the delta of known runs, at any sample rate, and the lap lines.
#include <gtest/gtest.h>

#include <numbers>

#include "GeneratedRuns.h"
#include "tools/ghost/LappedRun.h"
#include "tools/ghost/RunComparison.h"

using namespace lumaro_ghost;

namespace {

LappedRun lapped(const std::vector<GhostFrame>& frames, int laps = 1) {
  return lapRun(frames, profileRun(frames), laps);
}

}  // namespace

TEST(RunComparison, TheSameLapAtTwoSampleRatesIsLevelEverywhere) {
  const LappedRun a = lapped(twentySecondLap(8));
  const LappedRun b = lapped(twentySecondLap(13));
  for (const DeltaSample& sample : deltaAlong(a, b, 500)) ASSERT_NEAR(sample.delta, 0.0, 1e-4) << sample.progress;
  const RunComparison comparison = compareRuns(a, b);
  EXPECT_NEAR(comparison.totalDelta, 0.0, 1e-4);
  EXPECT_FALSE(comparison.largestGain);
  EXPECT_FALSE(comparison.largestLoss);
}

TEST(RunComparison, ARunOneSecondFasterOverItsSecondHalfGainsExactlyThereAtAnySampleRate) {
  const LappedRun a = lapped(twentySecondLap(10));
  for (std::int32_t interval : {10, 7, 16}) {
    SCOPED_TRACE(interval);
    // Exact when a frame falls on the half; otherwise the frame that spans the change of pace blurs it by a
    // fraction of a millisecond, the resolution of run times.
    const double tolerance = 10000 % interval == 0 ? 1e-4 : 1e-3;
    const LappedRun b = lapped(fasterSecondHalf(interval));
    const RunComparison comparison = compareRuns(a, b);
    EXPECT_NEAR(comparison.totalDelta, -1.0, tolerance);
    ASSERT_EQ(comparison.splits.size(), 10u);
    for (const SplitPoint& split : comparison.splits) {
      // Level over the first half, then 0.2 s gained in every tenth of the second.
      const double expected = split.tenth <= 5 ? 0.0 : -0.2 * (split.tenth - 5);
      EXPECT_NEAR(split.delta, expected, tolerance) << split.tenth;
      EXPECT_NEAR(split.change, split.tenth <= 5 ? 0.0 : -0.2, tolerance) << split.tenth;
      EXPECT_NEAR(split.secondsA, 2.0 * split.tenth, tolerance);
    }
    ASSERT_TRUE(comparison.largestGain);
    EXPECT_NEAR(comparison.largestGain->change, -0.2, tolerance);
    EXPECT_GE(comparison.largestGain->tenth, 6);
    EXPECT_FALSE(comparison.largestLoss);
    // The delta along the lap: flat to the half, then straight down to -1 s.
    for (const DeltaSample& sample : deltaAlong(a, b, 101)) {
      ASSERT_NEAR(sample.delta, sample.progress <= 0.5 ? 0.0 : -2.0 * (sample.progress - 0.5), tolerance)
          << sample.progress;
    }
  }
}

TEST(RunComparison, TheSwappedRunsLoseWhatTheOtherGained) {
  const RunComparison comparison = compareRuns(lapped(fasterSecondHalf(10)), lapped(twentySecondLap(10)));
  EXPECT_NEAR(comparison.totalDelta, 1.0, 1e-4);
  EXPECT_FALSE(comparison.largestGain);
  ASSERT_TRUE(comparison.largestLoss);
  EXPECT_NEAR(comparison.largestLoss->change, 0.2, 1e-4);
}

TEST(LappedRun, LapLinesAreWhereTheRunCrossesItsStartAndItFinishesOnTheLastCrossing) {
  // Three 20-second laps, then 0.4 s rolled on past the finish line, as a recording goes on until the plugin
  // sees the lap counter.
  const auto frames = circleRun(1000.0, 8, 60400, [](double t) { return 2 * std::numbers::pi * t / 20.0; });
  const LappedRun run = lapped(frames, 3);
  ASSERT_TRUE(run.lapLinesFound);
  ASSERT_EQ(run.laps(), 3);
  const double lap = run.distance.back() / 60.4 * 20.0;
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(run.lapEnds[static_cast<std::size_t>(i)], lap * (i + 1), 0.5) << i;
  EXPECT_NEAR(secondsAt(run, 3.0), 60.0, 1e-3);
  EXPECT_NEAR(secondsAt(run, 1.5), 30.0, 1e-3);
  EXPECT_NEAR(distanceAt(run, 2.25), lap * 2.25, 0.5);
}

TEST(LappedRun, ARunEndingShortOfItsLineFinishesOnItsLastFrame) {
  const auto frames = circleRun(1000.0, 8, 39990, [](double t) { return 2 * std::numbers::pi * t / 20.0; });
  const LappedRun run = lapped(frames, 2);
  ASSERT_TRUE(run.lapLinesFound);
  EXPECT_DOUBLE_EQ(run.lapEnds.back(), run.distance.back());
  EXPECT_NEAR(secondsAt(run, 2.0), 39.99, 1e-6);
}

TEST(LappedRun, ARunThatNeverCrossesItsStartIsCutIntoEqualLaps) {
  // A straight line: no lap line anywhere.
  const std::vector<GhostFrame> frames = straightRun(1000.0, 1.0);
  const LappedRun run = lapped(frames, 2);
  EXPECT_FALSE(run.lapLinesFound);
  ASSERT_EQ(run.laps(), 2);
  EXPECT_DOUBLE_EQ(run.lapEnds[0], 500.0);
  EXPECT_DOUBLE_EQ(run.lapEnds[1], 1000.0);
  EXPECT_NEAR(secondsAt(run, 0.5), 0.25, 1e-9);
}

TEST(LappedRun, RollingBackAndForthOverTheLineAtTheStartIsNoLap) {
  // Two 20-second laps of a circle whose car rocks back over its line and forward again at the start.
  auto frames = circleRun(1000.0, 8, 40000, [](double t) { return 2 * std::numbers::pi * t / 20.0; });
  frames[1].y = -frames[1].y;
  const LappedRun run = lapped(frames, 2);
  ASSERT_TRUE(run.lapLinesFound);
  // The first lap line is a whole turn before the finish; the rocking only lengthens the first lap.
  EXPECT_NEAR(run.lapEnds[0], run.distance.back() - 2 * std::numbers::pi * 1000.0, 0.5);
}

TEST(LappedRun, OnlyACrossingNearTheStartIsALapLine) {
  // From the start 1000 units out along +x, then twice round a circle about the start: the circle crosses
  // the line through the start, forwards, but 1000 units from it, so the run has no lap line.
  std::vector<GhostFrame> frames = straightRun(1000.0, 1.0);
  for (GhostFrame frame : circleRun(1000.0, 10, 40000, [](double t) { return 2 * std::numbers::pi * t / 20.0; })) {
    frame.time += 1000;
    frames.push_back(frame);
  }
  const LappedRun run = lapped(frames, 2);
  EXPECT_FALSE(run.lapLinesFound);
  EXPECT_NEAR(run.lapEnds[0], run.distance.back() / 2.0, 1e-6);
}

TEST(LappedRun, ACarStandingStillIsTimedFromWhenItGotThere) {
  std::vector<GhostFrame> frames(4);
  frames[1].time = 100, frames[1].x = 10.0f;
  frames[2].time = 900, frames[2].x = 10.0f;  // standing for 0.8 s
  frames[3].time = 1000, frames[3].x = 20.0f;
  const LappedRun run = lapped(frames);
  EXPECT_NEAR(secondsAt(run, 0.5), 0.1, 1e-9);
  EXPECT_NEAR(secondsAt(run, 0.75), 0.95, 1e-9);
}
