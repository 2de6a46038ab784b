// Ghost colour on the stand-in host: the write 0.01 s after a change of lm_color into every float
// GhostColor, the refusal outside freeplay, and a freeplay map without Kismet, where the failure is
// reported once instead of repeating every 0.01 s.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plugin/Lumaro.h"
#include "sim/Game.h"
#include "sim/KismetMap.h"
#include "support/PluginHarness.h"

namespace {

constexpr const char* noKismet = "No Kismet found for this map, are you in a workshop map that supports Lumaro?";

class GhostColorTest : public ::testing::Test {
protected:
  PluginHarness host;
  std::size_t writesSeen = 0;

  void load(const sim::MapDefinition& map) {
    host.game().setTickLength(10'000);  // 1 ms ticks
    host.game().loadMap(map);
    host.game().runFor(1.0);
    host.newLines();
    writesSeen = host.game().kismetWrites().size();
  }
  std::vector<sim::KismetWrite> newColorWrites() {
    std::vector<sim::KismetWrite> found;
    const auto& writes = host.game().kismetWrites();
    for (std::size_t i = writesSeen; i < writes.size(); ++i) {
      if (writes[i].variable == "GhostColor") found.push_back(writes[i]);
    }
    writesSeen = writes.size();
    return found;
  }
};

TEST_F(GhostColorTest, AColourChangeIsWrittenToTheFloatGhostColorAHundredthOfASecondLater) {
  load(sim::workshopMap("Speedway"));

  host.run("lm_color #804020");
  const std::int64_t changed = host.game().now();
  EXPECT_EQ(host.game().hostCalls().back(), "SetTimeout 0.01");
  host.game().runFor(0.009);
  EXPECT_TRUE(newColorWrites().empty());
  host.game().runFor(0.001);
  const auto writes = newColorWrites();
  ASSERT_EQ(writes.size(), 1u);
  for (const auto& write : writes) {
    EXPECT_EQ(write.type, sim::VariableType::Float);
    EXPECT_EQ(write.time, changed + 100'000);
    // (128, 64, 32): red 5.001, green 0.2, blue 0.012.
    EXPECT_EQ(std::bit_cast<std::uint32_t>(write.floatValue), std::bit_cast<std::uint32_t>((0.2f + 5.001f) + 0.012f));
  }
  EXPECT_TRUE(host.newLines().empty());
}

TEST_F(GhostColorTest, EveryMapLoadInFreeplayWritesTheChosenColourAgain) {
  load(sim::workshopMap("Speedway"));
  host.run("lm_color #FFFFFF");
  host.game().runFor(0.1);
  newColorWrites();
  host.game().loadMap(sim::workshopMap("Speedway"));
  host.game().runFor(0.1);
  const auto writes = newColorWrites();
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(writes[0].floatValue), std::bit_cast<std::uint32_t>((0.9f + 10.0f) + 0.099f));
}

TEST_F(GhostColorTest, AMapWithoutGhostColorGetsNothingAndNoWord) {
  load(sim::workshopMap("Plain", false));
  host.run("lm_color #FF0000");
  host.game().runFor(0.1);
  EXPECT_TRUE(newColorWrites().empty());
  EXPECT_TRUE(host.newLines().empty());
}

TEST_F(GhostColorTest, AChangeInTheMainMenuIsRefusedAndResetsTheRun) {
  host.game().loadMainMenu();
  host.game().runFor(0.5);
  host.newLines();
  host.run("lm_isrecording 1");
  const auto timersBefore = host.game().pendingTimers();
  host.run("lm_color #FF0000");
  EXPECT_EQ(host.newLines(), std::vector<std::string>{"Make sure you're in a workshop map."});
  EXPECT_EQ(host.cvar("lm_isrecording"), "0");
  // Only the reset's settings page is scheduled, no colour write.
  EXPECT_EQ(host.game().pendingTimers(), timersBefore + 1);
  EXPECT_EQ(host.game().hostCalls().back(), "SetTimeout 0.1");
}

TEST_F(GhostColorTest, AFreeplayMapWithoutKismetReportsTheColourFailureOnce) {
  sim::MapDefinition bare = sim::workshopMap("Bare");
  bare.hasMainSequence = false;
  load(bare);
  // Whatever the load itself reported, it has settled: nothing keeps rescheduling.
  EXPECT_EQ(host.game().pendingTimers(), 0u);

  host.run("lm_isrecording 1");
  host.plugin().currentLap = 0;
  host.plugin().isChallenging = true;
  host.run("lm_color #FF0000");
  host.game().runFor(1.0);
  const auto lines = host.newLines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string(noKismet)), 1);
  EXPECT_EQ(host.game().pendingTimers(), 0u);
  // The rest of the reset still happens.
  EXPECT_EQ(host.cvar("lm_isrecording"), "0");
  EXPECT_EQ(host.plugin().currentLap, -1);
  EXPECT_FALSE(host.plugin().isChallenging);
}

}  // namespace
