#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "host/ActorWrapper.h"
#include "host/CVarManagerWrapper.h"
#include "host/GameWrapper.h"
#include "host/Kismet.h"
#include "host/Values.h"
#include "sim/Console.h"
#include "sim/Game.h"
#include "sim/KismetMap.h"
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
  wrapper->SetTimeout([&](GameWrapper*) { ran.emplace_back("slow"); }, 0.02f);
  wrapper->SetTimeout([&](GameWrapper*) { ran.emplace_back("fast"); }, 0.001f);
  wrapper->SetTimeout([&](GameWrapper*) { ran.emplace_back("fast2"); }, 0.001f);
  EXPECT_TRUE(ran.empty());
  game.tick(100'000);  // 10 ms
  EXPECT_EQ(ran, (std::vector<std::string>{"fast", "fast2"}));
  game.tick(100'000);
  EXPECT_EQ(ran, (std::vector<std::string>{"fast", "fast2", "slow"}));
}

// A playback-like chain: every tick schedules the next and writes the ghost car's two variables.
TEST_F(GameTest, WithoutRecordsALongRunKeepsOnlyCounts) {
  game.keepRecords(false);
  int ticks = 0;
  std::function<void(GameWrapper*)> playbackTick = [&](GameWrapper* g) {
    ++ticks;
    game.recordWrite({game.now(), "GhostPosition", sim::VariableType::Vector, 0.0f, {1, 2, 3}});
    game.recordWrite({game.now(), "GhostRotation", sim::VariableType::Vector, 0.0f, {4, 5, 6}});
    g->SetTimeout(playbackTick, 0.001f);
  };
  wrapper->SetTimeout(playbackTick, 0.001f);
  game.runTicks(10'000);
  EXPECT_EQ(ticks, 10'000);
  EXPECT_TRUE(game.hostCalls().empty());
  EXPECT_TRUE(game.kismetWrites().empty());
  EXPECT_EQ(game.hostCallCount(), 10'001u);
  EXPECT_EQ(game.writeCount("GhostPosition"), 10'000u);
  EXPECT_EQ(game.writeCount("GhostColor"), 0u);

  game.keepRecords(true);
  game.runTicks(1);
  EXPECT_EQ(game.hostCalls(), std::vector<std::string>{"SetTimeout 0.001"});
  ASSERT_EQ(game.kismetWrites().size(), 2u);
  EXPECT_EQ(game.kismetWrites()[1].variable, "GhostRotation");
  EXPECT_EQ(game.writeCount("GhostPosition"), 10'001u);
  EXPECT_EQ(game.hostCallCount(), 10'002u);
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

TEST_F(GameTest, TheVariableTableIsKeyedByNameOnePerName) {
  sim::MapDefinition map = sim::workshopMap("Twin");
  auto variables = [&] { return wrapper->GetMainSequence().GetAllSequenceVariables(true); };
  game.loadMap(map);
  EXPECT_EQ(variables().size(), map.variables.size());
  for (auto& [name, variable] : variables()) EXPECT_EQ(SequenceVariableWrapper(variable).GetVarName(), name);

  // A second variable of a name already there, even of another type, is no map the host can hold.
  map.variables.push_back({"GhostColor", sim::VariableType::Vector, "0 0 0"});
  EXPECT_THROW(game.loadMap(map), std::invalid_argument);
}

TEST_F(GameTest, TheHostCallRecordKeepsEveryArgumentOfTheConsoleCalls) {
  auto console = game.cvarManagerWrapper();
  console->executeCommand("lm_isrecording 1", true);
  console->executeCommand("lm_isrecording 0", false);
  console->log("Race started.");
  const auto& calls = game.hostCalls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(calls.end() - 3, calls.end()),
            (std::vector<std::string>{"executeCommand lm_isrecording 1 | log true",
                                      "executeCommand lm_isrecording 0 | log false", "log Race started."}));
}

TEST_F(GameTest, HostCallsCanTakeVirtualTimeAndBeWatched) {
  game.loadMap(sim::workshopMap("Speedway"));
  const std::int64_t before = game.now();
  wrapper->IsPaused();
  EXPECT_EQ(game.now(), before) << "by default a host call takes no time";

  std::vector<std::pair<std::string, std::int64_t>> seen;
  game.setClockStepPerHostCall(10'000);
  game.setHostCallObserver([&](const char* name) { seen.emplace_back(name, game.now()); });
  CarWrapper car = wrapper->GetLocalCar();
  car.GetLocation();
  game.setHostCallObserver({});
  EXPECT_EQ(game.now(), before + 20'000);
  EXPECT_EQ(seen, (std::vector<std::pair<std::string, std::int64_t>>{{"GetLocalCar", before + 10'000},
                                                                     {"GetLocation", before + 20'000}}));
}

TEST_F(GameTest, PendingTimersAreCountedByTheirDelay) {
  wrapper->SetTimeout([](GameWrapper*) {}, 0.001f);
  wrapper->SetTimeout([](GameWrapper*) {}, 0.1f);
  wrapper->SetTimeout([](GameWrapper*) {}, 0.001f);
  EXPECT_EQ(game.pendingTimers(0.001f), 2u);
  EXPECT_EQ(game.pendingTimers(0.1f), 1u);
  EXPECT_EQ(game.pendingTimers(0.2f), 0u);
}

TEST_F(GameTest, ThePageIsReadWhenTheHostIsToldToReloadIt) {
  EXPECT_FALSE(game.shownPage());
  auto write = [&](const char* text) { std::ofstream(game.settingsPage(), std::ios::binary) << text; };
  write("Lumaro\r\n9|Race started.\r\n");
  EXPECT_FALSE(game.shownPage()) << "written, not yet shown";
  game.console().execute("cl_settings_refreshplugins");
  ASSERT_TRUE(game.shownPage());
  EXPECT_EQ(*game.shownPage(), (std::vector<std::string>{"Lumaro", "9|Race started."}));
  write("Lumaro\r\n9|Something else.\r\n");
  EXPECT_EQ(game.shownPage()->back(), "9|Race started.") << "the player sees what was read at the reload";
  // CR ends a line as LF and CR LF do, and a last line without an end is a line.
  write("Lumaro\r9|A\n9|B\r\n\r\n9|C");
  game.console().execute("cl_settings_refreshplugins");
  EXPECT_EQ(*game.shownPage(), (std::vector<std::string>{"Lumaro", "9|A", "9|B", "", "9|C"}));
  std::filesystem::remove(game.settingsPage());
  game.console().execute("cl_settings_refreshplugins");
  EXPECT_FALSE(game.shownPage());
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
