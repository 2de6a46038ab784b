// The whole road of a challenge on the stand-in host: record a lap, export it, pick the file through
// lm_ghostfilepath, challenge it, and drive again. The Kismet write trace must show the ghost car
// following the first run tick for tick from the start of the second race.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/Values.h"
#include "playback/GhostCarTrace.h"
#include "plugin/Lumaro.h"
#include "sim/Game.h"
#include "support/PluginHarness.h"

namespace {

bool logged(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(ChallengeRoad, TheGhostFollowsTheFirstRunFromTheRaceStart) {
  PluginHarness host;
  sim::Game& game = host.game();
  game.loadMap(sim::workshopMap("Speedway"));
  game.runFor(0.5);
  host.newLines();

  // First run: one lap. Every tick from the start line on, the car moves 100 units along X and turns 10
  // units of yaw, so the recorded frame k stands at X 100 k, yaw 10 k (whole numbers survive the file).
  const int lapTicks = 120;
  host.run("lm_record");
  game.runTicks(3);
  game.crossStartLine();
  for (int k = 0; k <= lapTicks; ++k) {
    game.placeCar({100.0f * static_cast<float>(k), 50.0f, 17.0f}, {0, 10 * k, 0});
    game.tick();
  }
  game.crossStartLine();
  game.runFor(0.1);
  auto lines = host.newLines();
  EXPECT_TRUE(logged(lines, "Race started."));
  ASSERT_GE(host.plugin().recordedFrames.size(), static_cast<std::size_t>(lapTicks + 1));
  EXPECT_EQ(host.cvar("lm_isrecording"), "0");

  host.run("lm_export");
  host.run("lm_ghostfilepath My-PB.ghost");
  lines = host.newLines();
  EXPECT_TRUE(logged(lines, "Exported to ./tessaro/data/Ghosts/My-PB.ghost."));
  EXPECT_TRUE(logged(lines, "Imported My-PB.ghost."));
  ASSERT_EQ(host.plugin().ghostFrames.size(), host.plugin().recordedFrames.size());

  // Second run: back behind the start line, challenge, and cross it.
  game.respawn();
  game.runFor(0.5);
  host.newLines();
  host.run("lm_challenge");
  EXPECT_TRUE(logged(host.newLines(), "Challenging starts and ends when you cross the finish line."));
  game.runTicks(3);
  GhostCarTrace trace(game);
  game.crossStartLine();
  game.tick();
  const std::int64_t raceStart = game.now();
  EXPECT_TRUE(logged(host.newLines(), "Race started against a ghost."));
  game.runTicks(lapTicks);

  const auto placements = trace.newPlacements();
  ASSERT_GE(placements.size(), static_cast<std::size_t>(lapTicks + 1));
  for (int k = 0; k <= lapTicks; ++k) {
    const GhostCarPlacement& placement = placements[static_cast<std::size_t>(k)];
    EXPECT_EQ(placement.time, raceStart + k * game.tickLength()) << "tick " << k;
    EXPECT_EQ(placement.position.X, 100.0f * static_cast<float>(k)) << "tick " << k;
    EXPECT_EQ(placement.position.Y, 50.0f) << "tick " << k;
    EXPECT_EQ(placement.position.Z, 17.0f) << "tick " << k;
    EXPECT_EQ(placement.rotation.Y, 10.0f * static_cast<float>(k)) << "tick " << k;
  }
}

}  // namespace
