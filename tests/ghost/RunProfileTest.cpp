// The figures of a run: its path length, its speeds and its sampling, pinned on circles of known size.
#include <cstdint>
#include <initializer_list>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "GeneratedRuns.h"
#include "library/ghostfile/GhostFrame.h"
#include "tools/ghost/analysis/RunProfile.h"

using namespace lumaro_ghost;

TEST(RunProfile, ACircleAtOneSpeedHasItsCircumferenceAndItsSpeed) {
  // Radius 1000, a lap in 20 s: 6283.19 units at 314.16 units/s, sampled every 8 ms.
  const auto frames = steadyCircle(1000.0, 20.0, 1, 8);
  const RunProfile profile = profileRun(frames);
  const double circumference = 2 * std::numbers::pi * 1000.0;
  EXPECT_NEAR(profile.length, circumference, 0.05);
  EXPECT_DOUBLE_EQ(profile.duration, 20.0);
  EXPECT_NEAR(profile.meanSpeed, circumference / 20.0, 0.01);
  EXPECT_NEAR(profile.topSpeed, circumference / 20.0, 0.05);
  for (double speed : profile.speed) ASSERT_NEAR(speed, circumference / 20.0, 0.05);
  EXPECT_DOUBLE_EQ(profile.distance.front(), 0.0);
  EXPECT_NEAR(profile.distance[frames.size() / 2], circumference / 2.0, 0.5);
}

TEST(RunProfile, SpeedIsSteadyWhenWholeMillisecondTimesAlternateBetweenEightAndNine) {
  // 120 frames a second with times truncated to whole milliseconds: 0, 8, 16, 25, 33...
  std::vector<GhostFrame> frames;
  for (int i = 0; i <= 1200; ++i) {
    GhostFrame frame;
    const double seconds = i / 120.0;
    frame.time = static_cast<std::int32_t>(seconds * 1000.0);
    frame.x = static_cast<float>(1500.0 * seconds);
    frames.push_back(frame);
  }
  const RunProfile profile = profileRun(frames);
  for (double speed : profile.speed) ASSERT_NEAR(speed, 1500.0, 1500.0 * 0.015);
  EXPECT_NEAR(profile.topSpeed, 1500.0, 1500.0 * 0.015);
}

TEST(RunProfile, NoFramesOrOneFrameGiveNoPathAndNoSpeed) {
  EXPECT_EQ(profileRun({}).length, 0.0);
  const std::vector<GhostFrame> one(1);
  const RunProfile profile = profileRun(one);
  EXPECT_EQ(profile.length, 0.0);
  EXPECT_EQ(profile.meanSpeed, 0.0);
  EXPECT_EQ(profile.topSpeed, 0.0);
}

std::vector<GhostFrame> atTimes(std::initializer_list<std::int32_t> times) {
  std::vector<GhostFrame> frames;
  for (std::int32_t time : times) {
    GhostFrame frame;
    frame.time = time;
    frames.push_back(frame);
  }
  return frames;
}

TEST(SampleTiming, MedianAndWorstInterval) {
  const SampleTiming even = sampleTiming(atTimes({0, 8, 16, 25, 33, 41}), 100);
  EXPECT_DOUBLE_EQ(even.medianIntervalMs, 8.0);
  EXPECT_EQ(even.worstIntervalMs, 9);
  const SampleTiming odd = sampleTiming(atTimes({0, 8, 17, 27, 37}), 100);
  EXPECT_DOUBLE_EQ(odd.medianIntervalMs, 9.5);
}

TEST(SampleTiming, CountsTimesOutOfOrderRepeatedTimesAndGaps) {
  const SampleTiming timing = sampleTiming(atTimes({0, 8, 8, 16, 12, 20, 270, 278, 400}), 100);
  EXPECT_EQ(timing.outOfOrder, 1u);
  EXPECT_EQ(timing.firstOutOfOrder, 4u);
  EXPECT_EQ(timing.repeated, 1u);
  EXPECT_EQ(timing.gaps, 2u);  // 250 and 122 ms
  EXPECT_EQ(timing.largestGapMs, 250);
  EXPECT_EQ(timing.largestGapAt, 6u);
  EXPECT_EQ(sampleTiming(atTimes({0, 100, 200}), 100).gaps, 0u);  // a gap is longer than the threshold
}
