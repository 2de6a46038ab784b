// Faults of the file system under a running plugin, made real rather than pretended: a write that fails at a
// chosen byte (the file size limit of the process), a full disk (a tiny tmpfs in a private mount namespace),
// the ghost folder removed, a listed ghost deleted before it is picked. Each time the plugin says so, the
// ghost that was there stays byte for byte, no scratch file is left, and the next export works.
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FaultSession.h"
#include "sim/Game.h"

namespace {

using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

const std::string exportedLine = "Exported to ./tessaro/data/Ghosts/My-PB.ghost.";

// Sets the largest file size this process may write; writing past it fails with EFBIG instead of the signal.
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
  rlimit saved_{};
};

// A run of the given laps on Speedway, finished and ready to export.
void recordRun(FaultSession& host, int laps, double lapTime) {
  host.run({"respawn", "wait 1", "console lm_lapNbr " + std::to_string(laps), "console lm_record",
            "drive " + std::to_string(laps) + " laps lap-time " + std::to_string(lapTime)});
}

bool scratchLeft(FaultSession& host) {
  return std::ranges::any_of(fs::directory_iterator(host.game().ghostFolder()),
                             [](const fs::directory_entry& entry) { return entry.path().extension() != ".ghost"; });
}

TEST(FileFaults, AnExportFailingAtAnyByteKeepsThePreviousGhostAndTheNextExportWorks) {
  FaultSession host;
  host.run({"map speedway"});
  recordRun(host, 1, 2);
  host.run({"console lm_export"});
  const std::string previous = FaultSession::bytes(host.ghost("My-PB.ghost"));
  ASSERT_GT(previous.size(), 4000u);
  recordRun(host, 3, 8);  // a longer run: its file (about 100 KB) outgrows every limit below

  for (const rlim_t failAt : {rlim_t{0}, rlim_t{1}, rlim_t{36}, rlim_t{4096}, rlim_t{65536}, rlim_t{65537},
                              static_cast<rlim_t>(previous.size())}) {
    SCOPED_TRACE("writes fail at byte " + std::to_string(failAt));
    host.newLines();
    {
      const FileSizeLimit limit(failAt);
      host.run({"console lm_export"});
    }
    EXPECT_EQ(host.newLines(), Lines{"Could not export to ./tessaro/data/Ghosts/My-PB.ghost: File too large."});
    EXPECT_TRUE(FaultSession::bytes(host.ghost("My-PB.ghost")) == previous);
    EXPECT_FALSE(scratchLeft(host));
  }
  host.run({"console lm_export"});
  EXPECT_EQ(host.newLines(), Lines{exportedLine});
  EXPECT_GT(FaultSession::bytes(host.ghost("My-PB.ghost")).size(), previous.size());
  EXPECT_FALSE(host.guardReported());
}

TEST(FileFaults, AFullDiskFailsTheExportWithItsReasonAndFreesTheSpaceItTook) {
  FaultSession host;
  // A private mount namespace, so the tiny file system is this test program's alone and goes with it.
  if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      mount("tmpfs", host.game().ghostFolder().c_str(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "mounting a small tmpfs needs the privilege to make a mount namespace";
  }
  host.run({"map speedway"});
  recordRun(host, 1, 2);
  host.run({"console lm_export"});
  const std::string previous = FaultSession::bytes(host.ghost("My-PB.ghost"));
  recordRun(host, 3, 6);  // about 80 KB: more than the disk holds beside the ghost in place
  host.newLines();
  host.run({"console lm_export"});
  EXPECT_EQ(host.newLines(), Lines{"Could not export to ./tessaro/data/Ghosts/My-PB.ghost: No space left on device."});
  EXPECT_TRUE(FaultSession::bytes(host.ghost("My-PB.ghost")) == previous);
  EXPECT_FALSE(scratchLeft(host));

  // The space the failed write took is free again: a short run fits beside the old ghost.
  recordRun(host, 1, 2);
  host.newLines();
  host.run({"console lm_export_filename Second", "console lm_export"});
  EXPECT_EQ(host.newLines(), Lines{"Exported to ./tessaro/data/Ghosts/Second.ghost."});
  EXPECT_TRUE(FaultSession::bytes(host.ghost("My-PB.ghost")) == previous);
  umount(host.game().ghostFolder().c_str());
}

TEST(FileFaults, AGhostFolderThatDisappearsIsReportedAndServesAgainOncePutBack) {
  FaultSession host;
  host.run({"map speedway"});
  recordRun(host, 1, 2);
  host.run({"console lm_export", "console lm_ghostfilepath \"My-PB.ghost\""});
  fs::remove_all(host.game().ghostFolder());
  host.newLines();

  host.run({"console lm_export"});
  EXPECT_EQ(host.newLines(),
            Lines{"Could not export to ./tessaro/data/Ghosts/My-PB.ghost: No such file or directory."});
  host.run({"console lm_update_list"});
  EXPECT_NE(host.page().find("9|No ghost found for this map/number of laps.\r\n"), std::string::npos);
  host.run({"console lm_ghostfilepath \"Other.ghost\""});
  EXPECT_EQ(host.newLines(), Lines{"No Ghost found Other.ghost."});
  host.run({"console lm_play"});
  EXPECT_EQ(host.newLines(), Lines{"No Ghost loaded."});

  // Put back, the folder serves again: the run is still there to export.
  fs::create_directories(host.game().ghostFolder());
  host.run({"console lm_export"});
  EXPECT_EQ(host.newLines(), Lines{exportedLine});
  EXPECT_FALSE(host.guardReported());
}

TEST(FileFaults, AListedGhostDeletedBeforeItIsPickedIsNotFoundAndNothingStaysLoaded) {
  FaultSession host;
  host.run({"map speedway"});
  recordRun(host, 1, 2);
  host.run({"console lm_export", "console lm_export_filename Gone", "console lm_export", "console lm_update_list"});
  ASSERT_NE(host.page().find("@Gone.ghost"), std::string::npos);
  host.run({"pick-ghost My-PB.ghost"});
  fs::remove(host.ghost("Gone.ghost"));
  host.newLines();

  host.run({"pick-ghost Gone.ghost"});  // the page the player sees still offers it
  EXPECT_EQ(host.newLines(), Lines{"No Ghost found Gone.ghost."});
  host.run({"console lm_play"});
  EXPECT_EQ(host.newLines(), Lines{"No Ghost loaded."});
  host.run({"console lm_update_list"});
  EXPECT_EQ(host.page().find("@Gone.ghost"), std::string::npos);
  host.run({"pick-ghost My-PB.ghost"});
  EXPECT_EQ(host.newLines(), Lines{"Imported My-PB.ghost."});
}

}  // namespace
