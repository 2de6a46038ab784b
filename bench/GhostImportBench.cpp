// Loading a ghost file, end to end from the file: the plugin's reader against the literal reader and against
// the read limit (the same file read and its line feeds counted); and the memory a loaded ghost holds.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchGhosts.h"
#include "BenchRegistry.h"
#include "library/ghostfile/GhostFileRead.h"
#include "library/ghostfile/GhostFrame.h"

namespace bench {
namespace {

void importWithCodec(benchmark::State& state, std::size_t frameCount) {
  const auto& file = sampleGhostFile(frameCount);
  {
    std::vector<GhostFrame> frames;
    readGhostFile(file, frames);
    if (frames != readGhostLiterally(file)) state.SkipWithError("the reader and the literal reader disagree");
  }
  for (auto _ : state) {
    std::vector<GhostFrame> frames;
    readGhostFile(file, frames);
    benchmark::DoNotOptimize(frames.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * frameCount));
}

void importLiterally(benchmark::State& state, std::size_t frameCount) {
  const auto& file = sampleGhostFile(frameCount);
  for (auto _ : state) {
    std::vector<GhostFrame> frames = readGhostLiterally(file);
    benchmark::DoNotOptimize(frames.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * frameCount));
}

void readLimit(benchmark::State& state, std::size_t frameCount) {
  const auto& file = sampleGhostFile(frameCount);
  for (auto _ : state) benchmark::DoNotOptimize(countLineFeeds(file));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * frameCount));
}

// Memory held by the loaded frames, per frame: the pages of the list's block that have memory behind them
// (its room beyond the frames, never written, has none); the heap asked for beside it. The list itself sits on
// the stack.
template <typename Load>
void heldPerFrame(benchmark::State& state, std::size_t frameCount, Load load) {
  const auto& file = sampleGhostFile(frameCount);
  double perFrame = 0.0;
  double askedPerFrame = 0.0;
  for (auto _ : state) {
    const std::size_t before = heapBytesInUse();
    std::vector<GhostFrame> frames = load(file);
    const std::size_t after = heapBytesInUse();
    const auto count = static_cast<double>(frames.size());
    perFrame = static_cast<double>(residentBytes(frames.data(), frames.capacity() * sizeof(GhostFrame))) / count;
    askedPerFrame = static_cast<double>(after - before) / count;
  }
  state.counters["bytesPerFrame"] = perFrame;
  state.counters["heapBytesPerFrame"] = askedPerFrame;
}

}  // namespace

void registerImportBenchmarks(const Sizes& sizes, std::vector<Ratio>& ratios) {
  for (const std::size_t count : sizes.frameCounts) {
    const std::string size = sizeName(count);
    const std::string codec = "import/codec/" + size;
    const std::string literal = "import/literal/" + size;
    const std::string limit = "import/readLimit/" + size;
    benchmark::RegisterBenchmark(codec.c_str(), importWithCodec, count)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(literal.c_str(), importLiterally, count)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(limit.c_str(), readLimit, count)->Unit(benchmark::kMillisecond);
    ratios.push_back(timesFaster("import " + size + ": times faster than the literal reader", codec, literal, ">= 10"));
    ratios.push_back(timesSlower("import " + size + ": times the read limit", codec, limit, "<= 4"));

    const std::string held = "memory/codec/" + size;
    const std::string heldLiterally = "memory/literal/" + size;
    benchmark::RegisterBenchmark(held.c_str(), heldPerFrame<std::vector<GhostFrame> (*)(const std::filesystem::path&)>,
                                 count,
                                 [](const std::filesystem::path& file) {
                                   std::vector<GhostFrame> frames;
                                   readGhostFile(file, frames);
                                   return frames;
                                 })
        ->Iterations(1);
    benchmark::RegisterBenchmark(heldLiterally.c_str(),
                                 heldPerFrame<std::vector<GhostFrame> (*)(const std::filesystem::path&)>, count,
                                 readGhostLiterally)
        ->Iterations(1);
    ratios.push_back(counter("memory " + size + ": bytes held per loaded frame", held, "bytesPerFrame", "28.0"));
    ratios.push_back(
        counter("memory " + size + ": bytes per frame, literal reader", heldLiterally, "bytesPerFrame", "(baseline)"));
  }
}

}  // namespace bench
