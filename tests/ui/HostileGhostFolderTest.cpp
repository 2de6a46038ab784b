// A ghost folder prepared as a hostile download or a malicious neighbour would: a named pipe, a link to a huge
// file outside, a 100 MB first line, a folder named like a ghost, a link planted under the
// export's scratch name. The page must still be made, reading little, and nothing outside the folder changes.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "library/GhostFileHelpers.h"
#include "library/ghostfile/GhostFrame.h"
#include "plugin/Lumaro.h"
#include "sim/Game.h"
#include "support/PluginHarness.h"

namespace {

long peakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// What the refreshes and the import may add to the peak. The import reserves room for the frames a file's
// size allows (address space, not memory); AddressSanitizer writes the shadow of that room, an eighth of it.
#if defined(__SANITIZE_ADDRESS__)
constexpr long addedPeakLimitKilobytes = 48L * 1024;
#else
constexpr long addedPeakLimitKilobytes = 16L * 1024;
#endif

TEST(HostileGhostFolder, ThePageListsOnlyGhostFilesReadingLittleAndNothingOutsideChanges) {
  alarm(120);  // a read from a pipe nobody writes would otherwise hang the suite
  PluginHarness host;
  host.game().loadMap(sim::workshopMap("TestMap"));
  const std::filesystem::path ghosts = host.game().ghostFolder();
  const std::filesystem::path outside = host.game().root() / "outside";
  const std::string header = "TestMap,Ann,5,1-Lap,1.1";
  writeBytes(ghosts / "good.ghost", header + "\r\n0,0,0,0,0,0,0\r\n");
  ASSERT_EQ(mkfifo((ghosts / "pipe.ghost").c_str(), 0600), 0);
  // Sparse files: a header, then zero bytes and no line feed.
  writeBytes(outside / "huge.bin", header);
  std::filesystem::resize_file(outside / "huge.bin", std::uintmax_t{1} << 32);
  std::filesystem::create_symlink(outside / "huge.bin", ghosts / "huge.ghost");
  writeBytes(ghosts / "long-line.ghost", header);
  std::filesystem::resize_file(ghosts / "long-line.ghost", 100'000'000);
  std::filesystem::create_directory(ghosts / "x.ghost");
  writeBytes(outside / "precious.txt", "mine\n");
  std::filesystem::create_symlink(outside / "precious.txt", ghosts / "@0.part");

  const long peakBefore = peakKilobytes();
  host.plugin().recordedFrames.resize(3);
  host.run("lm_export");
  host.run("lm_update_list");
  // The long line is a regular file: the player may still pick it by name, and its import skips the line, its
  // header, without gathering it.
  host.newLines();
  host.run("lm_ghostfilepath long-line.ghost");
  EXPECT_EQ(host.newLines(),
            (std::vector<std::string>{"Imported long-line.ghost.", "long-line.ghost holds no frames."}));
  EXPECT_LT(peakKilobytes() - peakBefore, addedPeakLimitKilobytes)
      << "kilobytes of peak memory added by the refreshes and the import";
  EXPECT_NE(fileBytes(host.game().settingsPage())
                .find("| @ &1-Lap in 00:00:000 by Player(My-PB.ghost)@My-PB.ghost&1-Lap in 00:00:005 by "
                      "Ann(good.ghost)@good.ghost\r\n"),
            std::string::npos);
  for (const std::string name : {"pipe.ghost", "x.ghost"}) {
    host.newLines();
    host.run("lm_ghostfilepath " + name);
    EXPECT_EQ(host.newLines(), std::vector<std::string>{"No Ghost found " + name + "."});
  }
  EXPECT_EQ(fileBytes(outside / "precious.txt"), "mine\n");
  EXPECT_EQ(std::filesystem::file_size(outside / "huge.bin"), std::uintmax_t{1} << 32);
  EXPECT_EQ(folderNames(outside), (std::vector<std::string>{"huge.bin", "precious.txt"}));
  EXPECT_TRUE(std::filesystem::is_symlink(ghosts / "@0.part"));
  alarm(0);
}

}  // namespace
