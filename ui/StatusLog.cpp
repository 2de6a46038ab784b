// The status log: every message reaches the console, the lm_log variable and the settings page's last line.
#include <memory>
#include <string>

#include "host/CVarManagerWrapper.h"
#include "plugin/Lumaro.h"
#include "plugin/Settings.h"

void Lumaro::logStatus(const std::string& message) {
  cvarManager->log(message);
  settings::setStatus(*cvarManager, message);
  updateGhostList();
}
