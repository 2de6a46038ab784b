// One ghost file read for the tool: its content as the import sees it, its header fields and its run's
// profile.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

#include "library/ghostfile/GhostHeaderLine.h"
#include "library/ghostfile/NumberReading.h"
#include "library/platform/FileStamp.h"
#include "library/platform/RegularFileReader.h"
#include "tools/ghost/analysis/GhostFileContent.h"
#include "tools/ghost/analysis/GhostHeaderFields.h"
#include "tools/ghost/analysis/RunProfile.h"

namespace lumaro_ghost {

struct LoadedGhost {
  std::string shownName;  // the path as the user gave it
  std::string fileName;   // its last component, as the page would take it
  GhostFileContent content;
  GhostHeaderFields header;
  RunProfile profile;
  std::optional<FileStamp> stamp;  // the identity of the file read, from its open handle
  // The header's lap count when it reads as one or more, else one.
  int laps() const {
    return header.lapCount.error == NumberError::None && header.lapCount.value > 0 ? header.lapCount.value : 1;
  }
};

struct LoadResult {
  std::optional<LoadedGhost> ghost;
  std::string error;  // when there is no ghost: why the file could not be read ("cannot be opened: REASON")
};

LoadResult loadGhost(const std::string& path);

// Why a run has no path to time or draw (fewer than two frames, or none apart): "holds no path to use: the
// import would load 1 frame".
std::string noPathReason(std::size_t frames);

// Why a file the tool asked for is not open, as every subcommand words it ("is a folder, not a ghost file",
// "cannot be opened: REASON"); empty when it is.
std::string refusalReason(const RegularFileReader& reader, const std::filesystem::path& file);

}  // namespace lumaro_ghost
