// Playback: the start of a playback (the first tick, which needs the ghost's time order) and a tick in the
// middle of a long ghost, against the plain scan from the first frame. Before timing, the chosen pose is
// compared with the scan's, all six values bit for bit, at elapsed times across the whole ghost.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchGhosts.h"
#include "BenchRegistry.h"
#include "host/Values.h"
#include "library/ghostfile/GhostFrame.h"
#include "playback/FrameChoice.h"
#include "playback/GhostFrameOrder.h"

namespace bench {
namespace {

bool samePose(const FrameChoice& a, const FrameChoice& b) {
  const float left[] = {a.pose.position.X, a.pose.position.Y, a.pose.position.Z,
                        a.pose.rotation.X, a.pose.rotation.Y, a.pose.rotation.Z};
  const float right[] = {b.pose.position.X, b.pose.position.Y, b.pose.position.Z,
                         b.pose.rotation.X, b.pose.rotation.Y, b.pose.rotation.Z};
  // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison): bit for bit is the point (-0 against 0, each nan)
  return a.kind == b.kind && std::memcmp(left, right, sizeof left) == 0;
}

// Elapsed times a little before the last interpolated pair, moving a little every iteration as ticks do.
std::int64_t elapsedNearEnd(const std::vector<GhostFrame>& frames, std::int64_t iteration) {
  return frames[frames.size() - 3].time - 900 + iteration % 900;
}

bool choicesAgreeWithScan(const std::vector<GhostFrame>& frames) {
  GhostFrameOrder order;
  order.learn(frames, true);
  const std::int64_t last = frames.back().time;
  for (std::int64_t elapsed = -5; elapsed <= last + 5; elapsed += 1 + last / 997) {
    if (!samePose(chooseFrame(frames, elapsed, order.inTimeOrder(frames)), chooseFrameByScan(frames, elapsed))) {
      return false;
    }
  }
  return samePose(chooseFrame(frames, elapsedNearEnd(frames, 7), true),
                  chooseFrameByScan(frames, elapsedNearEnd(frames, 7)));
}

// What the first tick pays when the import has told the time order.
void playStartLearned(benchmark::State& state, std::size_t frameCount) {
  const auto& frames = sampleRun(frameCount);
  if (!choicesAgreeWithScan(frames)) state.SkipWithError("the frame choice disagrees with the scan");
  GhostFrameOrder order;
  order.learn(frames, true);
  std::int64_t iteration = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(chooseFrame(frames, iteration++ % 900, order.inTimeOrder(frames)));
  }
}

// What the first tick paid when every start looked at the whole ghost again.
void playStartLookingAgain(benchmark::State& state, std::size_t frameCount) {
  const auto& frames = sampleRun(frameCount);
  GhostFrameOrder order;
  std::int64_t iteration = 0;
  for (auto _ : state) {
    order.forget();
    benchmark::DoNotOptimize(chooseFrame(frames, iteration++ % 900, order.inTimeOrder(frames)));
  }
}

void tickSearched(benchmark::State& state, std::size_t frameCount) {
  const auto& frames = sampleRun(frameCount);
  GhostFrameOrder order;
  order.learn(frames, true);
  std::int64_t iteration = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(chooseFrame(frames, elapsedNearEnd(frames, iteration++), order.inTimeOrder(frames)));
  }
}

void tickScanned(benchmark::State& state, std::size_t frameCount) {
  const auto& frames = sampleRun(frameCount);
  std::int64_t iteration = 0;
  for (auto _ : state) benchmark::DoNotOptimize(chooseFrameByScan(frames, elapsedNearEnd(frames, iteration++)));
}

}  // namespace

void registerPlaybackBenchmarks(const Sizes& sizes, std::vector<Ratio>& ratios) {
  for (const std::size_t count : sizes.frameCounts) {
    const std::string size = sizeName(count);
    const std::string learned = "playStart/learned/" + size;
    const std::string again = "playStart/lookingAgain/" + size;
    const std::string searched = "tick/searched/" + size;
    const std::string scanned = "tick/scanned/" + size;
    benchmark::RegisterBenchmark(learned.c_str(), playStartLearned, count);
    benchmark::RegisterBenchmark(again.c_str(), playStartLookingAgain, count)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(searched.c_str(), tickSearched, count);
    benchmark::RegisterBenchmark(scanned.c_str(), tickScanned, count)->Unit(benchmark::kMicrosecond);
    ratios.push_back(microseconds("play start " + size + ": microseconds", learned, "O(1)"));
    ratios.push_back(microseconds("play start " + size + ": microseconds, looking at every frame", again, "(before)"));
    ratios.push_back(
        timesFaster("tick near the end " + size + ": times faster than the scan", searched, scanned, "(log n)"));
  }
}

}  // namespace bench
