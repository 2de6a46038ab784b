#include "tools/host/ScenarioMaps.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <system_error>
#include <utility>
#include <variant>

#include "plugin/HostNames.h"
#include "plugin/Messages.h"
#include "sim/KismetMap.h"
#include "tools/host/MapFile.h"
#include "tools/host/Reports.h"

namespace fs = std::filesystem;

namespace lumaro_host {
namespace {

// The scenario line an error of the form "SCRIPT:LINE: ..." names.
int lineOf(const std::string& error, const std::string& scriptName) {
  return std::atoi(error.c_str() + scriptName.size() + 1);
}

struct ContractVariable {
  std::string_view name;
  sim::VariableType type;
  const char* withoutIt;       // what the player meets on a map without it
  bool optional = false;       // the plugin works without it
  std::string_view told = {};  // the plugin's status message on such a map, quoted after withoutIt
};

// In the order a map file usually lists them.
constexpr ContractVariable contract[] = {
    {names::kismet::lapCounter, sim::VariableType::Int, "nothing can be recorded or challenged here"},
    {names::kismet::mapName, sim::VariableType::String, "a run cannot be exported", false, messages::noMapName},
    {names::kismet::ghostPosition, sim::VariableType::Vector, "the ghost car cannot be moved"},
    {names::kismet::ghostRotation, sim::VariableType::Vector, "the ghost car cannot be moved"},
    {names::kismet::ghostColor, sim::VariableType::Float, "the ghost keeps the map's own colour (optional)", true},
    {names::kismet::ghostDelta, sim::VariableType::Float, "the map has no difference to the ghost to show (optional)",
     true},
};

// Edits (a letter changed, added or taken away) from one name to the other, letter case aside.
std::size_t editsApart(const std::string& left, const std::string& right) {
  const auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
  std::vector<std::size_t> row(right.size() + 1);
  for (std::size_t j = 0; j <= right.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= left.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= right.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (lower(left[i - 1]) == lower(right[j - 1]) ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[right.size()];
}

// The variable a map maker most likely meant by the wanted name: the same name in other letter case, or one
// at most two edits away.
const sim::VariableDefinition* nearMiss(const std::vector<sim::VariableDefinition>& variables,
                                        const std::string& wanted) {
  const sim::VariableDefinition* closest = nullptr;
  std::size_t fewest = 3;
  for (const auto& variable : variables) {
    if (variable.name == wanted) continue;
    const std::size_t edits = editsApart(variable.name, wanted);
    if (edits < fewest) {
      fewest = edits;
      closest = &variable;
    }
  }
  return closest;
}

std::string withArticle(sim::VariableType type) {
  return (type == sim::VariableType::Int ? "an " : "a ") + std::string(sim::typeName(type));
}

}  // namespace

std::optional<fs::path> findFile(const std::string& name, const std::vector<fs::path>& folders, const char* extension) {
  const fs::path given(name);
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
            {"no map file " + step.file + " (looked in " + scriptFolder.string() + ", the current folder, " +
             (scriptFolder.parent_path() / "maps").string() + " and " + bundledMaps.string() + ")"}};
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

std::vector<std::string> kismetContractProblems(const sim::MapDefinition& map, bool requiredOnly) {
  if (!map.hasMainSequence) return {"no main Kismet sequence: the plugin finds none of its variables here"};
  std::vector<std::string> problems;
  for (const ContractVariable& wanted : contract) {
    if (requiredOnly && wanted.optional) continue;
    // The plugin looks a variable up by type and name together, so one of another type is as good as none.
    bool rightType = false;
    std::optional<sim::VariableType> otherType;
    for (const auto& variable : map.variables) {
      if (variable.name != wanted.name) continue;
      if (variable.type == wanted.type)
        rightType = true;
      else
        otherType = variable.type;
    }
    if (rightType) continue;
    const std::string what =
        otherType ? std::string(wanted.name) + " is " + withArticle(*otherType) + ", not " + withArticle(wanted.type)
                  : std::string(wanted.name) + " (" + sim::typeName(wanted.type) + ") is missing";
    std::string problem = what + ": " + wanted.withoutIt;
    if (!wanted.told.empty()) problem += " (\"" + std::string(wanted.told) + "\")";
    if (const sim::VariableDefinition* meant = nearMiss(map.variables, std::string(wanted.name));
        meant != nullptr && !otherType) {
      problem += "; names are matched exactly, case included, and the map has " + meant->name + " (" +
                 sim::typeName(meant->type) + ")";
    }
    problems.push_back(problem);
  }
  return problems;
}

}  // namespace lumaro_host
