// The host console: registration of commands and variables, command execution and the console log.
// executeCommand applies the command, value-change callbacks included, before it returns.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/Api.h"
#include "host/CVarWrapper.h"
#include "host/HandleWrapper.h"

class TESSARO_SDK_API CVarManagerWrapper : public HandleWrapper {
public:
  using HandleWrapper::HandleWrapper;

  void registerNotifier(std::string name, std::function<void(std::vector<std::string> words)> callback,
                        std::string description, unsigned char permissions);
  CVarWrapper registerCvar(std::string name, std::string defaultValue, std::string description, bool searchable,
                           bool hasMin, float min, bool hasMax, float max, bool saveToCfg);
  CVarWrapper getCvar(std::string name);
  void executeCommand(std::string command, bool log = true);
  void log(std::string text);
};
