// Two runs compared by track position (lumaro-ghost compare, plot and html), at 10k, 100k and 1M frames of
// the same three laps of a circle: the more densely a run is sampled (a slow lap over a million ticks, as the
// stand-in host's long runs are), the closer its frames, and the cost of each frame's placement on the
// reference lap must not grow with that. The figure: the time per frame at each size against 10k's.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchRegistry.h"
#include "library/ghostfile/GhostFrame.h"
#include "library/ghostfile/NumberReading.h"
#include "tools/ghost/analysis/GhostFileContent.h"
#include "tools/ghost/analysis/GhostHeaderFields.h"
#include "tools/ghost/analysis/LoadedGhost.h"
#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/analysis/RunProfile.h"

namespace bench {
namespace {

constexpr std::size_t fewestFrames = 10'000;

// Three laps of a circle of 3000 units in frameCount frames, the second run 1% slower over every lap's
// second half.
std::vector<lumaro_ghost::LoadedGhost> circleRuns(std::size_t frameCount) {
  std::vector<lumaro_ghost::LoadedGhost> runs(2);
  for (std::size_t run = 0; run < runs.size(); ++run) {
    std::vector<GhostFrame>& frames = runs[run].content.frames;
    for (std::size_t i = 0; i < frameCount; ++i) {
      const double turns = 3.0 * static_cast<double>(i) / static_cast<double>(frameCount - 1);
      const double slower = run == 1 ? 0.01 * std::max(0.0, std::fmod(turns, 1.0) - 0.5) : 0.0;
      GhostFrame frame;
      frame.time = static_cast<std::int32_t>(std::lround((turns + slower) * 20000.0));
      frame.x = static_cast<float>(3000.0 * std::cos(2.0 * std::numbers::pi * turns));
      frame.y = static_cast<float>(3000.0 * std::sin(2.0 * std::numbers::pi * turns));
      frames.push_back(frame);
    }
    runs[run].header.lapCount.value = 3;
    runs[run].profile = lumaro_ghost::profileRun(frames);
  }
  return runs;
}

void compareByTrackPosition(benchmark::State& state, std::size_t frameCount) {
  const auto runs = circleRuns(frameCount);
  for (auto _ : state) {
    const lumaro_ghost::Analysis analysis = lumaro_ghost::analyseGhosts(runs);
    benchmark::DoNotOptimize(lumaro_ghost::compareRuns(analysis, 0, 1).total);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * frameCount));
}

}  // namespace

void registerAnalysisBenchmarks(const Sizes& sizes, std::vector<Ratio>& ratios) {
  const std::string fewest = "analysis/compare/" + sizeName(fewestFrames);
  for (std::size_t count : sizes.frameCounts) {
    const std::string name = "analysis/compare/" + sizeName(count);
    benchmark::RegisterBenchmark(name.c_str(), compareByTrackPosition, count)->Unit(benchmark::kMillisecond);
    if (count == fewestFrames) continue;
    const double scale = static_cast<double>(count) / fewestFrames;
    ratios.push_back({"compare " + sizeName(count) + ": time per frame, times 10k's", name, fewest, "<= 2",
                      [scale](const Figures& s, const Figures* r) { return s.cpuSeconds / r->cpuSeconds / scale; }});
  }
}

}  // namespace bench
