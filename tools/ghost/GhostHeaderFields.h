// The header line of a ghost file read field by field, by the plugin's own header reader
// (library/GhostHeaderLine.h): map, player, run time in milliseconds, lap count (the leading integer of
// "3-Lap") and version, each in its place. A missing field is empty.
#pragma once

#include <string_view>

#include "library/GhostHeaderLine.h"

namespace lumaro_ghost {

// The number of laps the settings page's "Number of laps" setting can choose.
inline constexpr int fewestLaps = 1;
inline constexpr int mostLaps = 6;
// The version the plugin writes.
inline constexpr std::string_view writtenVersion = "1.1";

using GhostHeaderFields = ::GhostHeaderFields;

inline GhostHeaderFields readHeaderFields(std::string_view headerLine) { return readGhostHeader(headerLine); }

}  // namespace lumaro_ghost
