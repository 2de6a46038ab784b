// Every command, console variable, change handler and game hook the plugin registers, in the fixed
// order the host sees them. Each callable holds the plugin's address and runs one member, guarded.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/CVarManagerWrapper.h"
#include "host/CVarWrapper.h"
#include "host/GameWrapper.h"
#include "library/ghostfile/GhostFileName.h"
#include "plugin/HostNames.h"
#include "plugin/Lumaro.h"
#include "ui/GhostChoiceList.h"

namespace {

namespace command = names::command;
namespace cvar = names::cvar;

struct CommandEntry {
  std::string_view name;
  const char* description;
  void (Lumaro::*member)();
};

// A variable's range as the host takes it.
constexpr float bound(std::int32_t value) { return static_cast<float>(value); }

}  // namespace

void Lumaro::registerCommands() {
  // lm_open_folder shares lm_import's description.
  static const CommandEntry plainCommands[] = {
      {command::record, "Record Ghost", &Lumaro::recordGhost},
      {command::play, "Play Ghost", &Lumaro::playGhost},
      {command::stop, "Stop Ghost", &Lumaro::stopGhost},
      {command::challenge, "Challenge Ghost", &Lumaro::challengeGhost},
      {command::exportGhost, "Export Ghost", &Lumaro::exportGhost},
  };
  for (const CommandEntry& entry : plainCommands) {
    const std::string name(entry.name);
    const auto member = entry.member;
    cvarManager->registerNotifier(
        name,
        [this, name, member](const std::vector<std::string>&) {
          runGuarded(name, [this, member] { (this->*member)(); });
        },
        entry.description, 0);
  }
  cvarManager->registerNotifier(
      std::string(command::importGhost),
      [this](const std::vector<std::string>&) { runGuarded(command::importGhost, [this] { importGhost(true); }); },
      "Import Ghost", 0);
  cvarManager->registerNotifier(
      std::string(command::openFolder),
      [this](const std::vector<std::string>&) { runGuarded(command::openFolder, [this] { openGhostFolder(); }); },
      "Import Ghost", 0);
  cvarManager->registerNotifier(
      std::string(command::updateList),
      [this](const std::vector<std::string>&) {
        // The player's refresh reads every file afresh, whatever the page kept of it.
        runGuarded(command::updateList, [this] {
          ghostChoiceList.forget();
          updateGhostList();
        });
      },
      "Update Ghost List", 0);
}

void Lumaro::registerVariables() {
  cvarManager
      ->registerCvar(std::string(cvar::ghostFilePath), std::string(defaultGhostSelection),
                     "Selected Ghost from Ghost list", true, false, 0, false, 0, true)
      .addOnValueChanged(
          [this](const std::string&, CVarWrapper) { runGuarded(cvar::ghostFilePath, [this] { importGhost(true); }); });
  cvarManager->registerCvar(std::string(cvar::exportFileName), "My-PB", "Ghost Export filename", true, false, 0, false,
                            0, true);
  CVarWrapper lapCount = cvarManager->registerCvar(std::string(cvar::lapCount), "1", "Number of laps", true, true,
                                                   bound(fewestLaps), true, bound(mostLaps), true);
  cvarManager->registerCvar(std::string(cvar::isRecording), "0", "is user recording", true, true, 0.0f, true, 1.0f,
                            true);
  cvarManager->registerCvar(std::string(cvar::log), " ", "Logs errors and states", true, false, 0, false, 0, true);
  CVarWrapper autoRecord = cvarManager->registerCvar(
      std::string(cvar::autoRecord), "0", "auto record when starting a map", true, true, 0.0f, true, 1.0f, true);
  autoRecord.addOnValueChanged(
      [this](const std::string&, CVarWrapper) { runGuarded(cvar::autoRecord, [this] { checkAutoRecord(); }); });
  lapCount.addOnValueChanged(
      [this](const std::string&, CVarWrapper) { runGuarded(cvar::lapCount, [this] { updateGhostList(); }); });
  cvarManager->registerCvar(std::string(cvar::maxSeconds), "20.000", "Max seconds for auto exporting", true, true, 1.0f,
                            false, 0, true);
  cvarManager->registerCvar(std::string(cvar::autoExport), "0", "auto export when under max seconds", true, true, 0.0f,
                            true, 1.0f, true);
}

void Lumaro::registerColorVariable() {
  cvarManager->registerCvar(std::string(cvar::color), "#FFFFFF", "Color edit component", true, false, 0, false, 0, true)
      .addOnValueChanged(
          [this](const std::string&, CVarWrapper) { runGuarded(cvar::color, [this] { updateGhostColor(); }); });
}

void Lumaro::registerHooks() {
  gameWrapper->HookEvent(std::string(names::event::mapLoad), [this](const std::string& eventName) {
    runGuarded("map load", [this, &eventName] { onMapLoad(eventName); });
  });
  gameWrapper->HookEvent(std::string(names::event::playerSpawn), [this](const std::string& eventName) {
    runGuarded("player spawn", [this, &eventName] { onPlayerSpawnStart(eventName); });
  });
}
