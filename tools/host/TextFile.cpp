#include "tools/host/TextFile.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace lumaro_host {
namespace {

// Scenario and map files are UTF-8 text (an editor's UTF-8 mark is the parsers' to skip). Text saved as
// UTF-16 (the default of some Windows shells) or holding a NUL byte is refused by what it is, before a parser
// would report its bytes as garbage or a message would end at the NUL.
void judgeEncoding(TextFile& read) {
  const std::string& text = read.text;
  const bool utf16 = text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF");
  const std::size_t nul = text.find('\0');
  if (!utf16 && nul == std::string::npos) return;
  read.error = utf16 || (nul < 2 && text.size() > 2 && text.find('\0', 2) != std::string::npos)
                   ? "it is UTF-16 text; save it as UTF-8"
                   : "it holds a NUL byte on line " +
                         std::to_string(1 + std::count(text.begin(), text.begin() + static_cast<long>(nul), '\n')) +
                         "; scenario and map files are text";
  read.text.clear();
}

}  // namespace

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
  if (read.error.empty()) judgeEncoding(read);
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
