// The hostile-input catalogue driven through everything that reads the ghost folder: the settings page lists
// exactly the entries it may and stays well formed, picking each entry gives the written console lines and
// keeps the written number of frames, playback of what was kept writes only finite values and ends, nothing
// outside the folder changes, and all of it in bounded time and memory.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/Values.h"
#include "hostile/HostileEntries.h"
#include "library/ghostfile/GhostFrame.h"
#include "plugin/Lumaro.h"
#include "sim/Console.h"
#include "sim/Game.h"
#include "sim/KismetMap.h"
#include "support/PluginHarness.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

std::string fileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

long peakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

// Ends the program rather than letting a read that never returns (a pipe) hang the suite.
struct HangGuard {
  HangGuard() { alarm(300); }
  ~HangGuard() { alarm(0); }
};

// Every entry under a folder (links not followed) with its bytes, or what it is when it is no file.
void snapshotInto(const fs::path& folder, const std::string& prefix, std::map<std::string, std::string>& entries) {
  for (const auto& entry : fs::directory_iterator(folder)) {
    const fs::file_status status = entry.symlink_status();
    const std::string name = prefix + entry.path().filename().string();
    if (fs::is_symlink(status)) {
      entries[name] = "link to " + fs::read_symlink(entry.path()).string();
    } else if (fs::is_directory(status)) {
      entries[name] = "folder";
      snapshotInto(entry.path(), name + "/", entries);
    } else if (fs::is_regular_file(status)) {
      const std::uintmax_t size = fs::file_size(entry.path());
      entries[name] = size > 1'000'000 ? "size " + std::to_string(size) : fileBytes(entry.path());
    } else {
      entries[name] = "type " + std::to_string(static_cast<int>(status.type()));
    }
  }
}

std::map<std::string, std::string> snapshot(const fs::path& folder) {
  std::map<std::string, std::string> entries;
  snapshotInto(folder, "", entries);
  return entries;
}

// The page's lines, checked for shape: CR LF ends only, the title, then controls "N|...".
Lines pageLines(const std::string& page) {
  Lines lines;
  std::size_t at = 0;
  while (at < page.size()) {
    const std::size_t end = page.find("\r\n", at);
    if (end == std::string::npos) {
      ADD_FAILURE() << "the page does not end in CR LF";
      break;
    }
    lines.push_back(page.substr(at, end - at));
    at = end + 2;
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "line " << i + 1;
    if (i == 0) {
      EXPECT_EQ(line, "Lumaro");
    } else {
      const std::size_t bar = line.find('|');
      EXPECT_TRUE(
          bar != std::string::npos && bar > 0 &&
          std::all_of(line.begin(), line.begin() + static_cast<long>(bar), [](char c) { return c >= '0' && c <= '9'; }))
          << "line " << i + 1 << " is no control";
    }
  }
  return lines;
}

// The ghost list's entries as label -> value.
std::map<std::string, std::string> listEntries(const Lines& lines) {
  const std::string start = "6|Load a ghost|lm_ghostfilepath| @ ";
  std::map<std::string, std::string> entries;
  for (const std::string& line : lines) {
    if (line.rfind(start, 0) != 0) continue;
    std::size_t at = start.size();
    while (at < line.size()) {
      EXPECT_EQ(line[at], '&');
      const std::size_t next = std::min(line.find('&', at + 1), line.size());
      const std::string option = line.substr(at + 1, next - at - 1);
      const std::size_t separator = option.find('@');
      EXPECT_NE(separator, std::string::npos) << option;
      EXPECT_EQ(option.find('@', separator + 1), std::string::npos) << option;
      entries[option.substr(separator + 1)] = option.substr(0, separator);
      at = next;
    }
  }
  return entries;
}

class HostileCatalogue : public ::testing::Test {
protected:
  HostileCatalogue() {
    host.game().loadMap(sim::workshopMap("TestMap"));
    host.game().runFor(0.3);
    outside = host.game().root() / "outside";
    fs::create_directories(outside / "sub");
    std::ofstream(outside / "precious.ghost", std::ios::binary) << "TestMap,Me,5,1-Lap,1.1\r\n0,0,0,0,0,0,0\r\n"
                                                                << "5,1,0,0,0,0,0\r\n9,2,0,0,0,0,0\r\n";
    for (const HostileEntry& entry : catalogue) entry.make(host.game().ghostFolder() / entry.name, outside);
    fs::create_directories(host.game().ghostFolder() / "sub");
    std::ofstream(host.game().ghostFolder() / "sub" / "inner.ghost", std::ios::binary) << "h\r\n0,0,0,0,0,0,0\r\n";
  }

  // Picks the selection as the page's list does: the variable is set, its change handler imports.
  Lines pick(const std::string& selection) {
    host.newLines();
    host.console().setValue(*host.console().find("lm_ghostfilepath"), selection);
    return host.newLines();
  }

  HangGuard guard;
  PluginHarness host;
  fs::path outside;
  const std::vector<HostileEntry> catalogue = hostileCatalogue();
};

TEST_F(HostileCatalogue, HoldsAtLeastFiftyEntriesWithDistinctNames) {
  std::set<std::string> names;
  for (const HostileEntry& entry : catalogue) names.insert(entry.name);
  EXPECT_EQ(names.size(), catalogue.size());
  EXPECT_GE(catalogue.size(), 50u);
}

TEST_F(HostileCatalogue, ThePageListsExactlyTheListableEntriesReadingLittle) {
  const auto outsideBefore = snapshot(outside);
  const long before = peakMegabytes();
  host.run("lm_update_list");
  EXPECT_LT(peakMegabytes() - before, 16) << "megabytes of peak memory added by one refresh";

  const auto entries = listEntries(pageLines(fileBytes(host.game().settingsPage())));
  std::set<std::string> listed;
  for (const auto& [value, label] : entries) listed.insert(value);
  std::set<std::string> expected;
  for (const HostileEntry& entry : catalogue) {
    if (entry.listed) expected.insert(entry.name);
    if (entry.listed && !entry.label.empty()) {
      EXPECT_EQ(entries.contains(entry.name) ? entries.at(entry.name) : "", entry.label);
    }
  }
  EXPECT_EQ(listed, expected);
  EXPECT_TRUE(snapshot(outside) == outsideBefore);
}

TEST_F(HostileCatalogue, PickingEachEntryGivesItsMessagesAndFramesAndPlaybackStaysFinite) {
  const auto folderBefore = snapshot(host.game().ghostFolder());
  const auto outsideBefore = snapshot(outside);
  const long before = peakMegabytes();

  for (const HostileEntry& entry : catalogue) {
    SCOPED_TRACE(entry.name);
    EXPECT_EQ(pick(entry.name), entry.importLines);
    EXPECT_EQ(host.plugin().ghostFrames.size(), entry.frames);

    // Playback of what was kept: the ghost car moves, and only to finite places and angles.
    sim::KismetVariable& position = host.variable("GhostPosition", sim::VariableType::Vector);
    sim::KismetVariable& rotation = host.variable("GhostRotation", sim::VariableType::Vector);
    position.vectorValue = rotation.vectorValue = Vector{-7.0f, -7.0f, -7.0f};
    host.run("lm_play");
    const Lines said = host.newLines();
    if (entry.frames == 0) {
      EXPECT_EQ(said, Lines{"No Ghost loaded."});
      continue;
    }
    EXPECT_EQ(said, Lines{});
    for (int tick = 0; tick < 40; ++tick) {
      host.game().tick();
      for (const Vector& v : {position.vectorValue, rotation.vectorValue}) {
        ASSERT_TRUE(std::isfinite(v.X) && std::isfinite(v.Y) && std::isfinite(v.Z)) << "tick " << tick;
      }
    }
    EXPECT_NE(position.vectorValue.X, -7.0f) << "the ghost car was never placed";
    host.run("lm_stop");
    host.game().runTicks(2);
  }
  // The import gives up on a line longer than 4096 bytes, so no entry, however large, costs more than its
  // frames: the million short lines are the largest ghost, 28 MB loaded. The bound leaves room for the
  // sanitizers, which keep freed blocks a while; one 100 MB line held whole would pass it by far.
  EXPECT_LT(peakMegabytes() - before, 192) << "megabytes of peak memory added by picking every entry";
  EXPECT_TRUE(snapshot(host.game().ghostFolder()) == folderBefore) << "the plugin changed the ghost folder";
  EXPECT_TRUE(snapshot(outside) == outsideBefore);
}

TEST_F(HostileCatalogue, SelectionsPointingOutOfTheFolderReadOnlyARegularFile) {
  for (const std::string& selection : hostileSelections(outside)) {
    SCOPED_TRACE(selection);
    const bool found = fs::is_regular_file(host.game().ghostFolder() / selection);
    host.plugin().ghostFrames.assign(3, GhostFrame{});
    EXPECT_EQ(pick(selection), Lines{(found ? "Imported " : "No Ghost found ") + selection + "."});
    EXPECT_EQ(host.plugin().ghostFrames.size(), found ? 3u : 0u);
  }
  EXPECT_EQ(pick("sub/inner.ghost"), Lines{"Imported sub/inner.ghost."});
  EXPECT_EQ(host.plugin().ghostFrames.size(), 1u);
}

}  // namespace
