// lumaro-host --check-map: map files read as a map step reads them, each one's mistakes and its findings on the
// Kismet contract listed under its name and ended by its verdict on a line of its own; several files end with a
// count of the verdicts. Nothing runs. The exit status is the worst file's verdict.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace lumaro_host {

// The verdict on one map file, as its exit status. From best to worst: works, works but ignores what the map
// means to offer, will not work, no such file (the order worstVerdict goes by, not the numbers').
enum class MapVerdict : int {
  Works = 0,          // the contract is complete
  WillNotWork = 1,    // a problem: Lumaro does not work on the map as it should, or the file has a mistake
  NotFound = 2,       // no such map file: nothing was checked
  WorksIgnoring = 3,  // works, but an optional variable the map means to offer is ignored
};
MapVerdict worstVerdict(MapVerdict one, MapVerdict other);

// Checks each file in turn, found as a map step finds a file given on the command line: an absolute path as it
// is, else in the current folder, then among the bundled maps. The report goes to out, a file not found included.
MapVerdict checkMaps(const std::vector<std::string>& names, const std::filesystem::path& bundledMaps,
                     std::ostream& out);

}  // namespace lumaro_host
