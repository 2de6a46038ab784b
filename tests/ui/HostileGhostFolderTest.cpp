// A ghost folder prepared as a hostile download or a malicious neighbour would prepare it: a named pipe, links
// to a device and to a huge file outside, a 100 MB first line, a folder named like a ghost, and a link planted
// under the export's scratch name. The page must still be made, reading little, and nothing outside the folder
// may change.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/PluginHarness.h"

namespace {

using Lines = std::vector<std::string>;

std::string fileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A file holding text at its start and zero bytes (no line feed) up to size, made sparse so it costs no disk.
void sparseFile(const std::filesystem::path& file, const std::string& text, std::uintmax_t size) {
  std::ofstream(file, std::ios::binary) << text;
  std::filesystem::resize_file(file, size);
}

long peakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Ends the test program instead of letting a hang (a read from a pipe nobody writes) block the suite.
struct HangGuard {
  HangGuard() { alarm(120); }
  ~HangGuard() { alarm(0); }
};

TEST(HostileGhostFolder, ThePageListsOnlyGhostFilesReadingLittleAndNothingOutsideChanges) {
  const HangGuard guard;
  PluginHarness host;
  host.game().loadMap(sim::workshopMap("TestMap"));
  const std::filesystem::path ghosts = host.game().ghostFolder();
  const std::filesystem::path outside = host.game().root() / "outside";
  std::filesystem::create_directory(outside);
  const std::string header = "TestMap,Ann,5,1-Lap,1.1";

  std::ofstream(ghosts / "good.ghost", std::ios::binary) << header << "\r\n0,0,0,0,0,0,0\r\n";
  ASSERT_EQ(mkfifo((ghosts / "pipe.ghost").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", ghosts / "zero.ghost");
  sparseFile(outside / "huge.bin", header, std::uintmax_t{1} << 32);
  std::filesystem::create_symlink(outside / "huge.bin", ghosts / "huge.ghost");
  sparseFile(ghosts / "long-line.ghost", header, 100'000'000);
  std::filesystem::create_directory(ghosts / "x.ghost");
  std::ofstream(outside / "precious.txt", std::ios::binary) << "mine\n";
  std::filesystem::create_symlink(outside / "precious.txt", ghosts / "My-PB.ghost.part");

  const long peakBefore = peakKilobytes();
  host.plugin().recordedFrames.resize(3);
  host.run("lm_export");
  host.run("lm_update_list");
  EXPECT_LT(peakKilobytes() - peakBefore, 16 * 1024) << "kilobytes of peak memory added by the refreshes";

  const std::string page = fileBytes(host.game().settingsPage());
  EXPECT_NE(page.find("6|Load a ghost|lm_ghostfilepath| @ &1-Lap in 00:00:000 by Player(My-PB.ghost)@My-PB.ghost"
                      "&1-Lap in 00:00:005 by Ann(good.ghost)@good.ghost\r\n"),
            std::string::npos)
      << page;
  // The long line is a regular file inside the folder, and the player may still pick it by name.
  for (const std::string name : {"pipe.ghost", "zero.ghost", "huge.ghost", "x.ghost"}) {
    host.newLines();
    host.run("lm_ghostfilepath " + name);
    EXPECT_EQ(host.newLines(), Lines{"No Ghost found " + name + "."});
  }

  EXPECT_EQ(fileBytes(outside / "precious.txt"), "mine\n");
  EXPECT_EQ(std::filesystem::file_size(outside / "huge.bin"), std::uintmax_t{1} << 32);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(outside), std::filesystem::directory_iterator()), 2);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(ghosts / "My-PB.ghost.part")));
}

}  // namespace
