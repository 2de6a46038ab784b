// The settings page, end to end through files: listing the ghost folder, reading each file's header and
// writing the page, against the literal generator (each file opened by its full path through a stream and
// its first line read with getline, split with splitString and read with stoi; the page written by
// truncating and rewriting). Median and worst regeneration are counted in wall time, since a stall on
// closing the page file costs no CPU. The three ways of replacing the page file are measured on their own.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <map>
#include <ratio>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchGhosts.h"
#include "BenchRegistry.h"
#include "library/SplitString.h"
#include "race/RaceTime.h"
#include "ui/GhostChoice.h"
#include "ui/SettingsPageFile.h"
#include "ui/SettingsPageText.h"

namespace bench {
namespace {

std::string regeneratedPage(const std::filesystem::path& folder) {
  SettingsPageState page;
  page.ghostChoices = ghostChoices(folder, folderMapName, folderLapCount);
  page.status = "Imported ghost-00000.ghost.";
  return settingsPageText(page);
}

std::vector<std::string> literalChoices(const std::filesystem::path& folder) {
  std::vector<std::string> choices;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::ifstream in(entry.path());
    std::string line;
    if (!in.is_open() || !std::getline(in, line)) continue;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> fields = splitString(line, ",");
    if (fields.size() < 4 || fields[0] != folderMapName || std::stoi(fields[3]) != folderLapCount) continue;
    const std::string name = entry.path().filename().string();
    choices.push_back(fields[3] + " in " + formatRaceTime(std::stoi(fields[2])) + " by " + fields[1] + "(" + name +
                      ")@" + name);
  }
  return choices;
}

void writeByTruncating(const std::filesystem::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void writeByRenaming(const std::filesystem::path& file, const std::string& text) {
  std::filesystem::path scratch = file;
  scratch += ".new";
  writeByTruncating(scratch, text);
  std::filesystem::rename(scratch, file);
}

template <typename Regenerate>
void timeRegenerations(benchmark::State& state, Regenerate regenerate) {
  std::vector<double> milliseconds;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    regenerate();
    milliseconds.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(milliseconds.begin(), milliseconds.end());
  state.counters["medianMs"] = milliseconds[milliseconds.size() / 2];
  state.counters["worstMs"] = milliseconds.back();
}

void pageWithCodec(benchmark::State& state, std::size_t fileCount) {
  const auto& folder = sampleGhostFolder(fileCount);
  const auto pageFile = scratchFolder() / "Lumaro.set";
  std::vector<std::string> literal = literalChoices(folder);
  std::sort(literal.begin(), literal.end());
  if (ghostChoices(folder, folderMapName, folderLapCount) != literal || literal.size() != (fileCount + 1) / 2) {
    state.SkipWithError("the page lists other ghosts than the literal generator");
  }
  timeRegenerations(state, [&] { writeSettingsPageFile(pageFile, regeneratedPage(folder)); });
}

void pageLiterally(benchmark::State& state, std::size_t fileCount) {
  const auto& folder = sampleGhostFolder(fileCount);
  const auto pageFile = scratchFolder() / "Lumaro-literal.set";
  timeRegenerations(state, [&] {
    SettingsPageState page;
    page.ghostChoices = literalChoices(folder);
    page.status = "Imported ghost-00000.ghost.";
    writeByTruncating(pageFile, settingsPageText(page));
  });
}

// The floor of any page made from the folder's files: the listing, and one look at each file by its path
// (what a cache keyed by size and modification time would still pay).
void listingLimit(benchmark::State& state, std::size_t fileCount) {
  const auto& folder = sampleGhostFolder(fileCount);
  timeRegenerations(state, [&] {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      benchmark::DoNotOptimize(std::filesystem::last_write_time(entry.path(), error));
    }
  });
}

// A page of a thousand-ghost list: the text alternates between two lengths, as a page does when a status
// message changes.
void pageFileWrite(benchmark::State& state, void (*write)(const std::filesystem::path&, const std::string&)) {
  const std::string longer = regeneratedPage(sampleGhostFolder(1'000));
  const std::string shorter = longer.substr(0, longer.size() - 40) + "\r\n";
  const auto pageFile = scratchFolder() / "Lumaro-write.set";
  bool flip = false;
  timeRegenerations(state, [&] {
    write(pageFile, flip ? longer : shorter);
    flip = !flip;
  });
  if (fileBytes(pageFile) != (flip ? shorter : longer)) state.SkipWithError("the page file holds other bytes");
}

}  // namespace

void registerSettingsPageBenchmarks(const Sizes& sizes, std::vector<Ratio>& ratios) {
  for (const std::size_t count : sizes.fileCounts) {
    const std::string size = sizeName(count);
    const std::string codec = "page/codec/" + size;
    const std::string literal = "page/literal/" + size;
    benchmark::RegisterBenchmark(codec.c_str(), pageWithCodec, count)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(literal.c_str(), pageLiterally, count)->Unit(benchmark::kMillisecond);
    ratios.push_back(counter("page " + size + " files: median ms per regeneration", codec, "medianMs",
                             count <= 1'000 ? "<= 2" : "<= 20"));
    ratios.push_back(
        counter("page " + size + " files: worst ms per regeneration", codec, "worstMs", count <= 1'000 ? "<= 5" : "-"));
    ratios.push_back(
        counter("page " + size + " files: median ms, literal generator", literal, "medianMs", "(baseline)"));
    const std::string limit = "page/listingLimit/" + size;
    benchmark::RegisterBenchmark(limit.c_str(), listingLimit, count)->Unit(benchmark::kMillisecond);
    ratios.push_back(
        counter("page " + size + " files: median ms, listing + one stat per file", limit, "medianMs", "(limit)"));
    ratios.push_back(timesFaster("page " + size + " files: times faster (CPU) than literal", codec, literal, "-"));
  }
  const std::pair<const char*, void (*)(const std::filesystem::path&, const std::string&)> writes[] = {
      {"pageWrite/truncate", writeByTruncating},
      {"pageWrite/rename", writeByRenaming},
      {"pageWrite/plugin",
       [](const std::filesystem::path& file, const std::string& text) { writeSettingsPageFile(file, text); }}};
  for (const auto& [name, write] : writes) {
    benchmark::RegisterBenchmark(name, pageFileWrite, write)->Unit(benchmark::kMicrosecond);
    ratios.push_back(counter(std::string(name) + ": median ms", name, "medianMs", "-"));
    ratios.push_back(counter(std::string(name) + ": worst ms", name, "worstMs", "-"));
  }
}

}  // namespace bench
