#include "library/ghostfile/NumberReading.h"

#include <cerrno>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>

namespace {

// White space as the C library's isspace sees it in the "C" locale, which is what strtol and strtof skip.
bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view skipBlanks(std::string_view field) {
  std::size_t start = 0;
  while (start < field.size() && isBlank(field[start])) ++start;
  return field.substr(start);
}

// strtof itself, with stof's reading of errno, on a NUL-terminated copy of the field so that the
// conversion cannot run past the field's end.
FloatReading readFloatWithLibrary(std::string_view field) {
  char small[128];
  std::string large;
  const char* text = small;
  if (field.size() < sizeof small) {
    std::memcpy(small, field.data(), field.size());
    small[field.size()] = '\0';
  } else {
    large.assign(field);
    text = large.c_str();
  }
  char* end = nullptr;
  const int savedErrno = errno;
  errno = 0;
  const float value = std::strtof(text, &end);
  const int conversionErrno = errno;
  errno = savedErrno;
  if (end == text) return {0.0f, NumberError::NoNumber};
  if (conversionErrno == ERANGE) return {value, NumberError::OutOfRange};
  return {value, NumberError::None};
}

bool hasNonZeroDigit(std::string_view mantissa) {
  for (char c : mantissa) {
    if (c == 'e' || c == 'E') return false;
    if (c >= '1' && c <= '9') return true;
  }
  return false;
}

}  // namespace

IntReading readInt(std::string_view field) {
  std::string_view rest = skipBlanks(field);
  bool negative = false;
  if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  if (rest.empty() || !isDigit(rest.front())) return {0, NumberError::NoNumber};
  // The magnitude is gathered in 64 bits and capped just past the 32-bit range, so long digit runs cannot
  // wrap; every digit is still consumed, as strtol does before it reports the range error.
  constexpr std::int64_t limit = std::int64_t{1} << 31;
  std::int64_t magnitude = 0;
  for (char c : rest) {
    if (!isDigit(c)) break;
    if (magnitude <= limit) magnitude = magnitude * 10 + (c - '0');
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value < INT32_MIN || value > INT32_MAX) return {0, NumberError::OutOfRange};
  return {static_cast<std::int32_t>(value), NumberError::None};
}

FloatReading readFloat(std::string_view field) {
  const std::string_view number = skipBlanks(field);
  std::string_view rest = number;
  bool negative = false;
  if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  // The fast path takes plain decimal numbers, the only form ghost files are written in. Hexadecimal,
  // inf, nan and anything that is not a number go to the C library, which is the reference for them.
  const bool decimal = !rest.empty() && (isDigit(rest.front()) || rest.front() == '.') &&
                       !(rest.size() > 1 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X'));
  if (!decimal) return readFloatWithLibrary(number);

  // Most fields are short decimals ("-1234.57", "16384"): when the digits make a whole number of at most
  // 2^24 and at most ten of them follow the point, number and power of ten are both exact floats, and one
  // division rounds the quotient correctly, as strtof does.
  {
    constexpr std::uint32_t exactLimit = 1U << 24;
    static constexpr float powersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    std::uint32_t digits = 0;
    std::size_t at = 0;
    bool anyDigit = false;
    bool exact = true;
    int decimals = 0;
    while (at < rest.size() && isDigit(rest[at])) {
      digits = digits * 10 + static_cast<std::uint32_t>(rest[at] - '0');
      anyDigit = true;
      if (digits > exactLimit) exact = false;
      if (!exact) break;
      ++at;
    }
    if (exact && at < rest.size() && rest[at] == '.') {
      ++at;
      while (at < rest.size() && isDigit(rest[at])) {
        digits = digits * 10 + static_cast<std::uint32_t>(rest[at] - '0');
        anyDigit = true;
        if (digits > exactLimit || ++decimals > 10) exact = false;
        if (!exact) break;
        ++at;
      }
    }
    const bool exponentFollows = at < rest.size() && (rest[at] == 'e' || rest[at] == 'E');
    if (exact && anyDigit && !exponentFollows) {
      const float value = static_cast<float>(digits) / powersOfTen[decimals];
      return {negative ? -value : value, NumberError::None};
    }
  }

  float value = 0.0f;
  const auto [end, status] = std::from_chars(rest.data(), rest.data() + rest.size(), value, std::chars_format::general);
  if (status != std::errc()) return readFloatWithLibrary(number);
  // Around the ends of the float range strtof reports a range error where the rounded value alone does not
  // tell (below the smallest normal float, including results that round up to it); the library decides.
  const float magnitude = std::fabs(value);
  if (magnitude == 0.0f) {
    if (hasNonZeroDigit(std::string_view(rest.data(), static_cast<std::size_t>(end - rest.data())))) {
      return readFloatWithLibrary(number);
    }
  } else if (magnitude <= FLT_MIN || magnitude >= FLT_MAX) {
    return readFloatWithLibrary(number);
  }
  return {negative ? -value : value, NumberError::None};
}
