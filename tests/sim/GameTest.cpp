#include <gtest/gtest.h>

#include "host/GameWrapper.h"
#include "sim/Game.h"
#include "support/TempFolder.h"

namespace {

class GameTest : public ::testing::Test {
protected:
  TempFolder root;
  sim::Game game{root.path()};
  std::shared_ptr<GameWrapper> wrapper = game.gameWrapper();
};

TEST_F(GameTest, TimersRunOnLaterTicksInDueOrder) {
  std::vector<std::string> ran;
  wrapper->SetTimeout([&](GameWrapper*) { ran.push_back("slow"); }, 0.02f);
  wrapper->SetTimeout([&](GameWrapper*) { ran.push_back("fast"); }, 0.001f);
  wrapper->SetTimeout([&](GameWrapper*) { ran.push_back("fast2"); }, 0.001f);
  EXPECT_TRUE(ran.empty());
  game.tick(100'000);  // 10 ms
  EXPECT_EQ(ran, (std::vector<std::string>{"fast", "fast2"}));
  game.tick(100'000);
  EXPECT_EQ(ran, (std::vector<std::string>{"fast", "fast2", "slow"}));
}

TEST_F(GameTest, ATimerScheduledDuringATickRunsOnALaterTickEvenWithNoDelay) {
  int runs = 0;
  std::function<void(GameWrapper*)> again = [&](GameWrapper* g) {
    ++runs;
    g->SetTimeout(again, 0.0f);
  };
  wrapper->SetTimeout(again, 0.0f);
  game.runTicks(5);
  EXPECT_EQ(runs, 5);
}

TEST_F(GameTest, HandlesOfAnUnloadedMapReadAsEmpty) {
  game.loadMap(sim::workshopMap("Speedway"));
  auto variables = wrapper->GetMainSequence().GetAllSequenceVariables(true);
  SequenceVariableWrapper lap = variables.at("LapNb");
  EXPECT_EQ(lap.GetInt(), -1);
  EXPECT_FALSE(lap.GetParentSequence().IsNull());
  game.loadMainMenu();
  EXPECT_TRUE(wrapper->GetMainSequence().IsNull());
  EXPECT_TRUE(lap.GetParentSequence().IsNull());
  EXPECT_FALSE(lap.IsInt());
  EXPECT_EQ(lap.GetInt(), 0);
  lap.SetVector({1, 2, 3});  // dropped, not a crash
  EXPECT_TRUE(game.kismetWrites().empty());
}

TEST_F(GameTest, RepeatedVariableNamesGetDistinctKeys) {
  sim::MapDefinition map = sim::workshopMap("Twin");
  map.variables.push_back({"GhostColor", sim::VariableType::Float, "0"});
  game.loadMap(map);
  auto variables = wrapper->GetMainSequence().GetAllSequenceVariables(true);
  EXPECT_EQ(variables.count("GhostColor"), 1u);
  EXPECT_EQ(variables.count("GhostColor_1"), 1u);
  EXPECT_EQ(variables.at("GhostColor_1").GetVarName(), "GhostColor");
}

TEST_F(GameTest, TheLapCounterScript) {
  game.loadMap(sim::workshopMap("Speedway"));
  sim::KismetVariable* lap = game.variable("LapNb", sim::VariableType::Int);
  game.crossStartLine();
  EXPECT_EQ(lap->intValue, 0);
  game.crossStartLine();
  EXPECT_EQ(lap->intValue, 1);
  game.resetBall();
  EXPECT_EQ(lap->intValue, -1);
}

TEST_F(GameTest, FoldersAndRelativePaths) {
  EXPECT_TRUE(std::filesystem::is_directory(wrapper->GetDataFolder()));
  EXPECT_TRUE(std::filesystem::is_directory(wrapper->GetTessaroPath() / "plugins" / "settings"));
  EXPECT_EQ(wrapper->FixRelativePath("./tessaro/data/Ghosts/My-PB.ghost"), game.ghostFolder() / "My-PB.ghost");
}

TEST_F(GameTest, TheCarCanBeAbsent) {
  EXPECT_TRUE(wrapper->GetLocalCar().IsNull());
  game.loadMap(sim::workshopMap("Speedway"));
  CarWrapper car = wrapper->GetLocalCar();
  ASSERT_FALSE(car.IsNull());
  game.placeCar({1.5f, 2.5f, 3.5f}, {10, -20, 30});
  EXPECT_EQ(car.GetLocation().Y, 2.5f);
  EXPECT_EQ(car.GetRotation().Yaw, -20);
  game.removeCar();
  EXPECT_TRUE(wrapper->GetLocalCar().IsNull());
  EXPECT_EQ(car.GetRotation().Yaw, 0);
}

}  // namespace
