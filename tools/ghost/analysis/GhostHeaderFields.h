// The header line of a ghost file read field by field, by the plugin's own header reader
// (library/ghostfile/GhostHeaderLine.h): map, player, run time in milliseconds, lap count (the leading integer of
// "3-Lap") and version, each in its place. A missing field is empty.
#pragma once

#include <string_view>

#include "library/ghostfile/GhostHeaderLine.h"
#include "plugin/HostNames.h"

namespace lumaro_ghost {

// The number of laps the settings page's "Number of laps" setting can choose: the plugin's own.
using ::fewestLaps;
using ::mostLaps;

using GhostHeaderFields = ::GhostHeaderFields;

inline GhostHeaderFields readHeaderFields(std::string_view headerLine) { return readGhostHeader(headerLine); }

}  // namespace lumaro_ghost
