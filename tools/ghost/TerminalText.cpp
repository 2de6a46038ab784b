#include "tools/ghost/TerminalText.h"

namespace lumaro_ghost {

std::string terminalText(std::string_view text) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string shown;
  shown.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 0x20 && byte != 0x7F) || c == '\n') {
      shown += c;
    } else if (c == '\t') {
      shown += "\\t";
    } else if (c == '\r') {
      shown += "\\r";
    } else {
      shown += "\\x";
      shown += digits[byte >> 4];
      shown += digits[byte & 0xF];
    }
  }
  return shown;
}

}  // namespace lumaro_ghost
