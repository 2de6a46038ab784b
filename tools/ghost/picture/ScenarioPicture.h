// lumaro-host's picture of a scenario: the map's track, each ghost file the ghost folder holds at the end
// (the runs the plugin recorded and exported, or was given), and the path along which the plugin moved the
// ghost car (its GhostPosition writes), drawn as lumaro-ghost draws runs. The panels come in the order
// lumaro-ghost compares them: first the files the scenario did not export (ghosts it was given), then the
// exported ones in the order of their last export, so a recorded run is A and the challenge of it B. Each
// playback of the ghost car is drawn on the panel of the file it replayed (the last one imported before
// it began), or on a panel of its own when that file is no longer in the folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "sim/Driver.h"
#include "sim/Game.h"

namespace lumaro_ghost {

// A console line with the game time it was shown at (100-ns ticks).
struct TimedConsoleLine {
  std::int64_t time = 0;
  std::string text;
};

// driver: the car's driver on the last map with a track, if any; console: every console line of the
// scenario. Returns an error text, empty when written.
std::string writeScenarioPicture(const std::filesystem::path& file, const sim::Game& game, const sim::Driver* driver,
                                 const std::string& scenarioName, const std::vector<TimedConsoleLine>& console);

}  // namespace lumaro_ghost
