// Opening the ghost folder in the user's file browser. Nothing is checked or reported: the folder is made at
// load, and what the browser makes of the request is not the plugin's to know.
#include <string>

#include "library/FolderOpener.h"
#include "plugin/Lumaro.h"

void Lumaro::openGhostFolder() {
  const std::u8string utf8 = (gameWrapper->GetDataFolder() / "Ghosts").u8string();
  openFolderInBrowser(std::string(utf8.begin(), utf8.end()));
}
