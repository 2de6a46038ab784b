// lumaro-ghost info: what each ghost file holds, and whether the settings page lists it.
#include <algorithm>
#include <cstddef>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "plugin/HostNames.h"
#include "tools/ghost/analysis/GhostHeaderFields.h"
#include "tools/ghost/analysis/LoadedGhost.h"
#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/command/CommandLine.h"
#include "tools/ghost/command/RaceRuns.h"
#include "tools/ghost/command/Subcommand.h"
#include "tools/ghost/report/InfoReport.h"

namespace lumaro_ghost {

namespace {

// The help states these in words.
static_assert(fewestLaps == 1 && mostLaps == 6 && fewestSectors == 1 && mostSectors == 100);
static_assert(defaultGapMs == 100 && defaultSectors == 10);

constexpr OptionHelp options[] = {
    {GhostOption::Json, "", "one JSON object per file, in an array, for scripts"},
    {GhostOption::Gap, "MS", "an interval between frames longer than MS milliseconds counts as a gap (default 100)"},
    {GhostOption::Map, "NAME", "ask about the page on this map (default: the map the file names)"},
    {GhostOption::Laps, "N", "ask about the page set to N laps, 1 to 6 (default: the file's lap count)"},
    {GhostOption::Sectors, "N", "sectors a lap is cut into, 1 to 100 (default 10)"},
};

int run(const CommandLine& line, std::ostream& out, std::ostream& err) {
  if (line.files.empty()) return usage(err, "info", "name at least one ghost file");
  const Loaded loaded = loadAll(line.files, "info", err);
  InfoOptions info;
  info.gapMs = line.gapMs;
  info.mapName = line.mapName;
  info.lapCount = line.laps;
  info.sectors = line.sectors;
  std::vector<GhostInfo> infos;
  for (const LoadedGhost& ghost : loaded.ghosts) infos.push_back(describeGhost(ghost, info));
  if (line.json) {
    writeInfoJson(out, infos);
  } else {
    for (std::size_t i = 0; i < infos.size(); ++i) {
      if (i > 0) out << "\n";
      writeInfoText(out, infos[i], info);
    }
  }
  return loaded.allRead ? 0 : 1;
}

}  // namespace

const Subcommand subcommands::info{
    "info",
    "what each ghost file holds, and whether the settings page lists it",
    "lumaro-ghost info FILE... [--json] [--gap MS] [--map NAME] [--laps N] [--sectors N]",
    R"(For each ghost file: the header (map, player, run time as race text, laps, version), the frame count and
duration, the path length, the mean and top speed (the top speed over 100 ms of run time), the sample
interval (median and worst), its lap times (at its start line: across the way it sets off, through its
first frame; each crossing interpolated between frames), its theoretical best lap (the best of each sector
over its laps), irregularities (times out of order, repeated times, gaps, lines the import skips or stops
at), and whether the plugin's settings page would list the file, with the entry it would show or the
reason it would not.
)",
    options,
    R"(Example:
  lumaro-ghost info tessaro/data/Ghosts/My-PB.ghost --map Speedway --laps 3
)",
    true,
    run,
};

}  // namespace lumaro_ghost
