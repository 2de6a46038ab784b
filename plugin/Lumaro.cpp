// The plugin's main source: the exported entry points, and onLoad / onUnload.
#include "plugin/Lumaro.h"

#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

#include "host/CVarManagerWrapper.h"
#include "host/PluginExports.h"
#include "library/platform/PathText.h"
#include "plugin/Entry.h"
#include "plugin/HostNames.h"
#include "race/RunLife.h"

namespace {

// The library's reference to the plugin object. Its deleter destroys the object as a Lumaro, since the
// base class has no virtual destructor.
std::shared_ptr<Tessaro::Plugin::TessaroPlugin> pluginInstance;

}  // namespace

extern "C" {

Tessaro::Plugin::PluginExports exports = {
    95, __FILE__, names::pluginName.data(), names::pluginName.data(), LUMARO_VERSION_TEXT, 0x20, &getPlugin, &deleteMe,
};

std::shared_ptr<Tessaro::Plugin::TessaroPlugin>* getPlugin() {
  if (!pluginInstance) {
    pluginInstance = std::shared_ptr<Tessaro::Plugin::TessaroPlugin>(
        new Lumaro(), [](Tessaro::Plugin::TessaroPlugin* plugin) { delete static_cast<Lumaro*>(plugin); });
  }
  return &pluginInstance;
}

void deleteMe() {
  if (!pluginInstance) return;
  // Empty the shared pointer first, then let the library's reference go.
  std::shared_ptr<Tessaro::Plugin::TessaroPlugin> released = std::move(pluginInstance);
  released.reset();
}

}  // extern "C"

void Lumaro::onLoad() {
  runLife.watchPhases([this](RunPhase from, RunPhase to) { onRunPhase(from, to); });
  registerCommands();
  registerVariables();
  schedule("updateGhostList", pageRenewalDelay, [this] { updateGhostList(); });
  createGhostFolder();
  registerColorVariable();
  registerHooks();
}

void Lumaro::onUnload() {
  cvarManager->executeCommand(
      std::string(names::hostCommand::closeMenu) + " " + std::string(Tessaro::gameNames::settingsMenu), true);
}

// A folder that cannot be made is reported and loading goes on: the colour variable and the game hooks
// do not depend on it, and a later export names the folder again when it fails. Nothing is made through a link,
// so a link the player made that leads to no folder is named with what to do, rather than "File exists".
void Lumaro::createGhostFolder() {
  const std::filesystem::path folder = ghostFolder();
  std::error_code error;
  std::filesystem::create_directory(folder, error);
  if (!error) return;
  std::string reason = error.message();
  std::error_code linkError;
  if (std::filesystem::is_symlink(std::filesystem::symlink_status(folder, linkError))) {
    const std::filesystem::path target = std::filesystem::read_symlink(folder, linkError);
    if (!linkError) {
      reason = "it is a link to " + utf8FromPath(target) +
               ", where there is no folder; make that folder, or remove the link";
    }
  }
  logStatus("Could not create the ghost folder " + utf8FromPath(folder) + ": " + reason + ".");
}
