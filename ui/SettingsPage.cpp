// The settings page generator: reads what the page shows from the host and the ghost folder, writes the
// whole page file afresh and has the host reload it. Nothing here reports through the status log, which
// itself runs the generator.
#include <fstream>

#include "plugin/Lumaro.h"
#include "ui/GhostChoice.h"
#include "ui/SettingsPageText.h"

void Lumaro::updateGhostList() {
  SettingsPageState page;
  page.hasRecordedRun = !recordedFrames.empty();
  SequenceWrapper sequence = mainSequence();
  if (!sequence.IsNull()) {
    refreshSequenceVariables(sequence);
    std::string mapName;
    if (auto variable = findLastVariable(KismetType::String, "MapName")) mapName = variable->GetString();
    page.mapHasGhostColor = hasVariable(KismetType::Float, "GhostColor");
    const std::int32_t lapCount = cvarManager->getCvar("lm_lapNbr").getIntValue();
    page.ghostChoices = ghostChoices(gameWrapper->GetDataFolder() / "Ghosts", mapName, lapCount);
  }
  page.status = cvarManager->getCvar("lm_log").getStringValue();

  // A page that cannot be written is lost without a word; the host reloads whatever page it has.
  const std::string text = settingsPageText(page);
  std::ofstream out(gameWrapper->GetTessaroPath() / "plugins" / "settings" / "Lumaro.set",
                    std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  cvarManager->executeCommand("cl_settings_refreshplugins", true);
}
