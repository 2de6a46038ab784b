// Replacing the settings page's file, three ways, each regeneration timed in wall time, since a stall on
// closing the file costs no CPU: truncating and rewriting it, writing a scratch file and renaming it over the
// page, and the plugin's way (a scratch file created exclusively, flushed to the disk and renamed over the page,
// as an export writes a ghost). The page itself, over folders of ghost files beside its floor, is measured by
// lumaro-page-bench (PageBenchMain.cpp), which runs on Windows too.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <ratio>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "BenchGhosts.h"
#include "BenchRegistry.h"
#include "ui/GhostChoiceList.h"
#include "ui/SettingsPageFile.h"
#include "ui/SettingsPageText.h"

namespace bench {
namespace {

std::string regeneratedPage(const std::filesystem::path& folder) {
  const std::vector<std::string> choices = ghostChoices(folder, folderMapName, folderLapCount);
  SettingsPageState page;
  page.ghostChoices = choices;
  page.status = "Imported ghost-00000.ghost.";
  return settingsPageText(page);
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

// A page of a thousand-ghost list: the text alternates between two lengths, as a page does when a status
// message changes.
void pageFileWrite(benchmark::State& state, void (*write)(const std::filesystem::path&, const std::string&)) {
  const std::string longer = regeneratedPage(sampleGhostFolder(1'000));
  const std::string shorter = longer.substr(0, longer.size() - 40) + "\r\n";
  const auto pageFile = scratchFolder() / "Lumaro-write.set";
  bool flip = false;
  std::vector<double> milliseconds;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    write(pageFile, flip ? longer : shorter);
    milliseconds.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    flip = !flip;
  }
  std::sort(milliseconds.begin(), milliseconds.end());
  state.counters["medianMs"] = milliseconds[milliseconds.size() / 2];
  state.counters["worstMs"] = milliseconds.back();
  if (fileBytes(pageFile) != (flip ? shorter : longer)) state.SkipWithError("the page file holds other bytes");
}

}  // namespace

void registerPageFileWriteBenchmarks(std::vector<Ratio>& ratios) {
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
