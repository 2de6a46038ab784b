#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "host/Kismet.h"
#include "library/ghostfile/GhostFrame.h"
#include "plugin/Lumaro.h"
#include "sim/Game.h"
#include "sim/KismetMap.h"
#include "support/PluginHarness.h"

namespace {

using sim::VariableType;

class KismetAccessTest : public ::testing::Test {
protected:
  PluginHarness host;

  // Loads a map with exactly these variables and fetches its table into the plugin.
  void loadMap(std::vector<sim::VariableDefinition> variables, bool withSequence = true) {
    sim::MapDefinition map;
    map.name = "Custom";
    map.hasMainSequence = withSequence;
    map.variables = std::move(variables);
    host.game().loadMap(map);
    SequenceWrapper sequence = host.plugin().mainSequence();
    if (!sequence.IsNull()) host.plugin().refreshSequenceVariables(sequence);
  }
};

TEST_F(KismetAccessTest, TheTypeTestComesFirstAndNamesCompareExactly) {
  loadMap(
      {{"LapNb", VariableType::Float, "-1"}, {"lapnb", VariableType::Int, "-1"}, {"LapNb ", VariableType::Int, "-1"}});
  EXPECT_FALSE(host.plugin().findFirstVariable(KismetType::Int, "LapNb"));
  EXPECT_TRUE(host.plugin().findFirstVariable(KismetType::Float, "LapNb"));
  EXPECT_FALSE(host.plugin().hasVariable(KismetType::Int, "LapNb"));
}

TEST_F(KismetAccessTest, TheHostsTableHoldsOneVariablePerName) {
  // So the first, the last and every match name the same variable; a map naming one twice is refused.
  EXPECT_THROW(loadMap({{"MapName", VariableType::String, "first"}, {"MapName", VariableType::Int, "2"}}),
               std::invalid_argument);
  loadMap({{"MapName", VariableType::String, "only"}});
  EXPECT_EQ(host.plugin().findFirstVariable(KismetType::String, "MapName")->GetString(), "only");
  EXPECT_EQ(host.plugin().findLastVariable(KismetType::String, "MapName")->GetString(), "only");
  int visits = 0;
  host.plugin().forEachVariable(KismetType::String, "MapName", [&](SequenceVariableWrapper&) { ++visits; });
  EXPECT_EQ(visits, 1);
}

TEST_F(KismetAccessTest, TheCounterAtTheStartMustReadMinusOne) {
  loadMap({{"LapNb", VariableType::Int, "-1"}});
  auto found = host.plugin().findFirstLapCounterAtStart();
  ASSERT_TRUE(found);
  EXPECT_EQ(found->GetInt(), -1);

  loadMap({{"LapNb", VariableType::Int, "0"}});
  EXPECT_FALSE(host.plugin().findFirstLapCounterAtStart());
}

TEST_F(KismetAccessTest, AMapWithASequenceButNoVariables) {
  loadMap({});
  EXPECT_TRUE(host.plugin().sequenceVariables.empty());
  EXPECT_FALSE(host.plugin().findFirstVariable(KismetType::Int, "LapNb"));
  EXPECT_FALSE(host.plugin().hasVariable(KismetType::Float, "GhostColor"));
}

TEST_F(KismetAccessTest, EveryLookupReplacesTheWholeTable) {
  loadMap({{"A", VariableType::Int, "1"}, {"B", VariableType::Int, "1"}});
  EXPECT_EQ(host.plugin().sequenceVariables.size(), 2u);
  loadMap({{"C", VariableType::Int, "1"}});
  ASSERT_EQ(host.plugin().sequenceVariables.size(), 1u);
  EXPECT_EQ(host.plugin().sequenceVariables.begin()->first, "C");
}

TEST_F(KismetAccessTest, AHeldVariableIsInvalidOnceItsMapIsGone) {
  loadMap({{"LapNb", VariableType::Int, "-1"}});
  SequenceVariableWrapper held = *host.plugin().findFirstVariable(KismetType::Int, "LapNb");
  EXPECT_TRUE(Lumaro::isHeldVariableValid(held, true));
  host.game().loadMainMenu();
  EXPECT_FALSE(Lumaro::isHeldVariableValid(held, true));
  SequenceVariableWrapper empty(0);
  EXPECT_FALSE(Lumaro::isHeldVariableValid(empty, true));
}

TEST_F(KismetAccessTest, TheSharedFailuresLogTheirMessageAndResetTheRun) {
  loadMap({{"LapNb", VariableType::Int, "-1"}});
  host.run("lm_isrecording 1");
  host.plugin().currentLap = 0;
  host.plugin().isChallenging = true;
  host.plugin().recordedFrames.push_back({});
  host.plugin().failNoKismet();
  EXPECT_EQ(host.lines().back(), "No Kismet found for this map, are you in a workshop map that supports Lumaro?");
  EXPECT_EQ(host.cvar("lm_isrecording"), "0");
  EXPECT_EQ(host.plugin().currentLap, -1);
  EXPECT_FALSE(host.plugin().isChallenging);
  EXPECT_TRUE(host.plugin().recordedFrames.empty());

  host.plugin().failNotInWorkshop();
  EXPECT_EQ(host.lines().back(), "Make sure you're in a workshop map.");
}

}  // namespace
