// The map files of a scenario, found and read when the scenario is read: a map file with a mistake stops
// the scenario before anything runs, like a bad step does.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "tools/host/Script.h"

namespace lumaro_host {

// A file named in a step: an absolute path as it is, otherwise the first of the folders that has it, and
// with extension added when the name has none and only that exists (nullptr: no extension is tried).
std::optional<std::filesystem::path> findFile(const std::string& name,
                                              const std::vector<std::filesystem::path>& folders, const char* extension);

// Where a map step looks for its file: the scenario's folder, the current folder, the maps folder beside the
// scenario's folder (bundled scenarios sit beside the bundled maps), then the bundled maps.
std::vector<std::filesystem::path> mapFolders(const std::filesystem::path& scriptFolder,
                                              const std::filesystem::path& bundledMaps);

// Finds and reads the map file of one map step; on success step.map and step.path are set. Otherwise
// either no file was found (one line saying where it was looked for) or the file's mistakes, each naming its
// file and line.
struct StepMapResult {
  bool found = true;
  std::vector<std::string> errors;
};
StepMapResult readStepMap(LoadMap& step, const std::filesystem::path& scriptFolder,
                          const std::filesystem::path& bundledMaps);

// Reads the map file of every map step. A mistake is reported at the step's line ("SCRIPT:LINE: ..."),
// followed by the map file's own "FILE:LINE: ..." lines; script.errors stays in the scenario's line order.
void readScriptMaps(Script& script, const std::filesystem::path& scriptFolder,
                    const std::filesystem::path& bundledMaps);

// The bundled maps folder of a lumaro-host in folder: share/lumaro/maps beside it (an installed or built
// tree: PREFIX/bin and PREFIX/share/lumaro/maps), else maps beside it.
std::filesystem::path bundledMapsFolder(const std::filesystem::path& executableFolder);

}  // namespace lumaro_host
