#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plugin/Lumaro.h"
#include "sim/Console.h"
#include "sim/Game.h"
#include "support/PluginHarness.h"

namespace {

TEST(CallbackGuard, AnErrorBecomesAStatusMessageAndThePluginGoesOn) {
  PluginHarness host;
  host.plugin().runGuarded("lm_export", [] { throw std::runtime_error("disk on fire"); });
  EXPECT_EQ(host.lines().back(), "lm_export stopped on an error: disk on fire");
  EXPECT_EQ(host.cvar("lm_log"), "lm_export stopped on an error: disk on fire");
  host.plugin().runGuarded("timer", [] { throw 42; });
  EXPECT_EQ(host.lines().back(), "timer stopped on an error: unknown error");
}

TEST(CallbackGuard, AFailedGhostFolderIsReportedAndLoadingCompletes) {
  PluginHarness host(false);
  // A file where the folder should be: the folder cannot be made.
  { std::ofstream(host.game().ghostFolder()) << "not a folder"; }
  host.load();
  ASSERT_FALSE(host.lines().empty());
  EXPECT_EQ(
      host.lines().front().rfind("Could not create the ghost folder " + host.game().ghostFolder().string() + ": ", 0),
      0u)
      << host.lines().front();
  EXPECT_TRUE(host.console().valueOf("lm_color").has_value());
  EXPECT_EQ(host.game().hostCalls().back(), std::string("HookEvent ") + sim::playerSpawnEvent);
}

}  // namespace
