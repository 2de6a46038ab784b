#include "sim/Console.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <type_traits>
#include <utility>

#include "host/GameNames.h"
#include "sim/CommandLine.h"
#include "sim/Registry.h"

namespace sim {
namespace {

bool isHostCommand(const std::string& word) {
  return word == Tessaro::gameNames::hostCommand::refreshPluginPages ||
         word == Tessaro::gameNames::hostCommand::closeMenu;
}

std::string limitText(float limit) {
  char text[64];
  if (std::nearbyint(limit) == limit) {
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(limit));
  } else {
    std::snprintf(text, sizeof text, "%g", static_cast<double>(limit));
  }
  return text;
}

// Applies a variable's limits; a text that needs no clamping is kept exactly as typed.
std::string withinLimits(const ConsoleVariable& variable, const std::string& text) {
  if (!variable.hasMin && !variable.hasMax) return text;
  const double value = numericValue(text);
  if (variable.hasMin && value < variable.min) return limitText(variable.min);
  if (variable.hasMax && value > variable.max) return limitText(variable.max);
  return text;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

double numericValue(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  const double value = std::strtod(begin, &end);
  if (end == begin || !std::isfinite(value)) return 0.0;
  return value;
}

bool boolValue(const std::string& text) { return text == "true" || numericValue(text) != 0.0; }

LinearColor colorValue(const std::string& text) {
  if (text.size() != 7 && text.size() != 9) return {};
  if (text[0] != '#') return {};
  float channels[4] = {0.0f, 0.0f, 0.0f, 255.0f};
  for (std::size_t i = 0; i * 2 + 1 < text.size(); ++i) {
    const int high = hexDigit(text[1 + i * 2]);
    const int low = hexDigit(text[2 + i * 2]);
    if (high < 0 || low < 0) return {};
    channels[i] = static_cast<float>(high * 16 + low);
  }
  return {channels[0], channels[1], channels[2], channels[3]};
}

Console::Console(std::function<void(const std::string&)> recordHostCall)
    : address_(enter(ObjectKind::Console, this)), recordHostCall_(std::move(recordHostCall)) {}

Console::~Console() {
  for (auto& variable : variables_) forget(variable->address);
  forget(address_);
}

void Console::registerCommand(ConsoleCommand command) {
  recordHostCall_("registerNotifier " + command.name + " | " + command.description + " | " +
                  std::to_string(command.permissions));
  commands_[command.name] = std::move(command);
}

ConsoleVariable& Console::registerVariable(ConsoleVariable variable) {
  char limits[160];
  std::snprintf(limits, sizeof limits, "searchable=%d | min=%d,%g | max=%d,%g | save=%d",
                static_cast<int>(variable.searchable), static_cast<int>(variable.hasMin),
                static_cast<double>(variable.min), static_cast<int>(variable.hasMax), static_cast<double>(variable.max),
                static_cast<int>(variable.saveToCfg));
  recordHostCall_("registerCvar " + variable.name + " | " + variable.defaultValue + " | " + variable.description +
                  " | " + limits);
  if (ConsoleVariable* existing = find(variable.name)) return *existing;
  auto owned = std::make_unique<ConsoleVariable>(std::move(variable));
  owned->address = enter(ObjectKind::CVar, owned.get());
  owned->owner = this;
  auto saved = saved_.find(owned->name);
  owned->value = withinLimits(*owned, saved != saved_.end() ? saved->second : owned->defaultValue);
  variables_.push_back(std::move(owned));
  return *variables_.back();
}

ConsoleVariable* Console::find(const std::string& name) {
  for (auto& variable : variables_) {
    if (variable->name == name) return variable.get();
  }
  return nullptr;
}

std::optional<std::string> Console::valueOf(const std::string& name) const {
  for (const auto& variable : variables_) {
    if (variable->name == name) return variable->value;
  }
  return std::nullopt;
}

// NOLINTNEXTLINE(readability-convert-member-functions-to-static): the console's own act, reached through it
void Console::setValue(ConsoleVariable& variable, const std::string& text) {
  std::string next = withinLimits(variable, text);
  if (next == variable.value) return;
  std::string old = std::exchange(variable.value, std::move(next));
  // A callback may register further callbacks or set other variables; run the ones present now.
  const auto callbacks = variable.onChange;
  for (const auto& callback : callbacks) callback(old, CVarWrapper(variable.address));
}

void Console::execute(const std::string& line) {
  commandsRun_.push_back(line);
  std::vector<std::string> words = splitCommandLine(line);
  if (words.empty()) return;
  if (auto command = commands_.find(words[0]); command != commands_.end()) {
    auto callback = command->second.callback;
    callback(words);
    return;
  }
  if (ConsoleVariable* variable = find(words[0])) {
    if (words.size() == 1) {
      log(variable->name + " = \"" + variable->value + "\"");
    } else {
      setValue(*variable, words[1]);
    }
    return;
  }
  if (isHostCommand(words[0])) {
    if (hostCommand_) hostCommand_(words);
    return;
  }
  log("Unknown command: " + words[0]);
}

void Console::dropCallbacks() {
  commands_.clear();
  for (auto& variable : variables_) variable->onChange.clear();
}

void Console::log(const std::string& text) {
  lines_.push_back(text);
  if (observer_) observer_(text);
}

}  // namespace sim
