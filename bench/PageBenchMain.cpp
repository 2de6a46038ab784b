// lumaro-page-bench: the settings page made over folders of ghost files, beside its floor (PageFloor.h) and
// the literal generator, all measured in one run; built for Linux and for Windows (run under Wine there). The
// figures take turns in rounds, so a change of load on a shared machine falls on all of them alike; a figure
// is the median over the rounds of the thread's CPU time per page. Sizes: 10 and 1,000 ghost files; --large
// adds 10,000; --files N (given again for more sizes) measures those sizes instead, and --rounds N sets the
// rounds (15). --floor known|new FOLDER PAGE N does nothing but the floor N times over FOLDER, writing PAGE's
// bytes beside it as its page: bench/page_through_host.py measures it as a process beside lumaro-host.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "BenchGhosts.h"
#include "PageFloor.h"
#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostFrame.h"
#include "library/ghostfile/SplitString.h"
#include "library/platform/FileStamp.h"
#include "plugin/HostNames.h"
#include "race/RaceTime.h"
#include "ui/GhostChoice.h"
#include "ui/GhostChoiceList.h"
#include "ui/PageBytes.h"
#include "ui/SettingsPageFile.h"
#include "ui/SettingsPageText.h"

namespace {

namespace fs = std::filesystem;

constexpr std::string_view mapName = "TestMap";
constexpr int lapCount = 1;
int rounds = 15;
// Each figure runs this long in a round: enough for the scheduler's steps in which Windows counts CPU time.
constexpr double roundSeconds = 0.1;

struct ScratchFolder {
  fs::path path;
  ScratchFolder() {
    std::random_device random;
    path = fs::temp_directory_path() / ("lumaro-page-bench-" + std::to_string(random()));
    fs::create_directories(path);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
};

// fileCount ghost files of twenty frames, half of them for the map and lap count above.
fs::path makeGhostFolder(const fs::path& scratch, std::size_t fileCount) {
  fs::path folder = scratch / ("folder-" + std::to_string(fileCount));
  fs::create_directories(folder);
  std::vector<GhostFrame> run(20);
  for (std::size_t i = 0; i < run.size(); ++i) {
    const auto step = static_cast<float>(i);
    run[i] = GhostFrame{0.0f,
                        16384.0f,
                        0.0f,
                        -12345.67f + step,
                        2345.12f,
                        17.01f,
                        static_cast<std::int32_t>(i) * bench::frameSpacingMs};
  }
  for (std::size_t i = 0; i < fileCount; ++i) {
    const GhostHeader header{i % 2 == 0 ? mapName : std::string_view("OtherMap"), "Player", 83456 + static_cast<int>(i),
                             lapCount, writtenGhostVersion};
    std::array<char, 48> name{};
    std::snprintf(name.data(), name.size(), "ghost-%05zu.ghost", i);
    std::ofstream out(folder / name.data(), std::ios::binary);
    writeGhost(out, header, run);
  }
  return folder;
}

std::string pageText(const std::vector<std::string>& choices) {
  SettingsPageState page;
  page.ghostChoices = choices;
  page.status = "Imported ghost-00000.ghost.";
  return settingsPageText(page);
}

// Each file opened by its full path through a stream, its first line read with getline, split with splitString
// and read with stoi; the page written by truncating and rewriting its file.
std::vector<std::string> literalChoices(const fs::path& folder) {
  std::vector<std::string> choices;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::ifstream in(entry.path());
    std::string line;
    if (!in.is_open() || !std::getline(in, line)) continue;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> fields = splitString(line, ",");
    if (fields.size() < 4 || fields[0] != mapName || std::stoi(fields[3]) != lapCount) continue;
    const std::string name = entry.path().filename().string();
    choices.push_back(
        pageListEntry(ghostChoiceLabel(fields[3], formatRaceTime(std::stoi(fields[2])), fields[1], name), name));
  }
  return choices;
}

void writeByTruncating(const fs::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

struct Figure {
  Figure(std::string label_, std::function<void()> regenerate_)
      : label(std::move(label_)), regenerate(std::move(regenerate_)) {}
  std::string label;
  std::function<void()> regenerate;
  int iterations = 1;               // per round
  std::vector<double> cpuPerPage;   // seconds, one per round
  std::vector<double> wallPerPage;  // seconds, every page
  double cpuMilliseconds() const {
    std::vector<double> sorted = cpuPerPage;
    std::sort(sorted.begin(), sorted.end());
    return sorted[sorted.size() / 2] * 1e3;
  }
  double wallMilliseconds(double share) const {
    std::vector<double> sorted = wallPerPage;
    std::sort(sorted.begin(), sorted.end());
    return sorted[std::min(sorted.size() - 1, static_cast<std::size_t>(share * static_cast<double>(sorted.size())))] *
           1e3;
  }
};

void runRound(Figure& figure) {
  const double cpuStart = bench::threadCpuSeconds();
  for (int i = 0; i < figure.iterations; ++i) {
    const auto start = std::chrono::steady_clock::now();
    figure.regenerate();
    figure.wallPerPage.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  figure.cpuPerPage.push_back((bench::threadCpuSeconds() - cpuStart) / figure.iterations);
}

void measure(std::vector<Figure>& figures) {
  for (Figure& figure : figures) {
    const auto start = std::chrono::steady_clock::now();
    figure.regenerate();  // warm-up, and the page's time sets the pages a round takes
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    figure.iterations = std::max(1, static_cast<int>(roundSeconds / std::max(seconds, 1e-6)));
  }
  for (int round = 0; round < rounds; ++round) {
    for (Figure& figure : figures) runRound(figure);
  }
}

void check(bool holds, const std::string& what) {
  if (!holds) throw std::runtime_error(what);
}

// The floor alone, times times, as one process: the page's bytes are those of an existing page file, written
// to a file beside it.
int floorOnly(const std::string& kind, const fs::path& folder, const fs::path& pageFile, long times) {
  std::ifstream in(pageFile, std::ios::binary);
  const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  fs::path floorPageFile = pageFile;
  floorPageFile += ".floor";
  const auto floor = kind == "known" ? bench::floorOfAKnownFolder : bench::floorOfANewFolder;
  for (long i = 0; i < times; ++i) floor(folder, floorPageFile, page);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 6 && std::strcmp(argv[1], "--floor") == 0) {
    return floorOnly(argv[2], argv[3], argv[4], std::strtol(argv[5], nullptr, 10));
  }
  std::vector<std::size_t> sizes = {10, 1'000};
  std::vector<std::size_t> chosen;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--large") == 0) {
      sizes.push_back(10'000);
    } else if (i + 1 < argc && std::strcmp(argv[i], "--files") == 0) {
      chosen.push_back(std::strtoul(argv[++i], nullptr, 10));
    } else if (i + 1 < argc && std::strcmp(argv[i], "--rounds") == 0) {
      rounds = std::max(1, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr,
                   "usage: lumaro-page-bench [--large] [--files N]... [--rounds N]\n"
                   "       lumaro-page-bench --floor known|new FOLDER PAGE N\n");
      return 2;
    }
  }
  if (!chosen.empty()) sizes = chosen;
#if defined(_WIN32)
  std::printf("lumaro-page-bench on Windows (or Wine)\n");
#else
  std::printf("lumaro-page-bench on Linux\n");
#endif
  try {
    const ScratchFolder scratch;
    std::vector<fs::path> folders;
    folders.reserve(sizes.size());
    for (const std::size_t size : sizes) folders.push_back(makeGhostFolder(scratch.path, size));
    // The page keeps a file's header only once the file's stamp has settled, as it will have in a player's
    // folder: the files written just now are first left to settle.
    std::printf("letting the new files settle for %.0f s\n", static_cast<double>(stampSettlingNanoseconds) * 1e-9);
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::nanoseconds(stampSettlingNanoseconds + 100'000'000));

    std::printf("\n%7s  %-66s %9s %9s %9s\n", "files", "figure", "CPU ms", "median ms", "worst ms");
    for (std::size_t n = 0; n < sizes.size(); ++n) {
      const fs::path& folder = folders[n];
      const fs::path pageFile = scratch.path / std::string(names::settingsPageFile);
      const fs::path literalPageFile = scratch.path / "Lumaro-literal.set";
      const fs::path floorPageFile = scratch.path / "Lumaro-floor.set";

      GhostChoiceList kept;
      kept.choices(folder, mapName, lapCount, fileClockNow());
      std::vector<std::string> literal = literalChoices(folder);
      std::sort(literal.begin(), literal.end());
      // Files past the list's bound are read at every page; those it keeps are not.
      check(kept.choices(folder, mapName, lapCount, fileClockNow()) == literal &&
                kept.filesRead() + kept.filesKept() == sizes[n] && literal.size() == (sizes[n] + 1) / 2,
            "the page with its kept headers lists other ghosts than the literal generator, or read kept files again");
      std::printf("%7zu  the page keeps %zu files (%zu bytes) and reads %zu again at every page\n", sizes[n],
                  kept.filesKept(), kept.heldBytes(), kept.filesRead());
      check(ghostChoices(folder, mapName, lapCount) == literal, "the first page lists other ghosts");
      const std::string page = pageText(literal);

      std::vector<Figure> figures;
      figures.emplace_back("page, headers kept (every page after the first)", [&] {
        writeSettingsPageFile(pageFile, pageText(kept.choices(folder, mapName, lapCount, fileClockNow())));
      });
      figures.emplace_back("floor: listing, one look per file, page write",
                           [&] { bench::floorOfAKnownFolder(folder, floorPageFile, page); });
      figures.emplace_back("page, every file new (the first page)", [&] {
        GhostChoiceList fresh;
        writeSettingsPageFile(pageFile, pageText(fresh.choices(folder, mapName, lapCount, fileClockNow())));
      });
      figures.emplace_back("floor: listing, open + read + close per file, page write",
                           [&] { bench::floorOfANewFolder(folder, floorPageFile, page); });
      figures.emplace_back("literal generator",
                           [&] { writeByTruncating(literalPageFile, pageText(literalChoices(folder))); });
      measure(figures);
      for (const Figure& figure : figures) {
        std::printf("%7zu  %-66s %9.3f %9.3f %9.3f\n", sizes[n], figure.label.c_str(), figure.cpuMilliseconds(),
                    figure.wallMilliseconds(0.5), figure.wallMilliseconds(1.0));
      }
      std::printf("%7zu  %-66s %9.2f  (target <= 1.2)\n", sizes[n], "ratio: page, headers kept / its floor",
                  figures[0].cpuMilliseconds() / figures[1].cpuMilliseconds());
      std::printf("%7zu  %-66s %9.2f\n", sizes[n], "ratio: first page / its floor",
                  figures[2].cpuMilliseconds() / figures[3].cpuMilliseconds());
      std::printf("%7zu  %-66s %9.2f  (target >= 2 at 1,000 files)\n", sizes[n],
                  "times faster than the literal generator: page, headers kept",
                  figures[4].cpuMilliseconds() / figures[0].cpuMilliseconds());
      std::printf("%7zu  %-66s %9.2f\n", sizes[n], "times faster than the literal generator: first page",
                  figures[4].cpuMilliseconds() / figures[2].cpuMilliseconds());
      std::fflush(stdout);
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "lumaro-page-bench: %s\n", error.what());
    return 1;
  }
  return 0;
}
