// Every race and playback command and game event, 10,000 of them in a seeded random order and several per
// game tick, in virtual time. At most one lap watcher (or its pending finish), one run sampler and one
// playback chain stay alive, and no tick appends more than one frame or places the ghost car more than
// once; afterwards a plain record, finish and export still agree on the run's time.
#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/Values.h"
#include "plugin/Lumaro.h"
#include "race/RaceFixture.h"
#include "race/RaceTime.h"
#include "sim/Game.h"
#include "sim/KismetMap.h"
#include "support/PluginHarness.h"

namespace {

class CommandStormTest : public RaceTest {
protected:
  // Placements of the ghost car by a playback tick; the stop command's parking at the origin is not one
  // (the recorded car drives at a height of 17).
  std::size_t ghostCarPlacements() {
    const auto& writes = game().kismetWrites();
    return static_cast<std::size_t>(std::count_if(writes.begin(), writes.end(), [](const sim::KismetWrite& write) {
      return write.variable == "GhostPosition" && write.vectorValue.Z != 0.0f;
    }));
  }

  // Records a race of one lap and returns its reported time text.
  std::string recordOneLap() {
    host.run("lm_record");
    game().crossStartLine();
    game().runTicks(30);
    game().crossStartLine();
    game().runTicks(3);
    const std::vector<std::string> logged = lines();
    const auto ended = std::find_if(logged.begin(), logged.end(),
                                    [](const std::string& line) { return line.rfind("Race ended in ", 0) == 0; });
    return ended == logged.end() ? std::string() : ended->substr(14, 9);
  }
};

TEST_F(CommandStormTest, TenThousandCommandsLeaveOneChainOfEachKind) {
  // A ghost of our own to challenge and preview, chosen from the list.
  ASSERT_FALSE(recordOneLap().empty());
  host.run("lm_export");
  host.run("lm_ghostfilepath My-PB.ghost");
  ASSERT_FALSE(plugin().ghostFrames.empty());
  lines();

  const std::vector<std::string> commands = {"lm_record",   "lm_challenge",     "lm_play",         "lm_stop",
                                             "lm_export",   "lm_isrecording 0", "lm_autorecord 1", "lm_autorecord 0",
                                             "lm_lapNbr 1", "lm_lapNbr 2",      "cross",           "cross",
                                             "reset-ball",  "respawn",          "pause",           "map speedway",
                                             "remove-car",  "restore-car",      "lm_isrecording 1"};
  auto carryOut = [&](const std::string& command) {
    if (command == "cross") {
      game().crossStartLine();
    } else if (command == "reset-ball") {
      game().resetBall();
    } else if (command == "respawn") {
      game().respawn();
    } else if (command == "remove-car") {
      game().removeCar();
    } else if (command == "restore-car") {
      game().restoreCar();
    } else if (command == "pause") {
      game().setPaused(!game().paused());
    } else if (command == "map speedway") {
      game().loadMap(sim::workshopMap("Speedway"));
    } else {
      host.run(command);
    }
  };
  std::mt19937 random(20261208);
  std::uniform_int_distribution<std::size_t> pick(0, commands.size() - 1);
  std::uniform_int_distribution<int> tickAfter(0, 2);
  std::string sinceLastTick;  // what a failure names
  int ticksRun = 0;
  for (int step = 0; step < 10'000; ++step) {
    const std::string& command = commands[pick(random)];
    carryOut(command);
    sinceLastTick += command + "; ";
    if (tickAfter(random) != 0) continue;  // several commands share a tick
    // The tick after the commands, then a quiet one: by its end every tick left pending by a run or a
    // preview that ended has run and set nothing, and what is pending is the chains alive.
    for (int tick = 0; tick < 2; ++tick) {
      const std::size_t framesBefore = runFrames().size();
      const std::size_t placementsBefore = ghostCarPlacements();
      game().tick();
      ++ticksRun;
      if (runFrames().size() >= framesBefore) {
        ASSERT_LE(runFrames().size() - framesBefore, 1u) << "step " << step << " after " << sinceLastTick;
      }
      ASSERT_LE(ghostCarPlacements() - placementsBefore, 1u) << "step " << step << " after " << sinceLastTick;
    }
    ASSERT_LE(game().pendingTimers(0.001f), 3u) << "step " << step << " after " << sinceLastTick;
    sinceLastTick.clear();
  }
  EXPECT_GT(ticksRun, 2'000);

  // A plain race afterwards: the time reported, the header's and the page's are one.
  game().setPaused(false);
  game().restoreCar();
  loadMap(sim::workshopMap("Speedway"));
  host.run("lm_autorecord 0");
  host.run("lm_lapNbr 1");
  game().runFor(0.5);
  lines();
  const std::string reported = recordOneLap();
  ASSERT_FALSE(reported.empty());
  host.run("lm_export");
  std::ifstream file(game().ghostFolder() / "My-PB.ghost");
  std::string header;
  std::getline(file, header);
  ASSERT_FALSE(frames().empty());
  EXPECT_EQ(formatRaceTime(frames().back().time), reported);
  EXPECT_EQ(header, "Speedway,Player," + std::to_string(frames().back().time) + ",1-Lap,1.1\r");
  const auto& page = game().shownPage();
  ASSERT_TRUE(page);
  EXPECT_TRUE(std::any_of(page->begin(), page->end(), [&](const std::string& line) {
    return line.find("1-Lap in " + reported + " by Player(My-PB.ghost)") != std::string::npos;
  }));
}

}  // namespace
