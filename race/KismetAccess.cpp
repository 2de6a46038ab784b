// How the plugin finds the map's Kismet variables: the main sequence's whole variable table is fetched
// into sequenceVariables, then scanned in table order with the type test first and an exact, byte-for-byte
// name comparison second. The table's keys are never consulted.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "host/GameWrapper.h"
#include "host/Kismet.h"
#include "plugin/HostNames.h"
#include "plugin/Lumaro.h"
#include "plugin/Messages.h"

namespace {

bool hasType(SequenceVariableWrapper& variable, KismetType type) {
  switch (type) {
    case KismetType::Int: return variable.IsInt();
    case KismetType::Float: return variable.IsFloat();
    case KismetType::String: return variable.IsString();
    case KismetType::Vector: return variable.IsVector();
  }
  return false;
}

bool matches(SequenceVariableWrapper& variable, KismetType type, std::string_view name) {
  return hasType(variable, type) && variable.GetVarName() == name;
}

}  // namespace

SequenceWrapper Lumaro::mainSequence() { return gameWrapper->GetMainSequence(); }

void Lumaro::refreshSequenceVariables(SequenceWrapper sequence) {
  sequenceVariables = sequence.GetAllSequenceVariables(true);
}

std::optional<SequenceVariableWrapper> Lumaro::findFirstVariable(KismetType type, std::string_view name) {
  for (const auto& entry : sequenceVariables) {
    SequenceVariableWrapper variable = entry.second;
    if (matches(variable, type, name)) return variable;
  }
  return std::nullopt;
}

std::optional<SequenceVariableWrapper> Lumaro::findFirstLapCounterAtStart() {
  for (const auto& entry : sequenceVariables) {
    SequenceVariableWrapper variable = entry.second;
    if (matches(variable, KismetType::Int, names::kismet::lapCounter) &&
        variable.GetInt() == names::kismet::lapCounterNoRace)
      return variable;
  }
  return std::nullopt;
}

std::optional<SequenceVariableWrapper> Lumaro::findLastVariable(KismetType type, std::string_view name) {
  std::optional<SequenceVariableWrapper> found;
  for (const auto& entry : sequenceVariables) {
    SequenceVariableWrapper variable = entry.second;
    if (matches(variable, type, name)) found = variable;
  }
  return found;
}

std::string Lumaro::currentMapName() {
  std::optional<SequenceVariableWrapper> variable = findLastVariable(KismetType::String, names::kismet::mapName);
  return variable ? variable->GetString() : std::string();
}

bool Lumaro::hasVariable(KismetType type, std::string_view name) { return findLastVariable(type, name).has_value(); }

void Lumaro::forEachVariable(KismetType type, std::string_view name,
                             const std::function<void(SequenceVariableWrapper&)>& visit) {
  for (const auto& entry : sequenceVariables) {
    SequenceVariableWrapper variable = entry.second;
    if (matches(variable, type, name)) visit(variable);
  }
}

// A variable held across ticks is still usable while its parent sequence exists: a map unload takes the
// sequence, and with it every variable, away.
bool Lumaro::isHeldVariableValid(SequenceVariableWrapper& held, bool emptyHandleIsInvalid) {
  if (held.GetParentSequence().IsNull()) return false;
  return !(emptyHandleIsInvalid && held.IsNull());
}

void Lumaro::failNotInWorkshop() {
  logStatus(std::string(messages::notInWorkshop));
  runReset();
}

// The colour write's own failure resets without re-applying the colour, or it would schedule itself again.
void Lumaro::failNoKismet(bool reapplyGhostColor) {
  logStatus(std::string(messages::noKismet));
  resetRunState(reapplyGhostColor);
}

bool Lumaro::checkInWorkshopMap() {
  if (gameWrapper->IsInFreeplay()) return true;
  failNotInWorkshop();
  return false;
}

bool Lumaro::checkMainSequence(bool reapplyGhostColor) {
  SequenceWrapper sequence = mainSequence();
  if (sequence.IsNull()) {
    failNoKismet(reapplyGhostColor);
    return false;
  }
  refreshSequenceVariables(sequence);
  return true;
}
