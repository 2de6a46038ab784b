// Every command, console variable, change handler and game hook the plugin registers, in the fixed
// order the host sees them. Each callable holds the plugin's address and runs one member, guarded.
#include <memory>
#include <string>
#include <vector>

#include "host/CVarManagerWrapper.h"
#include "host/CVarWrapper.h"
#include "host/GameWrapper.h"
#include "plugin/Lumaro.h"
#include "ui/GhostChoiceList.h"

namespace {

struct CommandEntry {
  const char* name;
  const char* description;
  void (Lumaro::*member)();
};

}  // namespace

void Lumaro::registerCommands() {
  // lm_open_folder shares lm_import's description.
  static const CommandEntry plainCommands[] = {
      {"lm_record", "Record Ghost", &Lumaro::recordGhost}, {"lm_play", "Play Ghost", &Lumaro::playGhost},
      {"lm_stop", "Stop Ghost", &Lumaro::stopGhost},       {"lm_challenge", "Challenge Ghost", &Lumaro::challengeGhost},
      {"lm_export", "Export Ghost", &Lumaro::exportGhost},
  };
  for (const CommandEntry& command : plainCommands) {
    const std::string name = command.name;
    const auto member = command.member;
    cvarManager->registerNotifier(
        name,
        [this, name, member](const std::vector<std::string>&) {
          runGuarded(name, [this, member] { (this->*member)(); });
        },
        command.description, 0);
  }
  cvarManager->registerNotifier(
      "lm_import", [this](const std::vector<std::string>&) { runGuarded("lm_import", [this] { importGhost(true); }); },
      "Import Ghost", 0);
  cvarManager->registerNotifier(
      "lm_open_folder",
      [this](const std::vector<std::string>&) { runGuarded("lm_open_folder", [this] { openGhostFolder(); }); },
      "Import Ghost", 0);
  cvarManager->registerNotifier(
      "lm_update_list",
      [this](const std::vector<std::string>&) {
        // The player's refresh reads every file afresh, whatever the page kept of it.
        runGuarded("lm_update_list", [this] {
          ghostChoiceList.forget();
          updateGhostList();
        });
      },
      "Update Ghost List", 0);
}

void Lumaro::registerVariables() {
  cvarManager
      ->registerCvar("lm_ghostfilepath", "none", "Selected Ghost from Ghost list", true, false, 0, false, 0, true)
      .addOnValueChanged(
          [this](const std::string&, CVarWrapper) { runGuarded("lm_ghostfilepath", [this] { importGhost(true); }); });
  cvarManager->registerCvar("lm_export_filename", "My-PB", "Ghost Export filename", true, false, 0, false, 0, true);
  CVarWrapper lapCount =
      cvarManager->registerCvar("lm_lapNbr", "1", "Number of laps", true, true, 1.0f, true, 6.0f, true);
  cvarManager->registerCvar("lm_isrecording", "0", "is user recording", true, true, 0.0f, true, 1.0f, true);
  cvarManager->registerCvar("lm_log", " ", "Logs errors and states", true, false, 0, false, 0, true);
  CVarWrapper autoRecord = cvarManager->registerCvar("lm_autorecord", "0", "auto record when starting a map", true,
                                                     true, 0.0f, true, 1.0f, true);
  autoRecord.addOnValueChanged(
      [this](const std::string&, CVarWrapper) { runGuarded("lm_autorecord", [this] { checkAutoRecord(); }); });
  lapCount.addOnValueChanged(
      [this](const std::string&, CVarWrapper) { runGuarded("lm_lapNbr", [this] { updateGhostList(); }); });
  cvarManager->registerCvar("lm_maxsecs", "20.000", "Max seconds for auto exporting", true, true, 1.0f, false, 0, true);
  cvarManager->registerCvar("lm_autoexport", "0", "auto export when under max seconds", true, true, 0.0f, true, 1.0f,
                            true);
}

void Lumaro::registerColorVariable() {
  cvarManager->registerCvar("lm_color", "#FFFFFF", "Color edit component", true, false, 0, false, 0, true)
      .addOnValueChanged(
          [this](const std::string&, CVarWrapper) { runGuarded("lm_color", [this] { updateGhostColor(); }); });
}

void Lumaro::registerHooks() {
  gameWrapper->HookEvent("Function TAGame.GFxData_MenuStack_TA.HandleMapLoad", [this](const std::string& eventName) {
    runGuarded("map load", [this, &eventName] { onMapLoad(eventName); });
  });
  gameWrapper->HookEvent("Function TAGame.PlayerSpawnSystem_TA.HandlePlayerSpawnStart",
                         [this](const std::string& eventName) {
                           runGuarded("player spawn", [this, &eventName] { onPlayerSpawnStart(eventName); });
                         });
}
