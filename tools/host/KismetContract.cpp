#include "tools/host/KismetContract.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/ImportMessages.h"
#include "plugin/HostNames.h"
#include "plugin/Messages.h"
#include "sim/KismetMap.h"
#include "sim/KismetWords.h"

namespace lumaro_host {
namespace {

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
    {names::kismet::ghostColor, sim::VariableType::Float, "the ghost keeps the map's own colour", true},
    {names::kismet::ghostDelta, sim::VariableType::Float, "the map has no difference to the ghost to show", true},
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

std::string quoted(std::string_view message) { return "\"" + std::string(message) + "\""; }

// A variable of the right type whose starting value the plugin cannot work with: a lap counter that does not
// start at "no race" (the plugin arms nothing until the map's script resets it), a map name that is empty (the
// plugin takes it for none).
std::optional<std::string> startingValueProblem(const sim::VariableDefinition& variable) {
  if (variable.name == names::kismet::lapCounter) {
    const auto start = sim::kismetWords::intOfWord(variable.initialValue).value;
    if (start == names::kismet::lapCounterNoRace) return std::nullopt;
    const std::string noRace = std::to_string(names::kismet::lapCounterNoRace);
    return variable.name + " starts at " + std::to_string(start) + ", not " + noRace +
           ": until the map's script sets it to " + noRace + " (at a ball reset or a respawn), every record and " +
           "challenge says " + quoted(messages::resetLapCounter) +
           " and automatic recording arms nothing; restarting the map starts it at " + std::to_string(start) + " again";
  }
  if (variable.name == names::kismet::mapName && variable.initialValue.empty()) {
    return variable.name + " is empty: a run cannot be exported (" + quoted(messages::noMapName) +
           ") and the ghost list offers none of the map's ghosts";
  }
  if (variable.name == names::kismet::mapName) {
    // The shortest header line a run on this map can be exported with: no player name, 0 ms, one lap. When even
    // that is longer than the page reads, no ghost of the map is ever listed.
    const GhostHeader shortest{variable.initialValue, "", 0, 1, writtenGhostVersion};
    const std::size_t length = headerLine(shortest).size() - ghostLineEnd.size();
    if (length > ghostLineLimit) {
      return variable.name + " is " + std::to_string(variable.initialValue.size()) +
             " bytes long: every ghost exported here has a header line " + longHeaderReason() +
             ", so the run is written but never listed on the page, and cannot be picked to race";
    }
  }
  return std::nullopt;
}

}  // namespace

std::vector<ContractFinding> kismetContractFindings(const sim::MapDefinition& map) {
  if (!map.hasMainSequence) {
    return {{ContractWeight::Problem, "no main Kismet sequence: the plugin finds none of its variables here"}};
  }
  std::vector<ContractFinding> findings;
  for (const ContractVariable& wanted : contract) {
    // The plugin looks a variable up by type and name together, so one of another type is as good as none.
    const sim::VariableDefinition* found = nullptr;
    std::optional<sim::VariableType> otherType;
    for (const auto& variable : map.variables) {
      if (variable.name != wanted.name) continue;
      if (variable.type == wanted.type)
        found = &variable;
      else
        otherType = variable.type;
    }
    if (found != nullptr) {
      if (auto problem = startingValueProblem(*found)) findings.push_back({ContractWeight::Problem, *problem});
      continue;
    }
    const sim::VariableDefinition* meant = otherType ? nullptr : nearMiss(map.variables, std::string(wanted.name));
    // An optional variable declared under another type or a near-miss name was meant to be offered: the map
    // maker is told the plugin ignores it, not that the map simply goes without.
    ContractWeight weight = ContractWeight::Problem;
    if (wanted.optional) weight = otherType || meant != nullptr ? ContractWeight::Ignored : ContractWeight::Absent;
    std::string text =
        otherType ? std::string(wanted.name) + " is " + withArticle(*otherType) + ", not " + withArticle(wanted.type)
                  : std::string(wanted.name) + " (" + sim::typeName(wanted.type) + ") is missing";
    text += ": ";
    if (weight == ContractWeight::Ignored && otherType) text += "Lumaro ignores it, so ";
    text += wanted.withoutIt;
    if (!wanted.told.empty()) text += " (" + quoted(wanted.told) + ")";
    if (weight == ContractWeight::Absent) text += " (optional)";
    if (meant != nullptr) {
      text += "; names are matched exactly, case included, and ";
      text += weight == ContractWeight::Ignored ? "Lumaro ignores the map's " : "the map has ";
      text += meant->name + " (" + sim::typeName(meant->type) + ")";
    }
    findings.push_back({weight, std::move(text)});
  }
  return findings;
}

}  // namespace lumaro_host
