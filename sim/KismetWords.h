// The words of a Kismet variable's type and of a bool's value as the host's texts write them: a map file's
// variables, an expected value, a report of the map, and the stand-in game setting a variable from a text.
// One home, so that no two of them read a word apart: a map's starting value is checked and then stored by
// the same reader below.
#pragma once

#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

namespace sim::kismetWords {

// The types a workshop map's variable may have, in the stand-in game's order of them (sim::VariableType).
inline constexpr std::array<std::string_view, 5> typeNames = {"int", "float", "string", "vector", "bool"};

// A bool's value: written true or false; read from those words or 1 and 0, nothing from any other word.
inline constexpr std::string_view trueWord = "true";
inline constexpr std::string_view falseWord = "false";
constexpr std::string_view boolWord(bool on) { return on ? trueWord : falseWord; }
inline constexpr std::string_view trueDigit = "1";
inline constexpr std::string_view falseDigit = "0";
constexpr std::optional<bool> boolOfWord(std::string_view word) {
  if (word == trueWord || word == trueDigit) return true;
  if (word == falseWord || word == falseDigit) return false;
  return std::nullopt;
}
// The words boolOfWord reads, as a message lists them: "0, 1, true or false".
inline std::string boolWordsText() {
  return std::string(falseDigit) + ", " + std::string(trueDigit) + ", " + std::string(trueWord) + " or " +
         std::string(falseWord);
}

// A vector's value as a text: the words of its x, y and z apart by a blank ("0 0 0"); read back as the words
// between blanks, each then read as a float is (a missing one is empty).
inline std::string vectorText(const std::string& x, const std::string& y, const std::string& z) {
  return x + ' ' + y + ' ' + z;
}
inline std::array<std::string, 3> vectorWords(const std::string& text) {
  std::istringstream in(text);
  std::array<std::string, 3> words;
  in >> words[0] >> words[1] >> words[2];
  return words;
}

// A number's word as the game keeps it, with what is wrong with it: not a number of its kind, or out of
// the range the game's int (32 bits) or float (single precision) holds.
enum class NumberFault { None, NotANumber, OutOfRange };
template <typename Number>
struct NumberRead {
  Number value;  // 0 unless fault is None
  NumberFault fault;
};

// Whether the word is written as a decimal number may be: digits, signs, a point and an exponent, nothing else
// (no blank, no hexadecimal "0x10", no "inf").
inline bool isDecimalWord(const std::string& word) {
  return !word.empty() && word.find_first_not_of("0123456789+-.eE") == std::string::npos;
}

// An int: an optional sign and decimal digits within 32 bits.
inline NumberRead<std::int32_t> intOfWord(const std::string& word) {
  const std::size_t digits = !word.empty() && (word[0] == '-' || word[0] == '+') ? 1 : 0;
  if (word.size() == digits || word.find_first_not_of("0123456789", digits) != std::string::npos) {
    return {0, NumberFault::NotANumber};
  }
  errno = 0;
  const long long value = std::strtoll(word.c_str(), nullptr, 10);
  // A larger value would reach the plugin wrapped.
  if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return {0, NumberFault::OutOfRange};
  return {static_cast<std::int32_t>(value), NumberFault::None};
}

// A decimal word (above) read whole as a double: one too large for a double is out of range, not no number.
inline NumberRead<double> decimalOfWord(const std::string& word) {
  if (!isDecimalWord(word)) return {0.0, NumberFault::NotANumber};
  char* end = nullptr;
  // strtod alone would pass over leading blanks and read hexadecimal; the word above holds neither.
  const double value = std::strtod(word.c_str(), &end);
  if (end != word.c_str() + word.size() || std::isnan(value)) return {0.0, NumberFault::NotANumber};
  if (std::isinf(value)) return {0.0, NumberFault::OutOfRange};
  return {value, NumberFault::None};
}

// A float: a decimal word (above), read whole, within single precision.
inline NumberRead<float> floatOfWord(const std::string& word) {
  const NumberRead<double> decimal = decimalOfWord(word);
  if (decimal.fault != NumberFault::None) return {0.0F, decimal.fault};
  // One past the single-precision range would reach the plugin as an infinity.
  const float single = std::strtof(word.c_str(), nullptr);
  if (!std::isfinite(single)) return {0.0F, NumberFault::OutOfRange};
  return {single, NumberFault::None};
}

}  // namespace sim::kismetWords
