// lumaro-host's picture of a scenario: the map's track, each ghost file the ghost folder holds at the end
// (the runs the plugin recorded and exported, or was given), and the path along which the plugin moved the
// ghost car (its GhostPosition writes), drawn as lumaro-ghost plot draws runs.
#pragma once

#include <filesystem>
#include <string>

#include "sim/Driver.h"
#include "sim/Game.h"

namespace lumaro_ghost {

// driver: the car's driver on the last map with a track, if any. Returns an error text, empty when written.
std::string writeScenarioPicture(const std::filesystem::path& file, const sim::Game& game, const sim::Driver* driver,
                                 const std::string& scenarioName);

}  // namespace lumaro_ghost
