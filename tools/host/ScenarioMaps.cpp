#include "tools/host/ScenarioMaps.h"

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <system_error>
#include <utility>
#include <variant>

#include "library/platform/PathText.h"
#include "tools/host/MapFile.h"
#include "tools/host/Reports.h"

namespace fs = std::filesystem;

namespace lumaro_host {
namespace {

// The scenario line an error of the form "SCRIPT:LINE: ..." names.
int lineOf(const std::string& error, const std::string& scriptName) {
  return std::atoi(error.c_str() + scriptName.size() + 1);
}

}  // namespace

std::optional<fs::path> findFile(const std::string& name, const std::vector<fs::path>& folders, const char* extension) {
  const std::optional<fs::path> named = pathFromUtf8IfAny(name);
  if (!named) return std::nullopt;
  const fs::path& given = *named;
  std::vector<fs::path> candidates;
  if (given.is_absolute()) {
    candidates.push_back(given);
  } else {
    for (const auto& folder : folders) candidates.push_back(folder / given);
  }
  std::error_code error;
  for (const auto& candidate : candidates) {
    if (fs::is_regular_file(candidate, error)) return candidate;
    if (extension != nullptr && !candidate.has_extension()) {
      fs::path withExtension = candidate;
      withExtension += extension;
      if (fs::is_regular_file(withExtension, error)) return withExtension;
    }
  }
  return std::nullopt;
}

std::vector<fs::path> mapFolders(const fs::path& scriptFolder, const fs::path& bundledMaps) {
  return {scriptFolder, fs::current_path(), scriptFolder.parent_path() / "maps", bundledMaps};
}

StepMapResult readStepMap(LoadMap& step, const fs::path& scriptFolder, const fs::path& bundledMaps) {
  const auto file = findFile(step.file, mapFolders(scriptFolder, bundledMaps), ".map");
  if (!file) {
    return {false,
            {"no map file " + step.file + " (looked in " + utf8FromPath(scriptFolder) + ", the current folder, " +
             utf8FromPath(scriptFolder.parent_path() / "maps") + " and " + utf8FromPath(bundledMaps) + ")"}};
  }
  MapFileResult read = readMapFile(*file);
  if (!read.map) return {true, std::move(read.errors)};
  step.path = *file;
  step.map = std::make_shared<const MapFile>(std::move(*read.map));
  return {};
}

void readScriptMaps(Script& script, const fs::path& scriptFolder, const fs::path& bundledMaps) {
  std::vector<std::string> errors;
  for (Step& step : script.steps) {
    auto* load = std::get_if<LoadMap>(&step.action);
    if (load == nullptr) continue;
    const StepMapResult read = readStepMap(*load, scriptFolder, bundledMaps);
    if (read.errors.empty()) continue;
    const std::string at = script.name + ":" + std::to_string(step.line) + ": ";
    if (!read.found) {
      errors.push_back(at + read.errors.front());
      continue;
    }
    errors.push_back(at + "the map file of \"" + step.text + "\" cannot be used:");
    for (const auto& mistake : read.errors) errors.push_back("  " + mistake);
  }
  if (errors.empty()) return;
  // Merged into the steps' own errors by scenario line; a map's lines stay under their step's line.
  std::vector<std::string> merged;
  std::size_t next = 0;
  for (const auto& error : script.errors) {
    const int line = lineOf(error, script.name);
    while (next < errors.size() && (errors[next].front() == ' ' || lineOf(errors[next], script.name) < line)) {
      merged.push_back(errors[next++]);
    }
    merged.push_back(error);
  }
  merged.insert(merged.end(), errors.begin() + static_cast<std::ptrdiff_t>(next), errors.end());
  script.errors = std::move(merged);
}

fs::path bundledMapsFolder(const fs::path& executableFolder) {
  fs::path shared = executableFolder.parent_path() / "share" / "lumaro" / "maps";
  std::error_code error;
  if (fs::is_directory(shared, error)) return shared;
  return executableFolder / "maps";
}

}  // namespace lumaro_host
