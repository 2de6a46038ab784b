// A text with marks such as "{lap limits}" put in place by their values: how the tools' help texts name what
// has its home elsewhere (a console name, a status text, a limit), so the help cannot drift from it.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

// The text with every mark replaced by its value, marks in the order given; a value is not searched again.
inline std::string fillMarks(std::string text,
                             std::initializer_list<std::pair<std::string_view, std::string_view>> marks) {
  for (const auto& [mark, value] : marks) {
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + value.size())) {
      text.replace(at, mark.size(), value);
    }
  }
  return text;
}
