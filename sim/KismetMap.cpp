#include "sim/KismetMap.h"

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "sim/KismetWords.h"
#include "sim/Registry.h"

namespace sim {

const char* typeName(VariableType type) {
  const auto index = static_cast<std::size_t>(type);
  return index < sim::kismetWords::typeNames.size() ? sim::kismetWords::typeNames[index].data() : "?";
}

KismetSequence::KismetSequence() : address_(enter(ObjectKind::Sequence, this)) {}

KismetSequence::~KismetSequence() {
  for (auto& variable : variables_) forget(variable->address);
  forget(address_);
}

KismetVariable& KismetSequence::add(std::string name, VariableType type) {
  const auto [slot, isNew] = byName_.try_emplace(name, nullptr);
  if (!isNew) throw std::invalid_argument("the Kismet variable " + name + " is defined twice");
  auto variable = std::make_unique<KismetVariable>();
  variable->address = enter(ObjectKind::Variable, variable.get());
  variable->parent = address_;
  variable->name = std::move(name);
  variable->type = type;
  slot->second = variable.get();
  variables_.push_back(std::move(variable));
  return *variables_.back();
}

KismetVariable* KismetSequence::find(const std::string& name, VariableType type) {
  const auto found = byName_.find(name);
  return found != byName_.end() && found->second->type == type ? found->second : nullptr;
}

std::map<std::string, std::uintptr_t> KismetSequence::table() const {
  std::map<std::string, std::uintptr_t> result;
  for (const auto& variable : variables_) result.emplace(variable->name, variable->address);
  return result;
}

}  // namespace sim
