// The page's ghost list reads a file again when its stamp changed, and at every page while it is unsettled.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "library/GhostFileHelpers.h"
#include "library/platform/FileStamp.h"
#include "library/platform/RegularFileReader.h"
#include "support/TempFolder.h"
#include "ui/GhostChoiceList.h"

namespace {

namespace fs = std::filesystem;

constexpr std::int64_t muchLater = std::numeric_limits<std::int64_t>::max();

std::int64_t latestTime(const fs::path& file) {
  const FileStamp stamp = RegularFileReader(file).stamp().value();
  return std::max(stamp.modified, stamp.changed);
}

// Writes a probe file until the system stamps it later than file: the clock has stepped since file was written.
void letTheClockStepPast(const fs::path& file, const fs::path& probe) {
  for (writeBytes(probe, "x"); latestTime(probe) <= latestTime(file);) writeBytes(probe, "x");
}

TEST(GhostChoiceList, ReadsAgainOnlyTheFilesWhoseIdentitySizeOrTimesChanged) {
  TempFolder folder;
  const fs::path ghosts = folder.path() / "Ghosts";
  writeBytes(ghosts / "a.ghost", "TestMap,Ann,5,1-Lap,1.1\r\n");
  writeBytes(ghosts / "b.ghost", "OtherMap,Bo,6,1-Lap,1.1\r\n");
  writeBytes(ghosts / "c.ghost", "TestMap,Cy,7,1-Lap,1.1\r\n");
  fs::create_symlink("c.ghost", ghosts / "link.ghost");
  fs::create_directory(ghosts / "x.ghost");
  ASSERT_EQ(mkfifo((ghosts / "pipe.ghost").c_str(), 0600), 0);
  const auto fresh = [&ghosts](const std::string& map) { return ghostChoices(ghosts, map, 1); };

  GhostChoiceList list;
  EXPECT_EQ(list.choices(ghosts, "TestMap", 1, muchLater), fresh("TestMap"));
  EXPECT_EQ(list.filesRead(), 4u);
  EXPECT_EQ(list.choices(ghosts, "TestMap", 1, muchLater), fresh("TestMap"));
  EXPECT_EQ(list.filesRead(), 0u);
  // Another map is chosen from the kept headers.
  EXPECT_EQ(list.choices(ghosts, "OtherMap", 1, muchLater), fresh("OtherMap"));
  EXPECT_EQ(list.filesRead(), 0u);

  // a is rewritten in place at its size, its modification time set back; b is replaced by a file of its size
  // and modification time; the link leads to another file of the same size.
  letTheClockStepPast(ghosts / "link.ghost", folder.path() / "probe");
  const fs::file_time_type written = fs::last_write_time(ghosts / "a.ghost");
  std::fstream(ghosts / "a.ghost", std::ios::in | std::ios::out | std::ios::binary) << "TestMap,Ana";
  fs::last_write_time(ghosts / "a.ghost", written);
  writeBytes(folder.path() / "b.new", "TestMap,Bob,6,1-Lap,1.1\r\n");
  fs::last_write_time(folder.path() / "b.new", fs::last_write_time(ghosts / "b.ghost"));
  fs::rename(folder.path() / "b.new", ghosts / "b.ghost");
  writeBytes(ghosts / "d.ghost", "TestMap,Dee,8,1-Lap,1.1\r\n");
  fs::remove(ghosts / "link.ghost");
  fs::create_symlink("d.ghost", ghosts / "link.ghost");
  const std::vector<std::string> now = list.choices(ghosts, "TestMap", 1, muchLater);
  EXPECT_EQ(now, fresh("TestMap"));
  EXPECT_EQ(now.front(), "1-Lap in 00:00:005 by Ana(a.ghost)@a.ghost");
  EXPECT_EQ(list.filesRead(), 4u);  // a, b, d and the link
  EXPECT_EQ(list.filesKept(), 5u);
  // A file gone is let go; a list bound to a byte keeps nothing and reads every file at every page.
  fs::remove(ghosts / "c.ghost");
  list.choices(ghosts, "TestMap", 1, muchLater);
  EXPECT_EQ(list.filesKept(), 4u);
  // The player's refresh forgets everything kept.
  list.forget();
  list.choices(ghosts, "TestMap", 1, muchLater);
  EXPECT_EQ(list.filesRead(), 4u);
  GhostChoiceList bound(1);
  bound.choices(ghosts, "TestMap", 1, muchLater);
  EXPECT_EQ(bound.choices(ghosts, "TestMap", 1, muchLater), fresh("TestMap"));
  EXPECT_EQ(bound.filesRead(), 4u);
  EXPECT_EQ(bound.filesKept(), 0u);
}

TEST(GhostChoiceList, WhatItHoldsBetweenPagesStaysWithinItsBound) {
  TempFolder folder;
  // Headers near the line limit and long names: a list that counted only text lengths held several times
  // its bound (a header's read buffer, the spare room of a list sized by the folder, the listing's names).
  for (int n = 0; n < 400; ++n) {
    writeBytes(folder.path() / (std::string(200, 'n') + std::to_string(n) + ".ghost"),
               "TestMap,Ann,5,1-Lap,1.1" + std::string(300, ' ') + "\r\n");
  }
  for (const std::size_t bound : {std::size_t{64} << 10, std::size_t{1} << 20}) {
    GhostChoiceList list(bound);
    list.choices(folder.path(), "TestMap", 1, muchLater);
    list.choices(folder.path(), "TestMap", 1, muchLater);
    EXPECT_LE(list.heldBytes(), bound);
    EXPECT_GT(list.filesKept(), 0u);
  }
}

// Mended: the list's growth was charged whole against its bound at every doubling: 8,192 files kept at most.
TEST(GhostChoiceList, KeepsTwentyThousandOrdinaryGhosts) {
  TempFolder folder;
  for (int n = 10'000; n < 30'000; ++n)
    std::ofstream(folder.path() / ("ghost-" + std::to_string(n) + ".ghost"))
        << "TestMap,Player," << n << ",1-Lap,1.1\n";
  GhostChoiceList list;
  list.choices(folder.path(), "TestMap", 1, muchLater);
  EXPECT_EQ(list.choices(folder.path(), "TestMap", 1, muchLater).size(), 20'000u);
  EXPECT_EQ(list.filesRead(), 0u);
  EXPECT_LE(list.heldBytes(), std::size_t{8} << 20);
}

TEST(FileStamp, TimesFarFromTodayAreHeldAtTheRangeAndStillCompare) {
  constexpr std::int64_t most = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t least = std::numeric_limits<std::int64_t>::min();
  EXPECT_EQ(nanosecondsSince1970(9'223'372'036, 1'000'000'000, 854'775'807), most);  // the last one that fits
  EXPECT_EQ(nanosecondsSince1970(9'223'372'036, 1'000'000'000, 854'775'808), most);
  EXPECT_EQ(nanosecondsSince1970(9'223'372'037, 1'000'000'000, 0), most);
  EXPECT_EQ(nanosecondsSince1970(-9'223'372'037, 1'000'000'000, 0), least);
  EXPECT_EQ(nanosecondsSince1970(-1, 100, 0), -100);
  FileStamp ancient;
  ancient.modified = ancient.changed = least;
  EXPECT_TRUE(isSettled(ancient, most));
  EXPECT_FALSE(isSettled(FileStamp{0, 0, 0, most, most}, least));
}

TEST(GhostChoiceList, AFileIsKeptOnlyOnceItsStampHasSettled) {
  TempFolder folder;
  writeBytes(folder.path() / "a.ghost", "TestMap,Ann,5,1-Lap,1.1\r\n");
  const std::int64_t latest = latestTime(folder.path() / "a.ghost");
  // A moment before the file's times (a clock set back), or less than the settling time after them, keeps nothing.
  for (const std::int64_t moment : {latest - 1, latest, latest + stampSettlingNanoseconds - 1}) {
    GhostChoiceList list;
    list.choices(folder.path(), "TestMap", 1, moment);
    list.choices(folder.path(), "TestMap", 1, moment);
    EXPECT_EQ(list.filesRead(), 1u) << moment - latest;
  }
  GhostChoiceList list;
  list.choices(folder.path(), "TestMap", 1, latest + stampSettlingNanoseconds);
  EXPECT_EQ(list.choices(folder.path(), "TestMap", 1, latest + stampSettlingNanoseconds),
            std::vector<std::string>{"1-Lap in 00:00:005 by Ann(a.ghost)@a.ghost"});
  EXPECT_EQ(list.filesRead(), 0u);
  // A file never settled (its modification time ahead of the clock) is read at every page and never kept;
  // once it is gone, the kept file's entry stands alone.
  writeBytes(folder.path() / "b.ghost", "TestMap,Bo,6,1-Lap,1.1\r\n");
  fs::last_write_time(folder.path() / "b.ghost", fs::file_time_type::clock::now() + std::chrono::hours(1));
  EXPECT_EQ(list.choices(folder.path(), "TestMap", 1, latest + stampSettlingNanoseconds).size(), 2u);
  EXPECT_EQ(list.filesKept(), 1u);
  fs::remove(folder.path() / "b.ghost");
  EXPECT_EQ(list.choices(folder.path(), "TestMap", 1, latest + stampSettlingNanoseconds),
            std::vector<std::string>{"1-Lap in 00:00:005 by Ann(a.ghost)@a.ghost"});
}

}  // namespace
