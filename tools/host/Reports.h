// What lumaro-host shows on request: the plugin's settings page, the ghost folder's listing, the map's
// Kismet variables, the car, the console variables, and the trace of Kismet writes as CSV (time in ms
// since the start, the variable, x, y, z for a vector or the value for a float).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "sim/Driver.h"
#include "sim/Game.h"
#include "sim/KismetMap.h"

namespace lumaro_host {

// The page as the host last showed it: as the player sees it, or the page file's lines when raw.
void writePage(std::ostream& out, sim::Game& game, bool raw);
void writeGhostListing(std::ostream& out, const sim::Game& game);
void writeKismet(std::ostream& out, sim::Game& game);
void writeCar(std::ostream& out, sim::Game& game, const sim::Driver* driver);
void writeCvars(std::ostream& out, sim::Game& game);
void writeTraceCsv(std::ostream& out, const sim::Game& game, std::int64_t start);

// The lines of a text file without their line ends (LF or CR LF); nothing when it cannot be read.
std::optional<std::vector<std::string>> readLines(const std::filesystem::path& file);
// A float in the fewest digits that read back as the same float: 10.999, not 10.9989996.
std::string floatText(float value);
// "GhostColor (float) = 10.999"
std::string describeVariable(const sim::KismetVariable& variable);
// A path as shown to a person: relative to the current folder when it lies inside it, otherwise whole.
std::string shownPath(const std::filesystem::path& path);
// Milliseconds since start, without trailing zeros: 60008, 1234.5.
std::string millisecondsText(std::int64_t ticks);

}  // namespace lumaro_host
