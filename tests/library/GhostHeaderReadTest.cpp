// What the plugin reads of each ghost file: the first line, with one small read for an ordinary header, and
// only regular files, each read through the handle it was opened and checked by.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "GhostFileHelpers.h"
#include "library/ghostfile/GhostFileRead.h"
#include "library/ghostfile/GhostFrame.h"
#include "library/ghostfile/LineReader.h"
#include "library/platform/RegularFileReader.h"
#include "support/TempFolder.h"

namespace {

// The first line and how many bytes of the stream were taken to find it; read from plain reads of the same
// bytes (as the page reads an opened file), it is the same line after the same bytes.
std::pair<std::optional<std::string>, std::streamoff> firstLine(const std::string& bytes, std::size_t limit) {
  std::istringstream in(bytes);
  const std::optional<std::string> line = readFirstLine(in, limit);
  in.clear();
  std::size_t taken = 0;
  const auto read = [&](char* into, std::size_t count) {
    const std::size_t got = bytes.copy(into, count, taken);
    taken += got;
    return got;
  };
  EXPECT_EQ(readFirstLineFrom(read, limit), line);
  EXPECT_EQ(static_cast<std::streamoff>(taken), static_cast<std::streamoff>(in.tellg()));
  return {line, static_cast<std::streamoff>(in.tellg())};
}

TEST(GhostHeaderRead, AnOrdinaryHeaderIsFoundInTheFirstSmallRead) {
  const std::string header = "TestMap,Ann,83456,1-Lap,1.1";
  std::string ghost = header + "\r\n";
  for (int i = 0; i < 1000; ++i) ghost += "0,-1234.57,250.00,17.01,0,16384,0\r\n";
  const auto [line, taken] = firstLine(ghost, 4096);
  EXPECT_EQ(line, header);
  EXPECT_LE(taken, 256);
}

TEST(GhostHeaderRead, ALongerHeaderIsReadOnUpToTheLimit) {
  const std::string longName(1000, 'n');
  EXPECT_EQ(firstLine("M," + longName + ",5,1-Lap,1.1\r\nrest", 4096).first, "M," + longName + ",5,1-Lap,1.1");
  // A line feed just past the first read, and a line ending exactly at the limit with the stream's end.
  EXPECT_EQ(firstLine(std::string(256, 'a') + "\nrest", 4096).first, std::string(256, 'a'));
  EXPECT_EQ(firstLine(std::string(4096, 'a'), 4096).first, std::string(4096, 'a'));
  // A CR at the very end of the stream is no line end; one before the LF is.
  EXPECT_EQ(firstLine("abc\r", 4096).first, "abc\r");
  EXPECT_EQ(firstLine("abc\r\n", 4096).first, "abc");
  // No line feed within the limit and more to come: no header, after reading no more than the limit and CR LF.
  const auto [line, taken] = firstLine(std::string(10000, 'a'), 4096);
  EXPECT_FALSE(line);
  EXPECT_LE(taken, 4098);
  EXPECT_FALSE(firstLine("", 4096).first);
  EXPECT_EQ(firstLine("abc\ncd", 2).first, std::nullopt);
  EXPECT_EQ(firstLine("a\ncd", 2).first, "a");
}

// Mended: an entry was checked by its path and then opened by its path again, so a pipe swapped in between
// held the game in open(). Only a regular file is opened, without waiting, and read through its own handle.
TEST(GhostHeaderRead, OnlyARegularFileIsOpenedAndItIsReadThroughItsOwnHandle) {
  alarm(60);  // a pipe opened to be read would otherwise hang the suite
  TempFolder root;
  const auto folder = root.path() / "Ghosts";
  writeBytes(root.path() / "elsewhere.ghost", "h\n1,0,0,0,0,0,0\n");
  std::filesystem::create_directories(folder / "sub.ghost");
  ASSERT_EQ(mkfifo((folder / "pipe.ghost").c_str(), 0600), 0);
  std::filesystem::create_symlink(folder / "pipe.ghost", folder / "link.ghost");
  std::vector<GhostFrame> frames;
  for (const char* name : {"pipe.ghost", "link.ghost", "sub.ghost"}) {
    EXPECT_FALSE(readGhostFile(folder / name, frames).opened) << name;
  }
  std::filesystem::create_symlink(root.path() / "elsewhere.ghost", folder / "out.ghost");
  RegularFileReader opened(std::filesystem::directory_entry(folder / "out.ghost"));
  std::filesystem::rename(folder / "link.ghost", folder / "out.ghost");  // a pipe swapped in under the name
  EXPECT_EQ(opened.size(), 16u);
  EXPECT_EQ(opened.stream().peek(), 'h');  // the byte a peek read ahead is the first that read() gives
  EXPECT_EQ(readFirstLineFrom([&](char* into, std::size_t count) { return opened.read(into, count); }, 4096), "h");
  alarm(0);
}

}  // namespace
