#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/Console.h"
#include "sim/Game.h"
#include "support/PluginHarness.h"

namespace {

// Every registration onLoad makes, in order, with every argument, as the stand-in host recorded it.
TEST(Registrations, OrderAndArgumentsAreFixed) {
  PluginHarness host;
  const std::vector<std::string> expected = {
      "registerNotifier lm_record | Record Ghost | 0",
      "registerNotifier lm_play | Play Ghost | 0",
      "registerNotifier lm_stop | Stop Ghost | 0",
      "registerNotifier lm_challenge | Challenge Ghost | 0",
      "registerNotifier lm_export | Export Ghost | 0",
      "registerNotifier lm_import | Import Ghost | 0",
      "registerNotifier lm_open_folder | Import Ghost | 0",
      "registerNotifier lm_update_list | Update Ghost List | 0",
      // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one logged line, split to fit the width
      "registerCvar lm_ghostfilepath | none | Selected Ghost from Ghost list | searchable=1 | min=0,0 | max=0,0 | "
      "save=1",
      "addOnValueChanged lm_ghostfilepath",
      "registerCvar lm_export_filename | My-PB | Ghost Export filename | searchable=1 | min=0,0 | max=0,0 | save=1",
      "registerCvar lm_lapNbr | 1 | Number of laps | searchable=1 | min=1,1 | max=1,6 | save=1",
      "registerCvar lm_isrecording | 0 | is user recording | searchable=1 | min=1,0 | max=1,1 | save=1",
      "registerCvar lm_log |   | Logs errors and states | searchable=1 | min=0,0 | max=0,0 | save=1",
      "registerCvar lm_autorecord | 0 | auto record when starting a map | searchable=1 | min=1,0 | max=1,1 | save=1",
      "addOnValueChanged lm_autorecord",
      "addOnValueChanged lm_lapNbr",
      "registerCvar lm_maxsecs | 20.000 | Max seconds for auto exporting | searchable=1 | min=1,1 | max=0,0 | save=1",
      "registerCvar lm_autoexport | 0 | auto export when under max seconds | searchable=1 | min=1,0 | max=1,1 | save=1",
      "SetTimeout 0.1",
      "registerCvar lm_color | #FFFFFF | Color edit component | searchable=1 | min=0,0 | max=0,0 | save=1",
      "addOnValueChanged lm_color",
      "HookEvent Function TAGame.GFxData_MenuStack_TA.HandleMapLoad",
      "HookEvent Function TAGame.PlayerSpawnSystem_TA.HandlePlayerSpawnStart",
  };
  EXPECT_EQ(host.game().hostCalls(), expected);
}

TEST(Registrations, DefaultsAreInPlaceAfterLoad) {
  PluginHarness host;
  EXPECT_EQ(host.cvar("lm_ghostfilepath"), "none");
  EXPECT_EQ(host.cvar("lm_export_filename"), "My-PB");
  EXPECT_EQ(host.cvar("lm_lapNbr"), "1");
  EXPECT_EQ(host.cvar("lm_isrecording"), "0");
  EXPECT_EQ(host.cvar("lm_log"), " ");
  EXPECT_EQ(host.cvar("lm_autorecord"), "0");
  EXPECT_EQ(host.cvar("lm_maxsecs"), "20.000");
  EXPECT_EQ(host.cvar("lm_autoexport"), "0");
  EXPECT_EQ(host.cvar("lm_color"), "#FFFFFF");
}

TEST(Registrations, VariablesWithoutHandlersRunNothingWhenChanged) {
  PluginHarness host;
  const auto calls = host.game().hostCalls().size();
  const auto commands = host.console().commandsRun().size();
  for (const char* line :
       {"lm_export_filename x", "lm_isrecording 1", "lm_log hi", "lm_maxsecs 5", "lm_autoexport 1"}) {
    host.run(line);
  }
  EXPECT_EQ(host.game().hostCalls().size(), calls);
  EXPECT_EQ(host.console().commandsRun().size(), commands + 5);
  EXPECT_TRUE(host.lines().empty());
}

}  // namespace
