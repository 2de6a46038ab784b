#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "playback/FrameChoice.h"
#include "playback/GhostFrameOrder.h"

namespace {

// A recorded ghost of a million frames, one every 8 ms: over two hours of driving.
const std::vector<GhostFrame>& millionFrameGhost() {
  static const std::vector<GhostFrame> frames = [] {
    std::vector<GhostFrame> made(1'000'000);
    for (std::size_t i = 0; i < made.size(); ++i) {
      const auto step = static_cast<float>(i);
      made[i] = GhostFrame{step, -step, 0.5f * step, 3.0f * step, 2.0f * step, 17.0f, static_cast<std::int32_t>(i * 8)};
    }
    return made;
  }();
  return frames;
}

// Elapsed times near the start or near the end, moving a little every iteration as ticks do.
std::int64_t elapsedAt(bool nearEnd, std::int64_t iteration) {
  const std::int64_t base = nearEnd ? 7'999'000 : 100;
  return base + iteration % 900;
}

void BM_ChooseFrameSearched(benchmark::State& state) {
  const auto& frames = millionFrameGhost();
  GhostFrameOrder order;
  const bool nearEnd = state.range(0) != 0;
  std::int64_t iteration = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(chooseFrame(frames, elapsedAt(nearEnd, iteration++), order.inTimeOrder(frames)));
  }
}
BENCHMARK(BM_ChooseFrameSearched)->ArgName("nearEnd")->Arg(0)->Arg(1);

void BM_ChooseFrameScanned(benchmark::State& state) {
  const auto& frames = millionFrameGhost();
  const bool nearEnd = state.range(0) != 0;
  std::int64_t iteration = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(chooseFrameByScan(frames, elapsedAt(nearEnd, iteration++)));
  }
}
BENCHMARK(BM_ChooseFrameScanned)->ArgName("nearEnd")->Arg(0)->Arg(1);

// The one look at the whole ghost that every playback start pays.
void BM_FramesInTimeOrder(benchmark::State& state) {
  const auto& frames = millionFrameGhost();
  for (auto _ : state) benchmark::DoNotOptimize(framesInTimeOrder(frames));
}
BENCHMARK(BM_FramesInTimeOrder);

}  // namespace
