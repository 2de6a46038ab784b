// The ghost folder, and opening it in the user's file browser. The folder is not checked: it is made at load,
// and what the browser makes of the request is not the plugin's to know. Only a request the platform refuses
// outright is reported, since the player would otherwise wait for a window that never comes.
#include <filesystem>
#include <memory>
#include <string>

#include "host/GameWrapper.h"
#include "library/ghostfile/GhostFileName.h"
#include "library/platform/FolderOpener.h"
#include "library/platform/PathText.h"
#include "plugin/HostNames.h"
#include "plugin/Lumaro.h"

std::filesystem::path Lumaro::ghostFolder() { return names::ghostFolderIn(gameWrapper->GetDataFolder()); }

void Lumaro::openGhostFolder() {
  const std::filesystem::path folder = ghostFolder();
  if (!openFolderInBrowser(folder)) logStatus("Could not open the ghost folder " + utf8FromPath(folder) + ".");
}
