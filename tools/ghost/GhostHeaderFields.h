// The header line of a ghost file read field by field, with the page's number reading: map, player, run
// time in milliseconds, lap count (the leading integer of "3-Lap") and version. A missing field is empty.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "library/NumberReading.h"

namespace lumaro_ghost {

// The number of laps the settings page's "Number of laps" setting can choose.
inline constexpr int fewestLaps = 1;
inline constexpr int mostLaps = 6;
// The version the plugin writes.
inline constexpr std::string_view writtenVersion = "1.1";

struct GhostHeaderFields {
  std::size_t fieldCount = 0;
  std::string mapName;
  std::string playerName;
  std::string runTimeField;
  IntReading runTime;
  std::string lapField;
  IntReading lapCount;
  std::string version;
};

GhostHeaderFields readHeaderFields(std::string_view headerLine);

}  // namespace lumaro_ghost
