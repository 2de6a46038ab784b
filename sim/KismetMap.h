// A loaded map's main Kismet sequence: named, typed variables the map's script and the plugin share.
// Every write made through a handle is kept, in order and stamped with the game clock, as the write trace.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/Api.h"
#include "host/Values.h"

namespace sim {

enum class VariableType { Int, Float, String, Vector, Bool };

TESSARO_SDK_API const char* typeName(VariableType type);

struct KismetVariable {
  std::uintptr_t address = 0;
  std::uintptr_t parent = 0;
  std::string name;
  VariableType type = VariableType::Int;
  int intValue = 0;
  float floatValue = 0.0f;
  std::string stringValue;
  Vector vectorValue;
};

struct KismetWrite {
  std::int64_t time = 0;  // game clock, 100-ns ticks
  std::string variable;
  VariableType type = VariableType::Float;
  float floatValue = 0.0f;
  Vector vectorValue;
};

class TESSARO_SDK_API KismetSequence {
public:
  KismetSequence();
  ~KismetSequence();
  KismetSequence(const KismetSequence&) = delete;
  KismetSequence& operator=(const KismetSequence&) = delete;

  std::uintptr_t address() const { return address_; }

  // A sequence holds one variable per name, as the SDK surface's table is keyed by name: adding a name
  // that is there already, of whatever type, throws std::invalid_argument.
  KismetVariable& add(std::string name, VariableType type);
  // The first variable of that name and type, as the map's own script finds it.
  KismetVariable* find(const std::string& name, VariableType type);
  const std::vector<std::unique_ptr<KismetVariable>>& variables() const { return variables_; }

  // The table GetAllSequenceVariables hands out: every variable, keyed by its name.
  std::map<std::string, std::uintptr_t> table() const;

private:
  std::uintptr_t address_;
  std::vector<std::unique_ptr<KismetVariable>> variables_;
  // The variables by name, so that a map of many variables loads and is searched in time linear in their number.
  std::unordered_map<std::string, KismetVariable*> byName_;
};

}  // namespace sim
