#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/CVarManagerWrapper.h"
#include "host/CVarWrapper.h"
#include "host/Values.h"
#include "sim/Console.h"
#include "sim/Game.h"
#include "support/TempFolder.h"

namespace {

class ConsoleTest : public ::testing::Test {
protected:
  TempFolder root;
  sim::Game game{root.path()};
  std::shared_ptr<CVarManagerWrapper> console = game.cvarManagerWrapper();
};

TEST_F(ConsoleTest, TypedReadsOfAVariable) {
  CVarWrapper seconds = console->registerCvar("t_secs", "20.000", "", true, true, 1.0f, false, 0, true);
  EXPECT_EQ(seconds.getIntValue(), 20);
  EXPECT_FLOAT_EQ(seconds.getFloatValue(), 20.0f);
  EXPECT_EQ(seconds.getStringValue(), "20.000");
  EXPECT_TRUE(seconds.getBoolValue());

  CVarWrapper colour = console->registerCvar("t_color", "#FF8000", "", true, false, 0, false, 0, true);
  LinearColor c = colour.getColorValue();
  EXPECT_EQ(c.R, 255.0f);
  EXPECT_EQ(c.G, 128.0f);
  EXPECT_EQ(c.B, 0.0f);
  EXPECT_EQ(c.A, 255.0f);
}

TEST_F(ConsoleTest, LimitsClampNumericValuesAndKeepTextThatFits) {
  CVarWrapper laps = console->registerCvar("t_laps", "1", "", true, true, 1.0f, true, 6.0f, true);
  console->executeCommand("t_laps 9");
  EXPECT_EQ(laps.getStringValue(), "6");
  console->executeCommand("t_laps 0");
  EXPECT_EQ(laps.getStringValue(), "1");
  console->executeCommand("t_laps 3.0");
  EXPECT_EQ(laps.getStringValue(), "3.0");
  EXPECT_EQ(laps.getIntValue(), 3);
}

TEST_F(ConsoleTest, ChangeCallbacksRunBeforeExecuteReturnsAndOnlyOnARealChange) {
  CVarWrapper path = console->registerCvar("t_path", "none", "", true, false, 0, false, 0, true);
  std::vector<std::string> seen;
  path.addOnValueChanged(
      [&](const std::string& old, CVarWrapper now) { seen.push_back(old + "->" + now.getStringValue()); });
  console->executeCommand("t_path \"a b.ghost\"");
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], "none->a b.ghost");
  console->executeCommand("t_path \"a b.ghost\"");
  EXPECT_EQ(seen.size(), 1u);
}

TEST_F(ConsoleTest, HostCommandsAreRecordedAndUnknownOnesReported) {
  console->executeCommand("cl_settings_refreshplugins");
  console->executeCommand("closemenu settings");
  console->executeCommand("no_such_thing 1");
  EXPECT_EQ(game.pageReloads(), 1);
  EXPECT_EQ(game.menuCloses(), 1);
  EXPECT_EQ(game.console().lines().back(), "Unknown command: no_such_thing");
  EXPECT_EQ(game.console().commandsRun().size(), 3u);
}

TEST_F(ConsoleTest, SavedValuesComeBackAtRegistration) {
  game.console().preloadSavedValue("t_rec", "1");
  CVarWrapper recording = console->registerCvar("t_rec", "0", "", true, true, 0.0f, true, 1.0f, true);
  EXPECT_TRUE(recording.getBoolValue());
}

}  // namespace
