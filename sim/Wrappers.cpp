// The host SDK surface, implemented over the simulated game. Every call resolves its handle's address
// through the registry; a handle whose object is gone reads as empty and its writes are dropped.
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/ActorWrapper.h"
#include "host/CVarManagerWrapper.h"
#include "host/CVarWrapper.h"
#include "host/GameWrapper.h"
#include "host/Kismet.h"
#include "host/UnrealStringWrapper.h"
#include "host/Values.h"
#include "sim/Console.h"
#include "sim/Game.h"
#include "sim/KismetMap.h"
#include "sim/Registry.h"

using sim::ObjectKind;

// The members below keep the signatures host/ declares, which are the host's own: strings and paths by value.
// NOLINTBEGIN(performance-unnecessary-value-param)

namespace {

sim::Console* consoleAt(std::uintptr_t address) { return sim::resolve<sim::Console>(address, ObjectKind::Console); }
sim::ConsoleVariable* cvarAt(std::uintptr_t address) {
  return sim::resolve<sim::ConsoleVariable>(address, ObjectKind::CVar);
}
sim::Game* gameAt(std::uintptr_t address) { return sim::resolve<sim::Game>(address, ObjectKind::Game); }
sim::KismetVariable* variableAt(std::uintptr_t address) {
  return sim::resolve<sim::KismetVariable>(address, ObjectKind::Variable);
}

// Every operation of the surface announces itself first: the game may move its clock on, or tell a test.
void sdkCall(const char* name) {
  if (sim::Game* game = sim::activeGame()) game->noteSdkCall(name);
}

}  // namespace

// ---- console ----

void CVarManagerWrapper::registerNotifier(std::string name, std::function<void(std::vector<std::string>)> callback,
                                          std::string description, unsigned char permissions) {
  sdkCall("registerNotifier");
  if (sim::Console* console = consoleAt(memoryAddress)) {
    console->registerCommand({std::move(name), std::move(description), permissions, std::move(callback)});
  }
}

CVarWrapper CVarManagerWrapper::registerCvar(std::string name, std::string defaultValue, std::string description,
                                             bool searchable, bool hasMin, float min, bool hasMax, float max,
                                             bool saveToCfg) {
  sdkCall("registerCvar");
  sim::Console* console = consoleAt(memoryAddress);
  if (console == nullptr) return CVarWrapper(0);
  sim::ConsoleVariable variable;
  variable.name = std::move(name);
  variable.defaultValue = std::move(defaultValue);
  variable.description = std::move(description);
  variable.searchable = searchable;
  variable.hasMin = hasMin;
  variable.min = min;
  variable.hasMax = hasMax;
  variable.max = max;
  variable.saveToCfg = saveToCfg;
  return CVarWrapper(console->registerVariable(std::move(variable)).address);
}

CVarWrapper CVarManagerWrapper::getCvar(std::string name) {
  sdkCall("getCvar");
  sim::Console* console = consoleAt(memoryAddress);
  if (console == nullptr) return CVarWrapper(0);
  sim::ConsoleVariable* variable = console->find(name);
  return CVarWrapper(variable ? variable->address : 0);
}

void CVarManagerWrapper::executeCommand(std::string command, bool log) {
  sdkCall("executeCommand");
  if (sim::Console* console = consoleAt(memoryAddress)) {
    console->noteHostCall("executeCommand " + command + " | log " + (log ? "true" : "false"));
    console->execute(command);
  }
}

void CVarManagerWrapper::log(std::string text) {
  sdkCall("log");
  if (sim::Console* console = consoleAt(memoryAddress)) {
    console->noteHostCall("log " + text);
    console->log(text);
  }
}

void CVarWrapper::addOnValueChanged(std::function<void(std::string, CVarWrapper)> callback) {
  sdkCall("addOnValueChanged");
  if (sim::ConsoleVariable* variable = cvarAt(memoryAddress)) {
    variable->owner->noteHostCall("addOnValueChanged " + variable->name);
    variable->onChange.push_back(std::move(callback));
  }
}

bool CVarWrapper::getBoolValue() const {
  sdkCall("getBoolValue");
  const sim::ConsoleVariable* variable = cvarAt(memoryAddress);
  if (variable == nullptr) return false;
  return sim::boolValue(variable->value);
}

int CVarWrapper::getIntValue() const {
  sdkCall("getIntValue");
  const sim::ConsoleVariable* variable = cvarAt(memoryAddress);
  if (variable == nullptr) return 0;
  const double value = std::trunc(sim::numericValue(variable->value));
  if (value >= 2147483647.0) return 2147483647;
  if (value <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(value);
}

float CVarWrapper::getFloatValue() const {
  sdkCall("getFloatValue");
  const sim::ConsoleVariable* variable = cvarAt(memoryAddress);
  return variable ? static_cast<float>(sim::numericValue(variable->value)) : 0.0f;
}

std::string CVarWrapper::getStringValue() const {
  sdkCall("getStringValue");
  const sim::ConsoleVariable* variable = cvarAt(memoryAddress);
  return variable ? variable->value : std::string();
}

LinearColor CVarWrapper::getColorValue() const {
  sdkCall("getColorValue");
  const sim::ConsoleVariable* variable = cvarAt(memoryAddress);
  return variable ? sim::colorValue(variable->value) : LinearColor{};
}

// ---- game ----

void GameWrapper::SetTimeout(std::function<void(GameWrapper*)> callback, float delaySeconds) {
  sdkCall("SetTimeout");
  if (sim::Game* game = gameAt(memoryAddress)) game->setTimeout(std::move(callback), delaySeconds);
}

void GameWrapper::HookEvent(std::string eventName, std::function<void(std::string)> callback) {
  sdkCall("HookEvent");
  if (sim::Game* game = gameAt(memoryAddress)) game->hookEvent(eventName, std::move(callback));
}

std::filesystem::path GameWrapper::GetDataFolder() {
  sdkCall("GetDataFolder");
  sim::Game* game = gameAt(memoryAddress);
  return game ? game->dataFolder() : std::filesystem::path();
}

std::filesystem::path GameWrapper::GetTessaroPath() {
  sdkCall("GetTessaroPath");
  sim::Game* game = gameAt(memoryAddress);
  return game ? game->hostFolder() : std::filesystem::path();
}

std::filesystem::path GameWrapper::FixRelativePath(std::filesystem::path path) {
  sdkCall("FixRelativePath");
  sim::Game* game = gameAt(memoryAddress);
  return game ? game->fixRelativePath(path) : path;
}

bool GameWrapper::IsInFreeplay() {
  sdkCall("IsInFreeplay");
  sim::Game* game = gameAt(memoryAddress);
  return game != nullptr && game->freeplay();
}

bool GameWrapper::IsPaused() {
  sdkCall("IsPaused");
  sim::Game* game = gameAt(memoryAddress);
  return game != nullptr && game->paused();
}

SequenceWrapper GameWrapper::GetMainSequence() {
  sdkCall("GetMainSequence");
  sim::Game* game = gameAt(memoryAddress);
  return SequenceWrapper(game && game->mainSequence() ? game->mainSequence()->address() : 0);
}

CarWrapper GameWrapper::GetLocalCar() {
  sdkCall("GetLocalCar");
  sim::Game* game = gameAt(memoryAddress);
  return CarWrapper(game && game->car() ? game->car()->address : 0);
}

UnrealStringWrapper GameWrapper::GetPlayerName() {
  sdkCall("GetPlayerName");
  sim::Game* game = gameAt(memoryAddress);
  return UnrealStringWrapper(game ? game->playerNameAddress() : 0);
}

std::string UnrealStringWrapper::ToString() {
  sdkCall("ToString");
  const auto* text = sim::resolve<std::string>(memoryAddress, ObjectKind::Text);
  return text ? *text : std::string();
}

Vector ActorWrapper::GetLocation() {
  sdkCall("GetLocation");
  const auto* car = sim::resolve<sim::Car>(memoryAddress, ObjectKind::Car);
  return car ? car->location : Vector{};
}

Rotator ActorWrapper::GetRotation() {
  sdkCall("GetRotation");
  const auto* car = sim::resolve<sim::Car>(memoryAddress, ObjectKind::Car);
  return car ? car->rotation : Rotator{};
}

// ---- Kismet ----

std::map<std::string, SequenceVariableWrapper> SequenceWrapper::GetAllSequenceVariables(bool /*recursive*/) {
  sdkCall("GetAllSequenceVariables");
  std::map<std::string, SequenceVariableWrapper> result;
  const auto* sequence = sim::resolve<sim::KismetSequence>(memoryAddress, ObjectKind::Sequence);
  if (sequence == nullptr) return result;
  for (const auto& [key, address] : sequence->table()) result.emplace(key, SequenceVariableWrapper(address));
  return result;
}

SequenceWrapper SequenceObjectWrapper::GetParentSequence() {
  sdkCall("GetParentSequence");
  const sim::KismetVariable* variable = variableAt(memoryAddress);
  if (variable == nullptr) return SequenceWrapper(0);
  // The parent is only reported while it still exists.
  return SequenceWrapper(sim::lookUp(variable->parent, ObjectKind::Sequence) ? variable->parent : 0);
}

std::string SequenceVariableWrapper::GetVarName() {
  sdkCall("GetVarName");
  const sim::KismetVariable* variable = variableAt(memoryAddress);
  return variable ? variable->name : std::string();
}

namespace {
bool hasType(const char* call, std::uintptr_t address, sim::VariableType type) {
  sdkCall(call);
  const sim::KismetVariable* variable = variableAt(address);
  return variable != nullptr && variable->type == type;
}
}  // namespace

bool SequenceVariableWrapper::IsInt() { return hasType("IsInt", memoryAddress, sim::VariableType::Int); }
bool SequenceVariableWrapper::IsFloat() { return hasType("IsFloat", memoryAddress, sim::VariableType::Float); }
bool SequenceVariableWrapper::IsString() { return hasType("IsString", memoryAddress, sim::VariableType::String); }
bool SequenceVariableWrapper::IsVector() { return hasType("IsVector", memoryAddress, sim::VariableType::Vector); }

int SequenceVariableWrapper::GetInt() {
  sdkCall("GetInt");
  const sim::KismetVariable* variable = variableAt(memoryAddress);
  return variable ? variable->intValue : 0;
}

std::string SequenceVariableWrapper::GetString() {
  sdkCall("GetString");
  const sim::KismetVariable* variable = variableAt(memoryAddress);
  return variable ? variable->stringValue : std::string();
}

void SequenceVariableWrapper::SetFloat(float value) {
  sdkCall("SetFloat");
  sim::KismetVariable* variable = variableAt(memoryAddress);
  if (variable == nullptr) return;
  variable->floatValue = value;
  if (sim::Game* game = sim::activeGame()) {
    game->recordWrite({game->now(), variable->name, sim::VariableType::Float, value, {}});
  }
}

void SequenceVariableWrapper::SetVector(Vector value) {
  sdkCall("SetVector");
  sim::KismetVariable* variable = variableAt(memoryAddress);
  if (variable == nullptr) return;
  variable->vectorValue = value;
  if (sim::Game* game = sim::activeGame()) {
    game->recordWrite({game->now(), variable->name, sim::VariableType::Vector, 0.0f, value});
  }
}
// NOLINTEND(performance-unnecessary-value-param)
