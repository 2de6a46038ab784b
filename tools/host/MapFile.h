// Workshop maps described in map files (maps/*.map): the map's name, whether it is played in freeplay,
// whether it has a main Kismet sequence and which typed variables that sequence starts with, and a track
// for the car (a start/finish line and a closed path). The format is documented in maps/README.md.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Game.h"
#include "sim/Track.h"

namespace lumaro_host {

// The most points a track may have. The car and its racing line look along the path at every game tick, and
// a map must be drivable at least at game speed: the car's place is found by halving, so this many points cost
// a few microseconds of a tick's 8 ms (bench: TrackPose).
inline constexpr std::size_t mostTrackPoints = 10'000;

struct MapFile {
  sim::MapDefinition definition;
  std::optional<sim::Track> track;
  std::optional<double> lapTime;  // the lap time a drive on this map takes when it names none
  bool racing = false;            // a drive that names no style follows the racing line (drive-style racing)
};

// Every mistake in the file, as "FILE:LINE: what is wrong", or the map.
struct MapFileResult {
  std::optional<MapFile> map;
  std::vector<std::string> errors;
};

// Both throw RunStopped (tools/host/StopSignals.h) at the next line once a signal asks the run to stop.
MapFileResult readMapFile(const std::filesystem::path& file);
MapFileResult parseMapFile(std::string_view text, const std::string& name);

}  // namespace lumaro_host
