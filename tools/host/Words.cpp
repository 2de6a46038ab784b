#include "tools/host/Words.h"

#include <cstddef>
#include <utility>

namespace lumaro_host {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

std::string_view withoutByteOrderMark(std::string_view text) {
  constexpr std::string_view mark = "\xEF\xBB\xBF";
  if (text.substr(0, mark.size()) == mark) text.remove_prefix(mark.size());
  return text;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

Head splitHead(std::string_view line) {
  line = trimmed(line);
  std::size_t end = 0;
  while (end < line.size() && !isBlank(line[end])) ++end;
  return {line.substr(0, end), trimmed(line.substr(end))};
}

Words splitWords(std::string_view line) {
  Words result;
  std::size_t i = 0;
  while (i < line.size()) {
    if (isBlank(line[i])) {
      ++i;
      continue;
    }
    if (line[i] == '#') break;
    std::string word;
    while (i < line.size() && !isBlank(line[i])) {
      const char c = line[i];
      if (c == '"') {
        ++i;
        for (;;) {
          if (i >= line.size()) {
            result.error = "a double quote is not closed";
            return result;
          }
          if (line[i] == '"') break;
          if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) ++i;
          word += line[i++];
        }
        ++i;
      } else if (c == '\'') {
        const std::size_t close = line.find('\'', i + 1);
        if (close == std::string_view::npos) {
          result.error = "a single quote is not closed";
          return result;
        }
        word.append(line.substr(i + 1, close - i - 1));
        i = close + 1;
      } else {
        word += c;
        ++i;
      }
    }
    result.words.push_back(std::move(word));
  }
  return result;
}

}  // namespace lumaro_host
