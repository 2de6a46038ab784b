// lumaro-ghost check over the hostile-input catalogue, asked about the page on "TestMap" set to 1 lap: every
// file the plugin lists and loads cleanly passes, every other one fails with a line naming what the plugin
// does with it (the line it stops at, the lines it skips, no frames, no place on the list), and entries that
// are no regular file, or named as Windows devices, are refused without being opened.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

#include "hostile/HostileEntries.h"
#include "library/platform/DeviceName.h"
#include "support/TempFolder.h"
#include "tools/ghost/GhostTool.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// Ends the program rather than letting a read that never returns (a pipe) hang the suite.
struct HangGuard {
  HangGuard() { alarm(60); }
  ~HangGuard() { alarm(0); }
};

struct Checked {
  int status = -1;
  Lines out;
  std::string err;
};

Lines linesOf(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool startsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

// How many of the report's lines about this file (FILE:LINE: or FILE:) hold these words.
std::size_t linesWith(const Checked& checked, const std::string& file, const std::string& words) {
  std::size_t count = 0;
  for (const std::string& line : checked.out) {
    if (startsWith(line, file + ":") && line.find(words) != std::string::npos) ++count;
  }
  return count;
}

class HostileCheck : public ::testing::Test {
protected:
  HostileCheck() {
    fs::create_directories(folder.path() / "outside");
    std::ofstream(folder.path() / "outside" / "precious.ghost", std::ios::binary)
        << "TestMap,Me,0,1-Lap,1.1\r\n0,0,0,0,0,0,0\r\n";
    fs::create_directories(ghosts());
    for (const HostileEntry& entry : catalogue) entry.make(ghosts() / entry.name, folder.path() / "outside");
  }

  fs::path ghosts() const { return folder.path() / "Ghosts"; }

  Checked check(const HostileEntry& entry) const {
    std::ostringstream out, err;
    Checked checked;
    checked.status = lumaro_ghost::runGhostTool(
        {"check", "--map", "TestMap", "--laps", "1", (ghosts() / entry.name).string()}, out, err);
    checked.out = linesOf(out.str());
    checked.err = err.str();
    return checked;
  }

  HangGuard guard;
  TempFolder folder;
  const std::vector<HostileEntry> catalogue = hostileCatalogue();
};

// What checking every entry may add to the process's peak. AddressSanitizer keeps freed memory in quarantine
// and shadows every byte, so under it the same work peaks higher.
#if defined(__SANITIZE_ADDRESS__)
constexpr long addedPeakLimitMegabytes = 240;
#else
constexpr long addedPeakLimitMegabytes = 120;
#endif

long peakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

// A name with a control byte is quoted escaped in the report: such entries are matched by their status and
// whole-file lines only.
bool printsPlainly(const std::string& name) {
  return std::ranges::none_of(name, [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

TEST_F(HostileCheck, NamesWhatThePluginDoesWithEachEntryAndPassesOnlyWhatItListsAndLoadsCleanly) {
  const long before = peakMegabytes();
  std::size_t clean = 0, refused = 0, failed = 0;
  for (const HostileEntry& entry : catalogue) {
    SCOPED_TRACE(entry.name);
    const Checked checked = check(entry);
    const std::string file = printsPlainly(entry.name) ? (ghosts() / entry.name).string() : "";

    std::error_code error;
    if (!fs::is_regular_file(fs::status(ghosts() / entry.name, error)) || isWindowsDeviceName(entry.name)) {
      // A folder, pipe, loop or dangling link: an error, nothing read.
      EXPECT_EQ(checked.status, 1);
      EXPECT_TRUE(checked.out.empty());
      EXPECT_NE(checked.err.find(entry.name), std::string::npos) << checked.err;
      ++refused;
      continue;
    }

    const bool loadsCleanly =
        entry.listed && entry.frames > 0 && entry.importLines == Lines{"Imported " + entry.name + "."};
    if (loadsCleanly) {
      // Listed and loaded cleanly, it passes, unless its path cannot be the run its header names: the leap
      // of 4e9 ms across the float range never comes back over its start line.
      const bool incomplete = entry.name == "huge-leap.ghost";
      EXPECT_EQ(checked.status, incomplete ? 1 : 0) << ::testing::PrintToString(checked.out);
      if (incomplete) {
        EXPECT_EQ(linesWith(checked, file, ": it cannot be a complete run of 1 lap"), 1u);
      }
      ++clean;
      continue;
    }
    ++failed;
    EXPECT_EQ(checked.status, 1) << ::testing::PrintToString(checked.out);
    EXPECT_EQ(checked.err, "");
    if (file.empty()) continue;

    bool named = false;
    for (const std::string& said : entry.importLines) {
      const std::string stopped = "Stopped reading " + entry.name + " at line ";
      if (startsWith(said, stopped)) {
        // "Stopped reading F at line N: REASON (frames loaded: K)." -> "F:N: REASON: the import stops ..."
        const std::string where = said.substr(stopped.size(), said.find(" (frames loaded") - stopped.size());
        EXPECT_EQ(linesWith(checked, file, ":" + where + ": the import stops reading here"), 1u)
            << said << "\n"
            << ::testing::PrintToString(checked.out);
        named = true;
      } else if (startsWith(said, "Skipped ")) {
        const std::size_t count = std::stoul(said.substr(8));
        const std::size_t listed = std::min<std::size_t>(count, 1000);  // one by one, the rest counted
        EXPECT_EQ(linesWith(checked, file, "fewer than seven fields: the import skips the line"), listed);
        EXPECT_EQ(linesWith(checked, file, " more lines with a problem from here on"), count > listed ? 1u : 0u);
        named = true;
      } else if (said == entry.name + " holds no frames.") {
        EXPECT_EQ(linesWith(checked, file, "no frame"), 1u) << ::testing::PrintToString(checked.out);
        named = true;
      }
    }
    if (!entry.listed) {
      // The page lists no file that holds nothing; an empty file is named as such.
      EXPECT_GE(linesWith(checked, file, "list") + linesWith(checked, file, "the file is empty"), 1u)
          << ::testing::PrintToString(checked.out);
      named = true;
    }
    EXPECT_TRUE(named) << "the catalogue's outcome is one the test does not know";
  }
  // Mended: the tool held every line whole, so the 100 MB lines took hundreds of megabytes. The million
  // frames are the most it holds now, with their line numbers and their profile.
  EXPECT_LT(peakMegabytes() - before, addedPeakLimitMegabytes)
      << "megabytes of peak memory added by checking every entry";
  // Every kind is there: the test would prove nothing on a catalogue it misreads.
  EXPECT_GE(clean, 20u);
  EXPECT_GE(failed, 20u);
  EXPECT_EQ(refused, 15u);
}

}  // namespace
