#include "tools/host/TextFile.h"

#include <fstream>
#include <system_error>

namespace lumaro_host {

TextFile readTextStream(std::istream& in) {
  TextFile read;
  char block[64 * 1024];
  while (in) {
    in.read(block, sizeof block);
    read.text.append(block, static_cast<std::size_t>(in.gcount()));
    if (read.text.size() > maxTextFileBytes) {
      read.text.clear();
      read.error = "it holds more than " + std::to_string(maxTextFileBytes / (std::size_t{1024} * 1024)) +
                   " MiB, which no scenario or map file does";
      return read;
    }
  }
  if (in.bad()) read.error = "it cannot be read";
  return read;
}

TextFile readTextFile(const std::filesystem::path& file) {
  // A folder opens as a file on some systems and reads as an empty one.
  std::error_code error;
  if (std::filesystem::is_directory(file, error)) return {"", "it is a folder"};
  std::ifstream in(file, std::ios::binary);
  if (!in) return {"", "it cannot be opened"};
  return readTextStream(in);
}

}  // namespace lumaro_host
