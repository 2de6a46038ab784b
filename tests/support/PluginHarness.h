// A stand-in host with the plugin loaded, for tests: a game in a temporary game root, the plugin object
// obtained through getPlugin with its host pointers filled and onLoad run. Time moves only when the test
// runs ticks. Teardown unloads the plugin and releases it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "plugin/Lumaro.h"
#include "sim/Console.h"
#include "sim/Game.h"
#include "sim/KismetMap.h"
#include "support/TempFolder.h"

class PluginHarness {
public:
  // load: whether onLoad runs now; tests of loading itself prepare the game first.
  explicit PluginHarness(bool load = true);
  ~PluginHarness();

  void load();
  sim::Game& game() { return *game_; }
  sim::Console& console() { return game_->console(); }
  Lumaro& plugin() { return *plugin_; }

  void run(const std::string& line) { console().execute(line); }
  std::string cvar(const std::string& name) const { return *game_->console().valueOf(name); }
  // Console lines logged since the last call.
  std::vector<std::string> newLines();
  const std::vector<std::string>& lines() const { return game_->console().lines(); }
  // The Kismet variable of the current map, by name and type.
  sim::KismetVariable& variable(const std::string& name, sim::VariableType type);
  void setLap(int value) { variable("LapNb", sim::VariableType::Int).intValue = value; }

private:
  TempFolder root_;
  std::unique_ptr<sim::Game> game_;
  Lumaro* plugin_ = nullptr;
  bool loaded_ = false;
  std::size_t linesSeen_ = 0;
};
