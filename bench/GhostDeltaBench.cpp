// The live difference to the ghost: one sampler tick's match of the player's car on a ghost of up to a
// million frames, on the path and off it (the sweep ahead searching too). The cost is the matcher's window,
// whatever the ghost's length, and a tick allocates nothing: the heap's growth over the run is a counter.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchGhosts.h"
#include "BenchRegistry.h"
#include "library/ghostfile/GhostFrame.h"
#include "race/GhostDelta.h"

namespace bench {
namespace {

// A ghost driving round a circle of 20,000 units' radius, a frame every 8 ms and every 2 units (a slow car,
// densely sampled: the window is then bounded by its count of segments, the dearest case), and the player's
// run round a circle `aside` units wider, a few milliseconds later.
std::vector<GhostFrame> circling(std::size_t frameCount, double aside, std::int32_t later) {
  constexpr double radius = 20000.0, step = 2.0;
  std::vector<GhostFrame> frames(frameCount);
  for (std::size_t i = 0; i < frameCount; ++i) {
    const double angle = static_cast<double>(i) * step / radius;
    frames[i].x = static_cast<float>((radius + aside) * std::cos(angle));
    frames[i].y = static_cast<float>((radius + aside) * std::sin(angle));
    frames[i].time = static_cast<std::int32_t>(i) * frameSpacingMs + later;
  }
  return frames;
}

void tickMatched(benchmark::State& state, std::size_t frameCount, double aside) {
  const std::vector<GhostFrame> ghost = circling(frameCount, 0.0, 0);
  const std::vector<GhostFrame> run = circling(frameCount, aside, 5);
  GhostDelta delta;
  // A race of no whole lap: the ghost, a part of a circle or many rounds of it, is never short of it.
  delta.start(ghost, 0);
  std::size_t taken = 1;
  const std::size_t heapBefore = heapBytesInUse();
  for (auto _ : state) {
    if (++taken == run.size()) {
      delta.start(ghost, 0);
      taken = 2;
    }
    benchmark::DoNotOptimize(delta.sample(ghost, std::span<const GhostFrame>(run.data(), taken)));
  }
  state.counters["heapGrowth"] = static_cast<double>(heapBytesInUse() - heapBefore);
}

}  // namespace

void registerGhostDeltaBenchmarks(const Sizes& sizes, std::vector<Ratio>& ratios) {
  for (const std::size_t count : sizes.frameCounts) {
    const std::string size = sizeName(count);
    const std::string onPath = "ghostDelta/onPath/" + size;
    const std::string offPath = "ghostDelta/offPath/" + size;
    benchmark::RegisterBenchmark(onPath.c_str(), tickMatched, count, 60.0);
    benchmark::RegisterBenchmark(offPath.c_str(), tickMatched, count, 3000.0);
    ratios.push_back(microseconds("ghost delta tick " + size + ": microseconds", onPath, "<= 1"));
    ratios.push_back(microseconds("ghost delta tick off the path " + size + ": microseconds", offPath, "<= 1"));
    ratios.push_back(counter("ghost delta ticks " + size + ": heap growth, bytes", onPath, "heapGrowth", "0"));
  }
}

}  // namespace bench
