// A console variable of the host. Reads return the current value converted to the asked type; a
// value-change callback runs after every change of the value, with the old value text.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "host/Api.h"
#include "host/HandleWrapper.h"
#include "host/Values.h"

class TESSARO_SDK_API CVarWrapper : public HandleWrapper {
public:
  using HandleWrapper::HandleWrapper;

  void addOnValueChanged(std::function<void(std::string oldValue, CVarWrapper cvar)> callback);

  bool getBoolValue() const;
  int getIntValue() const;
  float getFloatValue() const;
  std::string getStringValue() const;
  LinearColor getColorValue() const;
};
