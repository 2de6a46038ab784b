// The game pulled from under the plugin: the map unloaded while a watcher, sampler or playback tick is
// pending, and the car removed in the middle of a run. The plugin says what it must, writes nothing to a map
// that is gone, leaves the exported ghost as it was, and records and exports the next run normally.
#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FaultSession.h"
#include "sim/Game.h"

namespace {

using Lines = std::vector<std::string>;

bool has(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// After the fault: a normal run on Speedway is recorded, finished and exported under another name.
void expectANormalRunAfterwards(FaultSession& host) {
  host.newLines();
  host.run({"map speedway", "wait 1", "console lm_lapNbr 1", "console lm_export_filename After", "console lm_record",
            "drive 1 laps lap-time 2", "console lm_export"});
  EXPECT_TRUE(has(host.newLines(), "Exported to ./tessaro/data/Ghosts/After.ghost."));
  EXPECT_FALSE(host.guardReported());
}

TEST(GameFaults, TheMapUnloadedUnderPendingChainsEndsThemWithoutAWriteToTheGoneMap) {
  for (const std::vector<std::string>& before : {
           std::vector<std::string>{"console lm_record", "drive 2 seconds"},  // watcher and sampler
           std::vector<std::string>{"console lm_ghostfilepath \"My-PB.ghost\"", "console lm_play", "wait 3 ticks"},
           std::vector<std::string>{"console lm_ghostfilepath \"My-PB.ghost\"", "console lm_challenge",
                                    "drive 2 seconds"},  // all three
       }) {
    SCOPED_TRACE(before.front() + " ... " + before.back());
    FaultSession host;
    host.run({"map speedway", "wait 1", "console lm_lapNbr 1", "console lm_record", "drive 1 laps lap-time 2",
              "console lm_export", "respawn", "wait 1"});
    const std::string exported = FaultSession::bytes(host.ghost("My-PB.ghost"));
    for (const std::string& line : before) host.run({line});
    ASSERT_GT(host.game().pendingTimers(), 0u);

    const std::size_t writes = host.game().kismetWrites().size();
    host.run({"main-menu", "wait 2"});
    EXPECT_EQ(host.game().kismetWrites().size(), writes) << "a pending tick wrote to the unloaded map";
    EXPECT_EQ(host.game().pendingTimers(), 0u) << "a chain outlived its map";
    EXPECT_TRUE(FaultSession::bytes(host.ghost("My-PB.ghost")) == exported);
    expectANormalRunAfterwards(host);
  }
}

TEST(GameFaults, TheCarRemovedMidRunEndsTheRunOnceAndUnrecorded) {
  FaultSession host;
  host.run({"map speedway", "wait 1", "console lm_lapNbr 1", "console lm_record", "drive 1 seconds"});
  host.newLines();
  host.run({"remove-car", "wait 2"});
  EXPECT_EQ(host.newLines(), Lines{"No Player Found. The run was not recorded."}) << "said once, not once per tick";
  host.run({"restore-car", "drive 1 laps lap-time 2"});
  EXPECT_EQ(host.newLines(), Lines{});
  expectANormalRunAfterwards(host);
}

}  // namespace
