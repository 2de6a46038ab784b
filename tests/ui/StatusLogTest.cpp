#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plugin/Lumaro.h"
#include "sim/Console.h"
#include "sim/Game.h"
#include "support/PluginHarness.h"

namespace {

TEST(StatusLog, WritesTheConsoleLineThenSetsLmLogThroughTheConsole) {
  PluginHarness host;
  const auto commands = host.console().commandsRun().size();
  host.plugin().logStatus("Race started.");
  EXPECT_EQ(host.lines().back(), "Race started.");
  ASSERT_GT(host.console().commandsRun().size(), commands);
  EXPECT_EQ(host.console().commandsRun()[commands], "lm_log \"Race started.\"");
  EXPECT_EQ(host.cvar("lm_log"), "Race started.");
}

TEST(StatusLog, TheMessageIsEmbeddedUnescaped) {
  PluginHarness host;
  const auto commands = host.console().commandsRun().size();
  host.plugin().logStatus("");
  EXPECT_EQ(host.console().commandsRun()[commands], "lm_log \"\"");
  EXPECT_EQ(host.cvar("lm_log"), "");
  const auto next = host.console().commandsRun().size();
  host.plugin().logStatus("say \"hi\"");
  EXPECT_EQ(host.console().commandsRun()[next], "lm_log \"say \"hi\"\"");
}

TEST(StatusLog, TwoMessagesInARowLeaveTheSecondInLmLog) {
  PluginHarness host;
  host.plugin().logStatus("first");
  host.plugin().logStatus("second");
  EXPECT_EQ(host.newLines(), (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(host.cvar("lm_log"), "second");
}

TEST(StatusLog, EveryMessageEndsUpOnTheLastLineOfTheRewrittenPage) {
  PluginHarness host;
  const int reloads = host.game().pageReloads();
  host.plugin().logStatus("Stopped ghost.");
  EXPECT_EQ(host.game().pageReloads(), reloads + 1);
  std::ifstream in(host.game().settingsPage(), std::ios::binary);
  const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_TRUE(page.ends_with("\r\n8|\r\n9|Stopped ghost.\r\n")) << page;
}

}  // namespace
