// The stand-in host's console: typed variables with defaults and limits, commands, the host's own
// commands, and everything a test or a scenario needs to look at afterwards (the log, the command lines
// run, the registrations in their order). Setting a variable runs its change callbacks before returning.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/Api.h"
#include "host/CVarWrapper.h"
#include "host/Values.h"

namespace sim {

class Console;

struct ConsoleVariable {
  std::uintptr_t address = 0;
  Console* owner = nullptr;
  std::string name;
  std::string defaultValue;
  std::string description;
  bool searchable = false;
  bool hasMin = false;
  float min = 0.0f;
  bool hasMax = false;
  float max = 0.0f;
  bool saveToCfg = false;
  std::string value;
  std::vector<std::function<void(std::string, CVarWrapper)>> onChange;
};

struct ConsoleCommand {
  std::string name;
  std::string description;
  unsigned char permissions = 0;
  std::function<void(std::vector<std::string>)> callback;
};

class TESSARO_SDK_API Console {
public:
  explicit Console(std::function<void(const std::string&)> recordHostCall);
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  std::uintptr_t address() const { return address_; }

  // The operations behind CVarManagerWrapper and CVarWrapper.
  void registerCommand(ConsoleCommand command);
  ConsoleVariable& registerVariable(ConsoleVariable variable);
  void execute(const std::string& line);
  void log(const std::string& text);
  // Removes the plugin's commands and change callbacks; the variables and their values stay.
  void dropCallbacks();
  void noteHostCall(const std::string& call) { recordHostCall_(call); }

  ConsoleVariable* find(const std::string& name);
  // Sets a variable as the console does: limits applied, change callbacks run when the text changed.
  void setValue(ConsoleVariable& variable, const std::string& text);

  // Values the host brings back from its saved configuration when a variable is registered.
  void preloadSavedValue(const std::string& name, const std::string& value) { saved_[name] = value; }

  std::optional<std::string> valueOf(const std::string& name) const;
  const std::vector<std::string>& lines() const { return lines_; }
  const std::vector<std::string>& commandsRun() const { return commandsRun_; }
  const std::map<std::string, ConsoleCommand>& commands() const { return commands_; }
  const std::vector<std::unique_ptr<ConsoleVariable>>& variables() const { return variables_; }

  // Called for every line the console shows, as it is shown (a scenario's live transcript).
  void setLineObserver(std::function<void(const std::string&)> observer) { observer_ = std::move(observer); }
  // The host's own commands ("cl_settings_refreshplugins", "closemenu settings") run this.
  void setHostCommandHandler(std::function<void(const std::vector<std::string>&)> handler) {
    hostCommand_ = std::move(handler);
  }

private:
  std::uintptr_t address_;
  std::function<void(const std::string&)> recordHostCall_;
  std::function<void(const std::string&)> observer_;
  std::function<void(const std::vector<std::string>&)> hostCommand_;
  std::map<std::string, ConsoleCommand> commands_;
  std::vector<std::unique_ptr<ConsoleVariable>> variables_;
  std::map<std::string, std::string> saved_;
  std::vector<std::string> lines_;
  std::vector<std::string> commandsRun_;
};

// Typed readings of a variable's text, as the host converts them.
TESSARO_SDK_API double numericValue(const std::string& text);
// On: "true", or a number other than 0 (as getBoolValue reads it).
TESSARO_SDK_API bool boolValue(const std::string& text);
TESSARO_SDK_API LinearColor colorValue(const std::string& text);

}  // namespace sim
