// The searched frame choice against a plain transcription of the pair scan, on many random ghosts (in
// order, in order with runs of equal times, out of order, nearly in order) and elapsed times around every
// frame time: kinds and the bit patterns of all six written floats must agree.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "host/Values.h"
#include "library/ghostfile/GhostFrame.h"
#include "playback/FrameChoice.h"

namespace {

enum class Outcome { Nothing, Write, End };

struct Reference {
  Outcome outcome = Outcome::Nothing;
  float values[6] = {};  // x, y, z, pitch, yaw, roll
};

// The scan, written out as it reads: the four cases in order, pairs i = 0 .. n - 3 from the first frame.
// One frame at exactly the elapsed time shows that frame; equal pair times show the pair's first frame.
Reference referenceChoice(const std::vector<GhostFrame>& f, std::int64_t e) {
  Reference r;
  const long n = static_cast<long>(f.size());
  auto take = [&r](const GhostFrame& frame) {
    r.outcome = Outcome::Write;
    const float values[6] = {frame.x, frame.y, frame.z, frame.pitch, frame.yaw, frame.roll};
    for (int k = 0; k < 6; ++k) r.values[k] = values[k];
    return r;
  };
  if (n == 0) return r;
  if (e < f[0].time) return take(f[0]);
  if (e > f[n - 1].time) return take(f[n - 1]);
  if (n == 1) return take(f[0]);
  for (long i = 0; i <= n - 3; ++i) {
    const GhostFrame& a = f[i];
    const GhostFrame& b = f[i + 1];
    if (a.time <= e && e <= b.time) {
      if (a.time == b.time) return take(a);
      const auto num = static_cast<float>(e - static_cast<std::int64_t>(a.time));
      const auto den = static_cast<float>(
          static_cast<std::int32_t>(static_cast<std::uint32_t>(b.time) - static_cast<std::uint32_t>(a.time)));
      const float from[6] = {a.x, a.y, a.z, a.pitch, a.yaw, a.roll};
      const float to[6] = {b.x, b.y, b.z, b.pitch, b.yaw, b.roll};
      r.outcome = Outcome::Write;
      for (int k = 0; k < 6; ++k) {
        const float difference = to[k] - from[k];
        const float scaled = difference * num;
        const float divided = scaled / den;
        r.values[k] = divided + from[k];
      }
      return r;
    }
  }
  r.outcome = Outcome::End;
  return r;
}

std::string describe(const std::vector<GhostFrame>& frames, std::int64_t elapsed) {
  std::ostringstream text;
  text << "elapsed " << elapsed << ", times";
  for (const GhostFrame& frame : frames) text << ' ' << frame.time;
  return text.str();
}

// Compares one choice; returns whether the searched path was the one taken (frames in time order, elapsed
// between the first and last times, and more than one frame).
bool expectSameChoice(const std::vector<GhostFrame>& frames, std::int64_t elapsed) {
  const bool inOrder = framesInTimeOrder(frames);
  const FrameChoice choice = chooseFrame(frames, elapsed, inOrder);
  const Reference expected = referenceChoice(frames, elapsed);
  const Outcome outcome = choice.kind == FrameChoiceKind::NoFrames ? Outcome::Nothing
                          : choice.kind == FrameChoiceKind::Show   ? Outcome::Write
                                                                   : Outcome::End;
  EXPECT_EQ(outcome, expected.outcome) << describe(frames, elapsed);
  if (outcome == Outcome::Write && expected.outcome == Outcome::Write) {
    const GhostPose& pose = choice.pose;
    const float got[6] = {pose.position.X, pose.position.Y, pose.position.Z,
                          pose.rotation.X, pose.rotation.Y, pose.rotation.Z};
    for (int k = 0; k < 6; ++k) {
      EXPECT_EQ(std::bit_cast<std::uint32_t>(got[k]), std::bit_cast<std::uint32_t>(expected.values[k]))
          << "component " << k << ", " << describe(frames, elapsed);
    }
  }
  return inOrder && frames.size() > 1 && elapsed >= frames.front().time && elapsed <= frames.back().time;
}

enum class Shape { Increasing, WithRepeats, Shuffled, OneSwap };

std::vector<GhostFrame> randomGhost(std::mt19937& random, Shape shape, std::size_t count) {
  std::uniform_real_distribution<float> coordinate(-20000.0f, 20000.0f);
  std::uniform_int_distribution<int> rotation(-32768, 32767);
  std::uniform_int_distribution<int> step(shape == Shape::WithRepeats ? 0 : 1, 20);
  std::uniform_int_distribution<int> repeat(0, 2);
  std::int32_t time = std::uniform_int_distribution<std::int32_t>(-50, 50)(random);
  std::vector<GhostFrame> frames(count);
  for (GhostFrame& frame : frames) {
    frame.x = coordinate(random), frame.y = coordinate(random), frame.z = coordinate(random) / 20.0f;
    frame.pitch = static_cast<float>(rotation(random));
    frame.yaw = static_cast<float>(rotation(random));
    frame.roll = static_cast<float>(rotation(random));
    frame.time = time;
    // Runs of equal times are made likelier than an even step would make them.
    if (shape != Shape::WithRepeats || repeat(random) != 0) time += step(random);
  }
  if (shape == Shape::Shuffled) std::shuffle(frames.begin(), frames.end(), random);
  if (shape == Shape::OneSwap && count >= 2) {
    std::uniform_int_distribution<std::size_t> at(0, count - 2);
    const std::size_t i = at(random);
    std::swap(frames[i].time, frames[i + 1].time);
  }
  return frames;
}

TEST(FrameChoiceDifferential, SearchAndScanAgreeOnRandomGhosts) {
  std::mt19937 random(20260101);
  std::uniform_int_distribution<std::size_t> smallCount(0, 12);
  int searched = 0;
  int compared = 0;
  for (int round = 0; round < 4000; ++round) {
    const auto shape = static_cast<Shape>(round % 4);
    const std::size_t count = round % 50 == 0 ? 2000 : smallCount(random);
    const std::vector<GhostFrame> frames = randomGhost(random, shape, count);
    std::vector<std::int64_t> elapsedTimes = {-1000000, 0, 1000000};
    for (const GhostFrame& frame : frames) {
      for (std::int64_t offset = -1; offset <= 1; ++offset) elapsedTimes.push_back(frame.time + offset);
    }
    for (const std::int64_t elapsed : elapsedTimes) {
      searched += expectSameChoice(frames, elapsed) ? 1 : 0;
      ++compared;
    }
    if (HasFailure()) break;
  }
  // The search itself must have been exercised, not only the cases around it.
  EXPECT_GT(searched, compared / 4);
}

TEST(FrameChoiceDifferential, GhostsOfOnlyRepeatedTimes) {
  for (std::size_t count = 1; count <= 6; ++count) {
    for (std::size_t split = 0; split <= count; ++split) {
      // split frames at 10, the rest at 20.
      std::vector<GhostFrame> frames(count);
      for (std::size_t i = 0; i < count; ++i) {
        frames[i].time = i < split ? 10 : 20;
        frames[i].x = static_cast<float>(i) + 0.5f;
      }
      for (std::int64_t elapsed = 9; elapsed <= 21; ++elapsed) expectSameChoice(frames, elapsed);
    }
  }
}

}  // namespace
