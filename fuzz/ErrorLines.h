// The shape of the errors the host tool's readers give: "NAME:LINE: what is wrong", the line a number
// within the text, a message after it, all on one line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"

inline void checkErrorLine(const std::string& error, std::string_view name, std::size_t lines) {
  FUZZ_CHECK(error.compare(0, name.size(), name) == 0 && error.size() > name.size() && error[name.size()] == ':',
             "the error does not begin with the file's name: %s", error.c_str());
  std::size_t at = name.size() + 1;
  std::size_t line = 0;
  std::size_t digits = 0;
  while (at < error.size() && error[at] >= '0' && error[at] <= '9' && digits < 12) {
    line = line * 10 + static_cast<std::size_t>(error[at++] - '0');
    ++digits;
  }
  FUZZ_CHECK(digits > 0 && line <= lines, "the error names no line of the text: %s", error.c_str());
  FUZZ_CHECK(error.compare(at, 2, ": ") == 0 && error.size() > at + 2, "the error says nothing: %s", error.c_str());
  FUZZ_CHECK(error.find('\n') == std::string::npos, "the error spans lines: %s", error.c_str());
}

inline std::size_t lineCount(std::string_view text) {
  std::size_t lines = 1;
  for (char c : text) {
    if (c == '\n') ++lines;
  }
  return lines;
}
