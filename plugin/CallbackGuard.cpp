// The one guard around everything the host calls back. A plugin that lets an error reach its host takes
// the game down; here the error becomes a status message and the plugin stays loaded and working.
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "host/CVarManagerWrapper.h"
#include "host/GameWrapper.h"
#include "plugin/Lumaro.h"
#include "plugin/Messages.h"

bool Lumaro::runGuarded(std::string_view entry, const std::function<void()>& body) {
  try {
    body();
    return true;
  } catch (const std::exception& error) {
    reportCallbackError(entry, error.what());
  } catch (...) {
    reportCallbackError(entry, "unknown error");
  }
  return false;
}

void Lumaro::schedule(std::string entry, float delaySeconds, std::function<void()> body) {
  gameWrapper->SetTimeout(
      [this, entry = std::move(entry), body = std::move(body)](GameWrapper*) { runGuarded(entry, body); },
      delaySeconds);
}

void Lumaro::reportCallbackError(std::string_view entry, std::string_view reason) {
  const std::string message = std::string(entry) + std::string(messages::stoppedOnError) + std::string(reason);
  try {
    logStatus(message);
  } catch (...) {
    // The status log itself failed (the settings page, say): the console line is all that is left.
    try {
      cvarManager->log(message);
    } catch (...) {}
  }
}
