// A short session on the stand-in host: the plugin library is loaded through its exports alone, a
// workshop map is loaded, and the console, the registered commands and variables are shown.
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "sim/Game.h"
#include "sim/PluginLoader.h"

namespace fs = std::filesystem;

int main(int, char** argv) {
  const fs::path here = fs::absolute(fs::path(argv[0])).parent_path();
  const fs::path root = fs::temp_directory_path() / "lumaro-demo";
  fs::remove_all(root);
  sim::Game game(root);
  game.console().setLineObserver([](const std::string& line) { std::cout << "  console | " << line << "\n"; });

  std::cout << "Loading " << (here / LUMARO_PLUGIN_FILE).string() << " through its exports\n";
  sim::LoadedPlugin plugin(here / LUMARO_PLUGIN_FILE, game);
  const auto& record = plugin.exports();
  std::cout << "  " << record.displayTitle << " " << record.versionText << " (host interface build "
            << record.hostApiBuild << ")\n\n";

  std::cout << "Commands:\n";
  for (const auto& [name, command] : game.console().commands()) {
    std::cout << "  " << name << "  -- " << command.description << "\n";
  }
  std::cout << "Variables:\n";
  for (const auto& variable : game.console().variables()) {
    std::cout << "  " << variable->name << " = \"" << variable->value << "\"  -- " << variable->description << "\n";
  }

  std::cout << "\nLoading the workshop map \"Speedway\" and running a second of game time\n";
  game.loadMap(sim::workshopMap("Speedway"));
  game.runFor(1.0);
  game.console().execute("lm_lapNbr 3");
  game.console().execute("lm_lapNbr");

  std::cout << "\nUnloading\n";
  plugin.unload();
  std::cout << "Ghost folder: " << game.ghostFolder().string() << "\n";
  return 0;
}
