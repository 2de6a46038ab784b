// The settings page generator: reads what the page shows from the host and the ghost folder, writes the
// whole page file afresh and has the host reload it. Nothing here reports through the status log, which
// itself runs the generator.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/CVarManagerWrapper.h"
#include "host/GameWrapper.h"
#include "host/Kismet.h"
#include "library/platform/FileStamp.h"
#include "plugin/HostNames.h"
#include "plugin/Lumaro.h"
#include "plugin/Settings.h"
#include "ui/GhostChoiceList.h"
#include "ui/SettingsPageFile.h"
#include "ui/SettingsPageText.h"

void Lumaro::updateGhostList() {
  // The page's file comes first, as the page is opened before anything is read for it.
  const std::filesystem::path pageFile = names::settingsPageIn(gameWrapper->GetTessaroPath());
  SettingsPageState page;
  page.hasRecordedRun = !recordedFrames.empty();
  SequenceWrapper sequence = mainSequence();
  if (!sequence.IsNull()) {
    refreshSequenceVariables(sequence);
    const std::string mapName = currentMapName();
    page.mapHasGhostColor = hasVariable(KismetType::Float, names::kismet::ghostColor);
    const std::int32_t lapCount = settings::lapCount(*cvarManager);
    page.ghostChoices = ghostChoiceList.choices(ghostFolder(), mapName, lapCount, fileClockNow());
  }
  page.status = settings::status(*cvarManager);

  // A page that cannot be written is lost without a word; the host reloads whatever page it has.
  writeSettingsPageFile(pageFile, settingsPageText(page));
  cvarManager->executeCommand(std::string(names::hostCommand::refreshPluginPages), true);
}
