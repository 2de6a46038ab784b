#include "ui/SettingsPageFile.h"

#include <optional>
#include <system_error>

#if defined(_WIN32)
#  include <windows.h>
#endif

#include "library/ghostfile/GhostFileWrite.h"

bool pageFolderIsLink(const std::filesystem::path& file) {
  const std::filesystem::path folder = file.parent_path();
#if defined(_WIN32)
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
#else
  std::error_code error;
  return std::filesystem::is_symlink(std::filesystem::symlink_status(folder, error));
#endif
}

bool writeSettingsPageFile(const std::filesystem::path& file, std::string_view text) {
  if (pageFolderIsLink(file)) return false;
  // The plugin writes its page again whenever it starts: the page need not wait for the disk.
  return !writeFileThroughScratch(file, text, false);
}
