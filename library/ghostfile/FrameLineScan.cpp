#include "library/ghostfile/FrameLineScan.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

static_assert(std::endian::native == std::endian::little, "the digit runs are read as little-endian words");

constexpr std::uint64_t eachByte(std::uint8_t byte) { return 0x0101010101010101ULL * byte; }

struct DigitRun {
  int count = 0;            // leading digits, at most eight
  std::uint32_t value = 0;  // their value
};

// The leading decimal digits of the eight bytes at at, found and read as one word. A byte b is a digit when
// its high half is 3 and that of b + 6 is 3 too. Adding 6 carries out of a byte only when it is 0xFA or
// more, which is no digit, so the bytes up to the first one that is no digit are judged rightly.
inline DigitRun digitRun(const char* at) {
  std::uint64_t word;
  std::memcpy(&word, at, 8);
  const std::uint64_t highHalf = (word & eachByte(0xF0)) ^ eachByte(0x30);
  const std::uint64_t highHalfPlusSix = ((word + eachByte(0x06)) & eachByte(0xF0)) ^ eachByte(0x30);
  const std::uint64_t noDigit = highHalf | highHalfPlusSix;
  const int count = noDigit == 0 ? 8 : std::countr_zero(noDigit) / 8;
  if (count == 0) return {};
  // The digits' values moved to the top of the word, the first in the lowest of them; the bytes below are
  // zeros, that is leading zeros. A borrow from a byte after the digits only reaches bytes shifted out.
  std::uint64_t digits = (word - eachByte('0')) << (8 * (8 - count));
  // Pairs, then quadruples, then all eight, each step on every lane at once.
  digits = digits * 10 + (digits >> 8);
  digits = (((digits & 0x000000FF000000FFULL) * (100 + (1000000ULL << 32))) +
            (((digits >> 16) & 0x000000FF000000FFULL) * (1 + (10000ULL << 32)))) >>
           32;
  return {count, static_cast<std::uint32_t>(digits)};
}

float withSign(float magnitude, bool negative) {
  return std::bit_cast<float>(std::bit_cast<std::uint32_t>(magnitude) | (static_cast<std::uint32_t>(negative) << 31));
}

// An optional minus sign and one to eight digits: every such number is a 32-bit integer, read as stoi would.
const char* scanTime(const char* at, std::int32_t& value) {
  const bool negative = *at == '-';
  at += static_cast<int>(negative);
  const DigitRun run = digitRun(at);
  if (run.count == 0) return nullptr;
  // Half the numbers of a run are negative at random: signs are applied without a branch to guess.
  const auto magnitude = static_cast<std::int32_t>(run.value);
  value = (magnitude ^ -static_cast<std::int32_t>(negative)) + static_cast<std::int32_t>(negative);
  return at + run.count;
}

// An optional minus sign, up to eight digits, and an optional point with up to eight digits after it. The
// digits make a whole number m and the places p give the value m / 10^p. A whole number below 10^8
// converts to the nearest float; with places, m of at most 2^24 and 10^p are exact floats, so one division
// rounds the exact quotient to the nearest float. Both are what strtof gives for the same text.
inline const char* scanDecimal(const char* at, float& value) {
  static constexpr float powersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f};
  static constexpr std::uint64_t scales[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
  const bool negative = *at == '-';
  at += static_cast<int>(negative);
  const DigitRun whole = digitRun(at);
  at += whole.count;
  if (*at != '.') {
    if (whole.count == 0) return nullptr;
    value = withSign(static_cast<float>(whole.value), negative);
    return at;
  }
  const DigitRun places = digitRun(++at);
  if (whole.count + places.count == 0) return nullptr;
  const std::uint64_t digits = whole.value * scales[places.count] + places.value;
  if (digits > (1U << 24)) return nullptr;
  value = withSign(static_cast<float>(digits) / powersOfTen[places.count], negative);
  return at + places.count;
}

// Inlined into the loop of scanFrameLines, which it makes almost all of (GCC and Clang, the builds of the plugin).
[[gnu::always_inline]] inline const char* scanOneLine(const char* first, GhostFrame& frame) {
  // Every step looks at most eight bytes past a byte it has accepted, and the NUL that ends the text is
  // accepted by none: with the padding after it, no step reads past the buffer.
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

}  // namespace

const char* scanFrameLine(const char* first, GhostFrame& frame) { return scanOneLine(first, frame); }

const char* scanFrameLines(const char* first, std::vector<GhostFrame>& frames, bool& inTimeOrder) {
  // The whole run of lines in one loop, the line's scan inlined into it; the time order is gathered without
  // a branch per frame.
  const char* at = first;
  std::int32_t before = frames.empty() ? std::numeric_limits<std::int32_t>::min() : frames.back().time;
  bool backwards = false;
  GhostFrame frame;
  while (const char* next = scanOneLine(at, frame)) {
    backwards |= frame.time < before;
    before = frame.time;
    frames.push_back(frame);
    at = next;
  }
  if (backwards) inTimeOrder = false;
  return at;
}
