// Writing a ghost file, end to end into the file: the plugin's export writer against snprintf lines through
// stdio and against the write limit (the same bytes written to a new file at once). All three give the
// same bytes, checked before timing.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchGhosts.h"
#include "BenchRegistry.h"
#include "library/ghostfile/GhostFileWrite.h"
#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostFrame.h"

namespace bench {
namespace {

GhostHeader headerOf(const std::vector<GhostFrame>& run) {
  GhostHeader header = sampleHeader;
  header.runTime = run.back().time;
  return header;
}

void exportWithCodec(benchmark::State& state, std::size_t frameCount) {
  const auto& run = sampleRun(frameCount);
  const auto target = scratchFolder() / "export-codec.ghost";
  const auto literal = scratchFolder() / "export-printf-check.ghost";
  writeGhostFile(target, headerOf(run), run);
  writeGhostWithPrintf(literal, headerOf(run), run);
  if (fileBytes(target) != fileBytes(literal)) state.SkipWithError("the writer and snprintf disagree");
  std::filesystem::remove(literal);
  for (auto _ : state) {
    if (writeGhostFile(target, headerOf(run), run)) state.SkipWithError("the export failed");
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * frameCount));
}

void exportWithPrintf(benchmark::State& state, std::size_t frameCount) {
  const auto& run = sampleRun(frameCount);
  const auto target = scratchFolder() / "export-printf.ghost";
  for (auto _ : state) writeGhostWithPrintf(target, headerOf(run), run);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * frameCount));
}

void writeLimit(benchmark::State& state, std::size_t frameCount) {
  const std::string bytes = fileBytes(sampleGhostFile(frameCount));
  const auto target = scratchFolder() / "export-limit.ghost";
  for (auto _ : state) writeBytes(target, bytes);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * frameCount));
}

}  // namespace

void registerExportBenchmarks(const Sizes& sizes, std::vector<Ratio>& ratios) {
  for (const std::size_t count : sizes.frameCounts) {
    const std::string size = sizeName(count);
    const std::string codec = "export/codec/" + size;
    const std::string printf = "export/printf/" + size;
    const std::string limit = "export/writeLimit/" + size;
    benchmark::RegisterBenchmark(codec.c_str(), exportWithCodec, count)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(printf.c_str(), exportWithPrintf, count)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(limit.c_str(), writeLimit, count)->Unit(benchmark::kMillisecond);
    ratios.push_back(timesFaster("export " + size + ": times faster than snprintf", codec, printf, ">= 8"));
    ratios.push_back(timesSlower("export " + size + ": times the write limit", codec, limit, "(limit)"));
  }
}

}  // namespace bench
