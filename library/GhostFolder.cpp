// Opening the ghost folder in the user's file browser. The folder is not checked: it is made at load, and
// what the browser makes of the request is not the plugin's to know. Only a request the platform refuses
// outright is reported, since the player would otherwise wait for a window that never comes.
#include "library/FolderOpener.h"
#include "library/PathText.h"
#include "plugin/Lumaro.h"

void Lumaro::openGhostFolder() {
  const std::filesystem::path folder = gameWrapper->GetDataFolder() / "Ghosts";
  if (!openFolderInBrowser(folder)) logStatus("Could not open the ghost folder " + utf8FromPath(folder) + ".");
}
