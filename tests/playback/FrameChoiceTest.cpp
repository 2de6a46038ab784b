// The frame choice and interpolation, pinned on hand-made ghosts: the four cases and their order, the last
// pair that is never interpolated, the exact single-precision steps, and the two cases with no pair at all.
#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "host/Values.h"
#include "library/ghostfile/GhostFrame.h"
#include "playback/FrameChoice.h"
#include "playback/HandMadeFrames.h"

namespace {

FrameChoice choose(const std::vector<GhostFrame>& frames, std::int64_t elapsed) {
  // Every expectation here holds for both ways of choosing.
  const FrameChoice scanned = chooseFrameByScan(frames, elapsed);
  const FrameChoice searched = chooseFrame(frames, elapsed, framesInTimeOrder(frames));
  EXPECT_EQ(scanned.kind, searched.kind) << "elapsed " << elapsed;
  EXPECT_EQ(scanned.pose.position.X, searched.pose.position.X) << "elapsed " << elapsed;
  return searched;
}

float shownX(const std::vector<GhostFrame>& frames, std::int64_t elapsed) {
  const FrameChoice choice = choose(frames, elapsed);
  EXPECT_EQ(choice.kind, FrameChoiceKind::Show) << "elapsed " << elapsed;
  return choice.pose.position.X;
}

TEST(FrameChoice, AnEmptyGhostHasNothingToShow) {
  EXPECT_EQ(choose({}, 0).kind, FrameChoiceKind::NoFrames);
  EXPECT_EQ(choose({}, -5).kind, FrameChoiceKind::NoFrames);
}

TEST(FrameChoice, ATwoFrameGhostIsNeverInterpolated) {
  const std::vector<GhostFrame> frames = {frameAt(0, 0.0f), frameAt(100, 10.0f)};
  EXPECT_EQ(choose(frames, 0).kind, FrameChoiceKind::GhostEnded);
  EXPECT_EQ(choose(frames, 50).kind, FrameChoiceKind::GhostEnded);
  EXPECT_EQ(choose(frames, 100).kind, FrameChoiceKind::GhostEnded);
  EXPECT_EQ(shownX(frames, -1), 0.0f);
  EXPECT_EQ(shownX(frames, 101), 10.0f);
}

TEST(FrameChoice, TheLastPairEndsTheGhostAndAnElapsedTimePastItShowsTheLastFrame) {
  const std::vector<GhostFrame> frames = {frameAt(0, 0.0f), frameAt(100, 10.0f), frameAt(200, 30.0f)};
  EXPECT_EQ(shownX(frames, 50), 5.0f);
  EXPECT_EQ(shownX(frames, 100), 10.0f);  // pair (0, 1) at its end, not pair (1, 2) at its start
  EXPECT_EQ(choose(frames, 101).kind, FrameChoiceKind::GhostEnded);
  EXPECT_EQ(choose(frames, 150).kind, FrameChoiceKind::GhostEnded);
  EXPECT_EQ(choose(frames, 200).kind, FrameChoiceKind::GhostEnded);
  EXPECT_EQ(shownX(frames, 201), 30.0f);
  EXPECT_EQ(shownX(frames, 100000), 30.0f);
}

TEST(FrameChoice, OneFrameAtExactlyTheElapsedTimeIsShown) {
  const std::vector<GhostFrame> frames = {frameAt(70, 4.0f)};
  EXPECT_EQ(shownX(frames, 69), 4.0f);
  EXPECT_EQ(shownX(frames, 70), 4.0f);
  EXPECT_EQ(shownX(frames, 71), 4.0f);
}

TEST(FrameChoice, TwoFramesAtTheSameTimeShowTheFirstOfThemNotNaN) {
  const std::vector<GhostFrame> frames = {frameAt(100, 1.0f, 5.0f), frameAt(100, 2.0f, 6.0f), frameAt(200, 3.0f)};
  const FrameChoice choice = choose(frames, 100);
  ASSERT_EQ(choice.kind, FrameChoiceKind::Show);
  EXPECT_EQ(choice.pose.position.X, 1.0f);
  EXPECT_EQ(choice.pose.rotation.Y, 5.0f);

  // Equal times in the middle: the first pair that reaches the time wins, here (0, 1) at its end.
  const std::vector<GhostFrame> middle = {frameAt(0, 0.0f),    frameAt(100, 8.0f),  frameAt(100, 9.0f),
                                          frameAt(100, 10.0f), frameAt(300, 11.0f), frameAt(400, 12.0f)};
  EXPECT_EQ(shownX(middle, 100), (8.0f - 0.0f) * 100.0f / 100.0f + 0.0f);
  // Just after them: pair (3, 4).
  EXPECT_EQ(shownX(middle, 101), (11.0f - 10.0f) * 1.0f / 200.0f + 10.0f);
}

TEST(FrameChoice, AYawFrom32000ToMinus32000TurnsThroughZero) {
  const std::vector<GhostFrame> frames = {frameAt(0, 0.0f, 32000.0f), frameAt(100, 0.0f, -32000.0f),
                                          frameAt(200, 0.0f, -32000.0f)};
  EXPECT_EQ(choose(frames, 25).pose.rotation.Y, 16000.0f);
  EXPECT_EQ(choose(frames, 50).pose.rotation.Y, 0.0f);
  EXPECT_EQ(choose(frames, 75).pose.rotation.Y, -16000.0f);
}

TEST(Interpolation, SubtractsMultipliesDividesThenAddsInSinglePrecision) {
  GhostFrame a;
  a.pitch = 1.1f, a.yaw = -1234.57f, a.roll = 0.3f, a.x = 1.1f, a.y = 17.01f, a.z = 250.0f, a.time = 0;
  GhostFrame b;
  b.pitch = 2.3f, b.yaw = -1230.12f, b.roll = 0.7f, b.x = -1230.12f, b.y = 17.33f, b.z = 251.5f, b.time = 10;
  const GhostPose pose = interpolateFrames(a, b, 4);
  EXPECT_EQ(pose.rotation.X, (2.3f - 1.1f) * 4.0f / 10.0f + 1.1f);
  EXPECT_EQ(pose.rotation.Y, (-1230.12f - -1234.57f) * 4.0f / 10.0f + -1234.57f);
  EXPECT_EQ(pose.rotation.Z, (0.7f - 0.3f) * 4.0f / 10.0f + 0.3f);
  EXPECT_EQ(pose.position.X, (-1230.12f - 1.1f) * 4.0f / 10.0f + 1.1f);
  EXPECT_EQ(pose.position.Y, (17.33f - 17.01f) * 4.0f / 10.0f + 17.01f);
  EXPECT_EQ(pose.position.Z, (251.5f - 250.0f) * 4.0f / 10.0f + 250.0f);

  // These values tell the order apart: the factor taken first, or double precision, lands elsewhere.
  EXPECT_NE(pose.rotation.X, (2.3f - 1.1f) * (4.0f / 10.0f) + 1.1f);
  EXPECT_NE(pose.rotation.X, static_cast<float>((2.3 - 1.1) * 4.0 / 10.0 + 1.1));
  EXPECT_NE(pose.rotation.X,
            static_cast<float>(static_cast<double>(2.3f - 1.1f) * 4.0 / 10.0 + static_cast<double>(1.1f)));
}

TEST(Interpolation, TheOffsetIsTakenInIntegersBeforeItBecomesAFloat) {
  // Past 2^24 ms a float no longer holds every millisecond: the offset must be subtracted first.
  const GhostFrame a = frameAt(16777217, 0.0f);
  const GhostFrame b = frameAt(16777227, 10.0f);
  EXPECT_EQ(interpolateFrames(a, b, 16777220).position.X, 10.0f * 3.0f / 10.0f);
  EXPECT_NE(10.0f * 3.0f / 10.0f, 10.0f * (static_cast<float>(16777220) - static_cast<float>(16777217)) / 10.0f);
}

// Mended: the span was a 32-bit subtraction, and 2^31, the first span past its range, wrapped to -2^31.
TEST(Interpolation, ATimeSpanBeyond32BitsKeepsTheCarBetweenItsFrames) {
  EXPECT_EQ(interpolateFrames(frameAt(-1, 0.0f), frameAt(2147483647, 1.0f), 1073741823).position.X, 0.5f);
}

}  // namespace
