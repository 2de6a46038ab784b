// lumaro-ghost board on a pile of shared ghosts: 200 ghosts of 3 laps at 120 frames a second on 5 maps, the
// terminal board beside `check` of the same files (which reads each with the plugin's codec), with the bytes the
// board keeps per run beside one ghost's frames; and a folder of 1,000 and 10,000 files, one in a hundred of the
// map asked for, whose other files are read no further than their headers: the time per file must not grow.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <numbers>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchGhosts.h"
#include "BenchRegistry.h"
#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostFrame.h"
#include "plugin/HostNames.h"
#include "tools/ghost/GhostTool.h"
#include "tools/ghost/board/BoardBuild.h"
#include "tools/ghost/board/BoardData.h"

namespace bench {
namespace {

constexpr int pileMaps = 5;
constexpr int pileRunsPerMap = 40;
constexpr int pileLaps = 3;
constexpr double pileLapSeconds = 20.0;

// Three laps of a circle of its map's size at 120 frames a second, each run a little slower than the last.
std::vector<GhostFrame> pileRun(int map, int run) {
  const double radius = 2000.0 + 500.0 * map, lapSeconds = pileLapSeconds + 0.01 * run;
  std::vector<GhostFrame> frames;
  const auto count = static_cast<std::size_t>(lapSeconds * pileLaps * 120.0) + 1;
  for (std::size_t i = 0; i < count; ++i) {
    const double seconds = static_cast<double>(i) / 120.0;
    const double angle = 2.0 * std::numbers::pi * seconds / lapSeconds;
    GhostFrame frame;
    frame.time = static_cast<std::int32_t>(seconds * 1000.0);
    frame.x = static_cast<float>(radius * std::cos(angle));
    frame.y = static_cast<float>(radius * std::sin(angle));
    frame.z = 17.0f;
    frames.push_back(frame);
  }
  return frames;
}

struct Pile {
  std::filesystem::path folder;
  std::vector<std::string> files;
  std::size_t largestFrames = 0;
};

const Pile& pile() {
  static Pile made;
  if (!made.files.empty()) return made;
  made.folder = scratchFolder() / "pile";
  std::filesystem::create_directories(made.folder);
  for (int map = 0; map < pileMaps; ++map) {
    const std::string mapName = "Map" + std::to_string(map);
    for (int run = 0; run < pileRunsPerMap; ++run) {
      const std::vector<GhostFrame> frames = pileRun(map, run);
      const std::string player = "Player" + std::to_string(run);
      const GhostHeader header{mapName, player, frames.back().time, pileLaps, writtenGhostVersion};
      const std::filesystem::path file = made.folder / (mapName + "-" + player + ".ghost");
      std::ofstream out(file, std::ios::binary);
      writeGhost(out, header, frames);
      made.files.push_back(file.string());
      made.largestFrames = std::max(made.largestFrames, frames.size());
    }
  }
  return made;
}

// A folder of fileCount short ghosts, one in a hundred on the map the board asks for.
const std::filesystem::path& mixedFolder(std::size_t fileCount) {
  static std::map<std::size_t, std::filesystem::path> folders;
  std::filesystem::path& folder = folders[fileCount];
  if (!folder.empty()) return folder;
  folder = scratchFolder() / ("mixed-" + std::to_string(fileCount));
  std::filesystem::create_directories(folder);
  const auto& run = sampleRun(200);
  for (std::size_t i = 0; i < fileCount; ++i) {
    const GhostHeader header{i % 100 == 0 ? std::string_view("Asked") : std::string_view("OtherMap"), "Player",
                             run.back().time, 1, writtenGhostVersion};
    char name[48];
    std::snprintf(name, sizeof name, "ghost-%05zu.ghost", i);
    std::ofstream out(folder / name, std::ios::binary);
    writeGhost(out, header, run);
  }
  return folder;
}

void tool(benchmark::State& state, const std::vector<std::string>& words) {
  for (auto _ : state) {
    std::ostringstream out, err;
    const int status = lumaro_ghost::runGhostTool(words, out, err);
    if (status > 1) state.SkipWithError(("lumaro-ghost failed: " + err.str()).c_str());
    benchmark::DoNotOptimize(out.str().size());
  }
}

void checkPile(benchmark::State& state) {
  std::vector<std::string> words{"check"};
  words.insert(words.end(), pile().files.begin(), pile().files.end());
  tool(state, words);
}

void boardPile(benchmark::State& state) {
  tool(state, {"board", pile().folder.string()});
  // What the board keeps, with no ghost read any more, against one ghost's frames.
  const std::size_t before = heapBytesInUse();
  const lumaro_ghost::Board board = lumaro_ghost::buildBoard({pile().folder.string()});
  const std::size_t kept = heapBytesInUse() - before;
  std::size_t runs = 0;
  for (const lumaro_ghost::BoardGroup& group : board.groups) runs += group.runs.size();
  state.counters["keptBytesPerRun"] = static_cast<double>(kept) / static_cast<double>(runs);
  state.counters["ghostFrameBytes"] = static_cast<double>(pile().largestFrames * sizeof(GhostFrame));
}

void boardFolder(benchmark::State& state, std::size_t fileCount) {
  tool(state, {"board", mixedFolder(fileCount).string(), "--map", "Asked"});
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * fileCount));
}

}  // namespace

void registerBoardBenchmarks(std::vector<Ratio>& ratios) {
  benchmark::RegisterBenchmark("board/check/200", checkPile)->Unit(benchmark::kMillisecond)->Iterations(3);
  benchmark::RegisterBenchmark("board/terminal/200", boardPile)->Unit(benchmark::kMillisecond)->Iterations(3);
  ratios.push_back(
      timesSlower("board of 200 ghosts: time, times check's", "board/terminal/200", "board/check/200", "<= 2"));
  ratios.push_back(counter("board: bytes kept a run", "board/terminal/200", "keptBytesPerRun", "bounded"));
  ratios.push_back(counter("board: bytes of one ghost's frames", "board/terminal/200", "ghostFrameBytes", "-"));
  for (const std::size_t count : {std::size_t{1'000}, std::size_t{10'000}}) {
    const std::string name = "board/folder/" + sizeName(count);
    benchmark::RegisterBenchmark(name.c_str(), boardFolder, count)->Unit(benchmark::kMillisecond)->Iterations(3);
  }
  ratios.push_back({"board --map, 10k-file folder: time per file, times 1k's", "board/folder/10k", "board/folder/1k",
                    "<= 1.5", [](const Figures& s, const Figures* r) { return s.cpuSeconds / r->cpuSeconds / 10.0; }});
}

}  // namespace bench
