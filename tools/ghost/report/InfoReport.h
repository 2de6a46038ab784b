// What `lumaro-ghost info` says about a ghost file: its header, frames, duration, path length, speeds,
// sampling, its laps (timed at its start line), its theoretical best lap, irregularities and whether the
// settings page would list it, as text for a person or as JSON for a script (docs/ghost-tool.md).
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/ghost/analysis/LoadedGhost.h"
#include "tools/ghost/analysis/PageListing.h"
#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/analysis/RunProfile.h"

namespace lumaro_ghost {

struct InfoOptions {
  std::int32_t gapMs = 100;              // an interval longer than this is a gap
  std::optional<std::string> mapName;    // the page's map; by default the file's own
  std::optional<std::int32_t> lapCount;  // the page's lap count; by default the file's own
  int sectors = 10;                      // per lap, for the theoretical best
};

struct GhostInfo {
  const LoadedGhost* ghost = nullptr;
  SampleTiming timing;
  PageListing listing;
  std::string listingMap;
  std::int32_t listingLaps = 0;
  Analysis analysis;  // of the run alone: its laps and sectors
};

GhostInfo describeGhost(const LoadedGhost& ghost, const InfoOptions& options);

void writeInfoText(std::ostream& out, const GhostInfo& info, const InfoOptions& options);
// One JSON object per file, in an array.
void writeInfoJson(std::ostream& out, const std::vector<GhostInfo>& infos);

}  // namespace lumaro_ghost
