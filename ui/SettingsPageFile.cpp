#include "ui/SettingsPageFile.h"

#include <optional>

#include "library/ghostfile/GhostFileWrite.h"

bool writeSettingsPageFile(const std::filesystem::path& file, std::string_view text) {
  // The plugin writes its page again whenever it starts: the page need not wait for the disk.
  return !writeFileThroughScratch(file, text, false);
}
