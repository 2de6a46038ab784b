// The status log: every message reaches the console, the lm_log variable and the settings page's last line.
#include <memory>
#include <string>

#include "host/CVarManagerWrapper.h"
#include "plugin/Lumaro.h"

void Lumaro::logStatus(const std::string& message) {
  cvarManager->log(message);
  // The message goes between the quotes unescaped; how the console cuts the line is the host's affair.
  cvarManager->executeCommand("lm_log \"" + message + "\"", true);
  updateGhostList();
}
