// What the settings page reads of each ghost file: the first line, with one small read for an ordinary
// header, and the folder's entries judged as the ghost-folder rule judges paths, without asking the disk
// about plain files again.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <sstream>

#include "GhostFileHelpers.h"
#include "library/GhostFileAccess.h"
#include "library/LineReader.h"
#include "support/TempFolder.h"

namespace {

// The first line and how many bytes of the stream were taken to find it.
std::pair<std::optional<std::string>, std::streamoff> firstLine(const std::string& bytes, std::size_t limit) {
  std::istringstream in(bytes);
  const std::optional<std::string> line = readFirstLine(in, limit);
  in.clear();
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
  // No line feed within the limit and more to come: no header, after reading no more than the limit.
  const auto [line, taken] = firstLine(std::string(10000, 'a'), 4096);
  EXPECT_FALSE(line);
  EXPECT_LE(taken, 4096);
  EXPECT_FALSE(firstLine("", 4096).first);
  EXPECT_EQ(firstLine("ab\ncd", 2).first, std::nullopt);
  EXPECT_EQ(firstLine("a\ncd", 2).first, "a");
}

TEST(GhostHeaderRead, TheFoldersEntriesAreJudgedAsTheirPathsAre) {
  TempFolder root;
  const auto folder = root.path() / "Ghosts";
  const auto outside = root.path() / "outside";
  writeBytes(folder / "plain.ghost", "h\n");
  writeBytes(outside / "elsewhere.ghost", "h\n");
  std::filesystem::create_directories(folder / "sub.ghost");
  writeBytes(folder / "sub.ghost" / "inner.ghost", "h\n");
  std::filesystem::create_symlink(folder / "plain.ghost", folder / "link-inside.ghost");
  std::filesystem::create_symlink(outside / "elsewhere.ghost", folder / "link-outside.ghost");
  std::filesystem::create_symlink(folder / "sub.ghost", folder / "link-folder.ghost");
  std::filesystem::create_symlink(folder / "missing", folder / "dangling.ghost");
  ASSERT_EQ(mkfifo((folder / "pipe.ghost").c_str(), 0600), 0);

  const GhostFileAccess ghosts(folder);
  std::vector<std::string> readable;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    EXPECT_EQ(ghosts.mayRead(entry), ghosts.mayRead(entry.path())) << entry.path();
    if (ghosts.mayRead(entry)) readable.push_back(entry.path().filename().string());
  }
  std::sort(readable.begin(), readable.end());
  EXPECT_EQ(readable, (std::vector<std::string>{"link-inside.ghost", "plain.ghost"}));

  // A folder that is gone lets nothing be read, whatever its listing said.
  const std::filesystem::directory_entry plain(folder / "plain.ghost");
  std::filesystem::remove_all(folder);
  EXPECT_FALSE(GhostFileAccess(folder).mayRead(plain));
}

}  // namespace
