// Texts joined when the program is compiled, so that a constant text holding a name takes the name from its
// home: JoinedText<a, b, c>::text is the three texts one after the other, a std::string_view of static storage.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

template <const std::string_view&... parts>
struct JoinedText {
  static constexpr auto chars = [] {
    std::array<char, (parts.size() + ... + 0)> all{};
    std::size_t at = 0;
    ((std::copy(parts.begin(), parts.end(), all.begin() + static_cast<std::ptrdiff_t>(at)), at += parts.size()), ...);
    return all;
  }();
  static constexpr std::string_view text{chars.data(), chars.size()};
};
