#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/PluginExports.h"
#include "sim/Console.h"
#include "sim/Game.h"
#include "sim/PluginLoader.h"
#include "support/TempFolder.h"

namespace {

// The built plugin library, loaded with the dynamic loader the way the host loads it.
TEST(PluginLibrary, LoadsThroughItsExportsAlone) {
  TempFolder root;
  sim::Game game(root.path());
  {
    sim::LoadedPlugin plugin(LUMARO_PLUGIN_PATH, game);
    EXPECT_EQ(plugin.exports().hostApiBuild, 95);
    EXPECT_STREQ(plugin.exports().displayTitle, "Lumaro");
    EXPECT_EQ(plugin.exports().kindFlags, 32);
    EXPECT_EQ(game.console().commands().size(), 8u);
    EXPECT_EQ(game.console().variables().size(), 9u);
    EXPECT_TRUE(std::filesystem::is_directory(game.ghostFolder()));
    plugin.unload();
    EXPECT_EQ(game.console().commandsRun().back(), "closemenu settings");
  }
  // Loading again gives a fresh object on the same library.
  sim::LoadedPlugin again(LUMARO_PLUGIN_PATH, game);
  EXPECT_EQ(game.console().commands().size(), 8u);
}

}  // namespace
