#include "tools/host/MapCheck.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "plugin/Messages.h"
#include "sim/Game.h"
#include "tools/ghost/text/TextEscapes.h"
#include "tools/host/KismetContract.h"
#include "tools/host/MapFile.h"
#include "tools/host/Reports.h"
#include "tools/host/ScenarioMaps.h"

namespace fs = std::filesystem;

namespace lumaro_host {
namespace {

// The verdicts from best to worst.
constexpr std::array<MapVerdict, 4> fromBest = {MapVerdict::Works, MapVerdict::WorksIgnoring, MapVerdict::WillNotWork,
                                                MapVerdict::NotFound};

std::size_t rank(MapVerdict verdict) {
  std::size_t place = 0;
  while (fromBest[place] != verdict) ++place;
  return place;
}

std::string counted(std::size_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

MapVerdict checkMap(const std::string& name, const fs::path& bundledMaps, std::ostream& out) {
  const std::string shownName = lumaro_ghost::terminalText(name);
  const auto file = findFile(name, {fs::current_path(), bundledMaps}, ".map");
  if (!file) {
    // A relative name was looked for in two folders: say which, for a name mistyped or run from elsewhere.
    if (fs::path(name).is_relative()) out << "  looked in the current folder and " << shownPath(bundledMaps) << "\n";
    out << shownName << ": no such map file; nothing was checked\n";
    return MapVerdict::NotFound;
  }
  const MapFileResult read = readMapFile(*file);
  for (const auto& mistake : read.errors) out << lumaro_ghost::terminalText(mistake) << "\n";
  std::size_t problems = read.errors.size();
  std::size_t ignored = 0;
  if (read.map) {
    const sim::MapDefinition& map = read.map->definition;
    out << lumaro_ghost::terminalText(map.name) << " (" << shownPath(*file) << ")\n";
    for (const ContractFinding& finding : kismetContractFindings(map)) {
      out << "  Kismet: " << finding.text << "\n";
      if (finding.weight == ContractWeight::Problem) ++problems;
      if (finding.weight == ContractWeight::Ignored) ++ignored;
    }
    // Lumaro records and plays only in freeplay: a map that is not refuses every command.
    if (!map.freeplay) {
      out << "  not freeplay: every command answers \"" << messages::notInWorkshop << "\"\n";
      ++problems;
    }
  }
  out << shownName << ": ";
  if (problems > 0) {
    out << counted(problems, "problem", "problems") << "; Lumaro will not work on this map\n";
    return MapVerdict::WillNotWork;
  }
  if (ignored > 0) {
    out << "Lumaro works on this map, but ignores " << counted(ignored, "variable", "variables")
        << " the map means to offer\n";
    return MapVerdict::WorksIgnoring;
  }
  out << "the contract is complete; Lumaro works on this map\n";
  return MapVerdict::Works;
}

}  // namespace

MapVerdict worstVerdict(MapVerdict one, MapVerdict other) { return rank(one) >= rank(other) ? one : other; }

MapVerdict checkMaps(const std::vector<std::string>& names, const fs::path& bundledMaps, std::ostream& out) {
  std::array<std::size_t, fromBest.size()> tally{};
  MapVerdict worst = MapVerdict::Works;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) out << "\n";
    const MapVerdict verdict = checkMap(names[i], bundledMaps, out);
    ++tally[rank(verdict)];
    worst = worstVerdict(worst, verdict);
  }
  if (names.size() > 1) {
    // "6 map files: 3 complete, 1 works with ignored variables, 1 will not work, 1 not found", the verdicts
    // no file had left out.
    const std::array<std::string, fromBest.size()> parts = {
        "complete", tally[1] == 1 ? "works with ignored variables" : "work with ignored variables", "will not work",
        "not found"};
    out << "\n" << names.size() << " map files:";
    const char* separator = " ";
    for (std::size_t i = 0; i < parts.size(); ++i) {
      if (tally[i] == 0) continue;
      out << separator << tally[i] << " " << parts[i];
      separator = ", ";
    }
    out << "\n";
  }
  return worst;
}

}  // namespace lumaro_host
