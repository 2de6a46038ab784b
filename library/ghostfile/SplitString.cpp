#include "library/ghostfile/SplitString.h"

std::vector<std::string> splitString(std::string_view text, std::string_view delimiter) {
  std::vector<std::string> pieces;
  if (delimiter.empty()) {
    if (!text.empty()) pieces.emplace_back(text);
    return pieces;
  }
  std::size_t position = 0;
  for (;;) {
    const std::size_t found = text.find(delimiter, position);
    if (found == std::string_view::npos) {
      if (position < text.size()) pieces.emplace_back(text.substr(position));
      return pieces;
    }
    pieces.emplace_back(text.substr(position, found - position));
    position = found + delimiter.size();
  }
}

std::size_t cutFields(std::string_view text, char delimiter, std::span<std::string_view> pieces) {
  std::size_t count = 0;
  std::size_t position = 0;
  while (count < pieces.size()) {
    const std::size_t found = text.find(delimiter, position);
    if (found == std::string_view::npos) {
      if (position < text.size()) pieces[count++] = text.substr(position);
      break;
    }
    pieces[count++] = text.substr(position, found - position);
    position = found + 1;
  }
  return count;
}
