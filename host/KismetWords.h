// The words of a Kismet variable's type and of a bool's value as the host's texts write them: a map file's
// variables, an expected value, a report of the map, and the stand-in game setting a variable from a text.
// One home, so that no two of them read a word apart.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace Tessaro::kismetWords {

// The types a workshop map's variable may have, in the stand-in game's order of them (sim::VariableType).
inline constexpr std::array<std::string_view, 5> typeNames = {"int", "float", "string", "vector", "bool"};

// A bool's value: written true or false; read from those words or 1 and 0, nothing from any other word.
inline constexpr std::string_view trueWord = "true";
inline constexpr std::string_view falseWord = "false";
constexpr std::string_view boolWord(bool on) { return on ? trueWord : falseWord; }
constexpr std::optional<bool> boolOfWord(std::string_view word) {
  if (word == trueWord || word == "1") return true;
  if (word == falseWord || word == "0") return false;
  return std::nullopt;
}

}  // namespace Tessaro::kismetWords
