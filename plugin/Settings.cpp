#include "plugin/Settings.h"

#include <string_view>

#include "host/CVarManagerWrapper.h"
#include "host/CVarWrapper.h"
#include "plugin/HostNames.h"

namespace settings {
namespace {

CVarWrapper variable(CVarManagerWrapper& console, std::string_view name) { return console.getCvar(std::string(name)); }

}  // namespace

std::int32_t lapCount(CVarManagerWrapper& console) { return variable(console, names::cvar::lapCount).getIntValue(); }

std::string ghostSelection(CVarManagerWrapper& console) {
  return variable(console, names::cvar::ghostFilePath).getStringValue();
}

std::string exportFileName(CVarManagerWrapper& console) {
  return variable(console, names::cvar::exportFileName).getStringValue();
}

std::string status(CVarManagerWrapper& console) { return variable(console, names::cvar::log).getStringValue(); }

bool isRecording(CVarManagerWrapper& console) { return variable(console, names::cvar::isRecording).getBoolValue(); }

bool autoRecord(CVarManagerWrapper& console) { return variable(console, names::cvar::autoRecord).getBoolValue(); }

bool autoExport(CVarManagerWrapper& console) { return variable(console, names::cvar::autoExport).getBoolValue(); }

std::int32_t maxSeconds(CVarManagerWrapper& console) {
  return variable(console, names::cvar::maxSeconds).getIntValue();
}

LinearColor color(CVarManagerWrapper& console) { return variable(console, names::cvar::color).getColorValue(); }

void setStatus(CVarManagerWrapper& console, const std::string& message) {
  console.executeCommand(std::string(names::cvar::log) + " \"" + message + "\"", true);
}

void setRecording(CVarManagerWrapper& console, bool on) {
  console.executeCommand(std::string(names::cvar::isRecording) + (on ? " 1" : " 0"), true);
}

}  // namespace settings
