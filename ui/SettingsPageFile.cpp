#include "ui/SettingsPageFile.h"

#include <optional>
#include <ostream>

#include "library/GhostFileWrite.h"

bool writeSettingsPageFile(const std::filesystem::path& file, std::string_view text) {
  return !writeFileThroughScratch(
      file, [&](std::ostream& out) { out.write(text.data(), static_cast<std::streamsize>(text.size())); });
}
