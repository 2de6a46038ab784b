#include "ui/SettingsPageFile.h"

#include <cstdint>
#include <fstream>
#include <system_error>

bool writeSettingsPageFile(const std::filesystem::path& file, std::string_view text) {
  // Opened for reading and writing, an existing file keeps its bytes until they are overwritten; a missing
  // one cannot be opened this way and is created.
  std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
  if (!out.is_open()) out.open(file, std::ios::out | std::ios::binary | std::ios::trunc);
  if (!out.is_open()) return false;
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (out.fail()) return false;
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error) return false;
  if (size > text.size()) std::filesystem::resize_file(file, text.size(), error);
  return !error;
}
