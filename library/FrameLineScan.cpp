#include "library/FrameLineScan.h"

#include <cstdint>

namespace {

bool isDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// An optional minus sign and one to nine digits: every such number is a 32-bit integer, read as stoi would.
const char* scanTime(const char* at, std::int32_t& value) {
  const bool negative = *at == '-';
  if (negative) ++at;
  const char* const digits = at;
  std::uint32_t magnitude = 0;
  while (isDigit(*at)) magnitude = magnitude * 10 + static_cast<std::uint32_t>(*at++ - '0');
  const auto count = at - digits;
  if (count == 0 || count > 9) return nullptr;
  value = negative ? -static_cast<std::int32_t>(magnitude) : static_cast<std::int32_t>(magnitude);
  return at;
}

// An optional minus sign, digits, and an optional point with digits after it; nine digits at most. The
// digits make a whole number m and the places p give the value m / 10^p. A whole number converts to the
// nearest float; with places, m of at most 2^24 and 10^p are exact floats, so one division rounds the exact
// quotient to the nearest float. Both are what strtof gives for the same text.
const char* scanDecimal(const char* at, float& value) {
  static constexpr float powersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f};
  const bool negative = *at == '-';
  if (negative) ++at;
  std::uint32_t digits = 0;
  int count = 0;
  while (isDigit(*at)) {
    digits = digits * 10 + static_cast<std::uint32_t>(*at++ - '0');
    ++count;
  }
  int places = 0;
  if (*at == '.') {
    ++at;
    while (isDigit(*at)) {
      digits = digits * 10 + static_cast<std::uint32_t>(*at++ - '0');
      ++places;
    }
  }
  if (count + places == 0 || count + places > 9) return nullptr;
  if (places > 0 && digits > (1U << 24)) return nullptr;
  const float magnitude = places == 0 ? static_cast<float>(digits) : static_cast<float>(digits) / powersOfTen[places];
  value = negative ? -magnitude : magnitude;
  return at;
}

}  // namespace

const char* scanFrameLine(const char* first, GhostFrame& frame) {
  // Every step reads one byte past a byte it has accepted, and the NUL that ends the text is accepted by
  // none: no step reads past it.
  std::int32_t time = 0;
  const char* at = scanTime(first, time);
  if (at == nullptr || *at != ',') return nullptr;
  // Written order: x, y, z, pitch, yaw, roll.
  float values[6];
  for (int field = 0; field < 6; ++field) {
    at = scanDecimal(at + 1, values[field]);
    if (at == nullptr) return nullptr;
    if (field < 5 && *at != ',') return nullptr;
  }
  // The line must end right after the seventh field; extra fields and anything else take the general road.
  if (*at == '\r') ++at;
  if (*at != '\n') return nullptr;
  frame = GhostFrame{values[3], values[4], values[5], values[0], values[1], values[2], time};
  return at + 1;
}
