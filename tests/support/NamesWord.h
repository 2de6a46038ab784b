// Whether a help text names a word of a command line as a word of its own, not as a piece of a longer one
// ("-o" in "--force", "line" in "first-line"): for the tests that each tool's help names every word it takes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

inline bool namesWord(std::string_view text, std::string_view word) {
  const auto edge = [](char c) { return std::string_view(" \n,[]|().:;\"=").find(c) != std::string_view::npos; };
  for (std::size_t at = text.find(word); at != std::string_view::npos; at = text.find(word, at + 1)) {
    const std::size_t end = at + word.size();
    if ((at == 0 || edge(text[at - 1])) && (end == text.size() || edge(text[end]))) return true;
  }
  return false;
}
