#include "library/ghostfile/GhostFormat.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <ostream>

#include "library/ghostfile/FrameLineScan.h"
#include "library/ghostfile/GhostHeaderLine.h"
#include "library/ghostfile/LineReader.h"
#include "library/ghostfile/SplitString.h"

namespace {

char* put(char* first, std::string_view text) {
  std::memcpy(first, text.data(), text.size());
  return first + text.size();
}

// "00" to "99": two digits per step, since a division by 100 costs what one by 10 does.
constexpr std::array<char, 200> digitPairs = [] {
  std::array<char, 200> pairs{};
  for (std::size_t i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

char* putPair(char* first, std::uint32_t pair) {
  std::memcpy(first, digitPairs.data() + 2 * std::size_t{pair}, 2);
  return first + 2;
}

// Without a loop: the lengths of the numbers in a frame line vary from field to field, and a loop's exit
// would be guessed wrong on most of them.
int digitCount(std::uint32_t value) {
  return 1 + static_cast<int>(value >= 10) + static_cast<int>(value >= 100) + static_cast<int>(value >= 1000) +
         static_cast<int>(value >= 10000) + static_cast<int>(value >= 100000) + static_cast<int>(value >= 1000000) +
         static_cast<int>(value >= 10000000) + static_cast<int>(value >= 100000000) +
         static_cast<int>(value >= 1000000000);
}

// The eight decimal digits of a value below 10^8, leading zeros included, as the bytes of a 64-bit word in
// memory order (first digit in the lowest byte). Every division runs on all lanes of the word at once, as a
// multiplication by a reciprocal that is exact for the lane's range: no branch, no trip through memory.
static_assert(std::endian::native == std::endian::little, "eightDigits lays digits out for little-endian words");
std::uint64_t eightDigits(std::uint32_t value) {
  // 32-bit lanes: the first four digits, then the last four.
  std::uint64_t word = (value / 10'000) | (static_cast<std::uint64_t>(value % 10'000) << 32);
  // Divided by 100 in each lane (exact below 10,000): 16-bit lanes of two digits each.
  std::uint64_t quotient = ((word * 5243) >> 19) & 0x0000007F0000007FULL;
  word = quotient | ((word - quotient * 100) << 16);
  // Divided by 10 in each lane (exact below 100): one digit per byte.
  quotient = ((word * 103) >> 10) & 0x000F000F000F000FULL;
  word = quotient | ((word - quotient * 10) << 8);
  return word + 0x3030303030303030ULL;
}

// The decimal digits of value, without leading zeros ("0" for zero). first needs 16 bytes of room; the
// bytes after the number are scratch for the next field to overwrite.
char* formatUnsigned(char* first, std::uint32_t value) {
  if (value >= 100'000'000) return std::to_chars(first, first + 16, value).ptr;
  const int length = digitCount(value);
  const std::uint64_t digits = eightDigits(value) >> (8 * (8 - length));
  std::memcpy(first, &digits, 8);
  return first + length;
}

char* formatInteger(char* first, std::int32_t value) {
  if (value < 0) {
    *first++ = '-';
    return formatUnsigned(first, 0U - static_cast<std::uint32_t>(value));
  }
  return formatUnsigned(first, static_cast<std::uint32_t>(value));
}

}  // namespace

char* formatLocation(char* first, float value) {
  const auto widened = static_cast<double>(value);
  // A float has 24 significant bits and 100 needs 7, so the hundredths of the widened value are exact in a
  // double; rounding them to a whole number, with an exact half going to the even neighbour, is what
  // printf's "%.2f" does. Values too large for 64-bit hundredths, inf and nan take to_chars, which gives the
  // same bytes as printf in every case, only more slowly.
  const double hundredths = std::fabs(widened * 100.0);
  if (!(hundredths < 1e18)) {
    return std::to_chars(first, first + locationTextCapacity, widened, std::chars_format::fixed, 2).ptr;
  }
  const double whole = std::trunc(hundredths);
  const double rest = hundredths - whole;  // exact: the fractional bits of an exact product
  auto rounded = static_cast<std::uint64_t>(whole);
  if (rest > 0.5 || (rest == 0.5 && (rounded & 1U) != 0)) ++rounded;

  // The sign is the value's own, so that -0.001 gives "-0.00" as printf writes it.
  if (std::signbit(value)) *first++ = '-';
  const std::uint64_t units = rounded / 100;
  if (units <= UINT32_MAX) {
    first = formatUnsigned(first, static_cast<std::uint32_t>(units));
  } else {
    first = std::to_chars(first, first + 24, units).ptr;
  }
  *first++ = '.';
  return putPair(first, static_cast<std::uint32_t>(rounded % 100));
}

std::int32_t rotationUnits(float value) {
  // Exactly representable limits: -2^31 is a float, 2^31 is the first float past INT32_MAX.
  if (!(value >= -2147483648.0f && value < 2147483648.0f)) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

char* formatFrameLine(char* first, const GhostFrame& frame) {
  char* at = formatInteger(first, frame.time);
  *at++ = ',';
  at = formatLocation(at, frame.x);
  *at++ = ',';
  at = formatLocation(at, frame.y);
  *at++ = ',';
  at = formatLocation(at, frame.z);
  *at++ = ',';
  at = formatInteger(at, rotationUnits(frame.pitch));
  *at++ = ',';
  at = formatInteger(at, rotationUnits(frame.yaw));
  *at++ = ',';
  at = formatInteger(at, rotationUnits(frame.roll));
  return put(at, ghostLineEnd);
}

std::string headerLine(const GhostHeader& header) {
  std::string line;
  line.reserve(header.mapName.size() + header.playerName.size() + header.version.size() + 40);
  line += headerName(header.mapName);
  line += ',';
  line += headerName(header.playerName);
  line += ',';
  line += std::to_string(header.runTime);
  line += ',';
  line += std::to_string(header.lapCount);
  line += "-Lap,";
  line += header.version;
  line += ghostLineEnd;
  return line;
}

void writeGhost(std::ostream& out, const GhostHeader& header, std::span<const GhostFrame> frames) {
  const std::string head = headerLine(header);
  out.write(head.data(), static_cast<std::streamsize>(head.size()));
  // Frame lines are formatted into one buffer and handed to the stream a block at a time.
  constexpr std::size_t blockSize = 1 << 20;
  std::string block(blockSize, '\0');
  char* const start = block.data();
  char* at = start;
  for (const GhostFrame& frame : frames) {
    if (static_cast<std::size_t>(at - start) > blockSize - frameLineCapacity) {
      out.write(start, at - start);
      at = start;
    }
    at = formatFrameLine(at, frame);
  }
  out.write(start, at - start);
}

std::string_view frameFieldName(FrameField field) {
  switch (field) {
    case FrameField::Time: return "time";
    case FrameField::X: return "x";
    case FrameField::Y: return "y";
    case FrameField::Z: return "z";
    case FrameField::Pitch: return "pitch";
    case FrameField::Yaw: return "yaw";
    case FrameField::Roll: return "roll";
  }
  return "";
}

FrameLineResult decodeFrameLine(std::string_view line, GhostFrame& frame) {
  std::array<std::string_view, frameFieldCount> fields;
  if (cutFields(line, ',', fields) < fields.size()) return {FrameLineResult::Kind::TooFewFields};

  const IntReading time = readInt(fields[0]);
  if (time.error != NumberError::None) return {FrameLineResult::Kind::BadNumber, FrameField::Time, time.error};
  std::array<float, frameFieldCount> values{};
  for (int index = 1; index < frameFieldCount; ++index) {
    const FloatReading reading = readFloat(fields[static_cast<std::size_t>(index)]);
    // An infinity or a NaN would reach the ghost car's Kismet variables: it is as bad as no number at all.
    const NumberError error =
        reading.error == NumberError::None && !std::isfinite(reading.value) ? NumberError::NotFinite : reading.error;
    if (error != NumberError::None) return {FrameLineResult::Kind::BadNumber, static_cast<FrameField>(index), error};
    values[static_cast<std::size_t>(index)] = reading.value;
  }
  frame.x = values[1];
  frame.y = values[2];
  frame.z = values[3];
  frame.pitch = values[4];
  frame.yaw = values[5];
  frame.roll = values[6];
  frame.time = time.value;
  return {FrameLineResult::Kind::Frame};
}

FrameReadReport readGhostFrames(std::istream& in, std::vector<GhostFrame>& frames,
                                const std::function<void(std::uint64_t)>& beforeBlock) {
  FrameReadReport report;
  LineReader lines(in, ghostLineLimit);
  std::string_view line;
  std::size_t lineNumber = 1;
  if (!lines.skipLine()) return report;  // the header line, whatever it holds and however long
  GhostFrame frame;
  const auto append = [&frames, &report](const GhostFrame& read) {
    if (!frames.empty() && read.time < frames.back().time) report.inTimeOrder = false;
    frames.push_back(read);
  };
  for (;;) {
    // Lines in the writer's own forms are read straight out of the buffer; any other line, and the line
    // that runs past the end of the buffer, takes the general road below.
    if (beforeBlock) beforeBlock(lines.taken());
    const std::string_view text = lines.buffered();
    const std::size_t framesBefore = frames.size();
    const char* at = scanFrameLines(text.data(), frames, report.inTimeOrder);
    lineNumber += frames.size() - framesBefore;
    lines.skip(static_cast<std::size_t>(at - text.data()));

    if (!lines.next(line)) {
      if (lines.lineTooLong()) report.tooLongLine = lineNumber + 1;
      return report;
    }
    ++lineNumber;
    const FrameLineResult result = decodeFrameLine(line, frame);
    switch (result.kind) {
      case FrameLineResult::Kind::Frame: append(frame); break;
      case FrameLineResult::Kind::TooFewFields: ++report.skippedLines; break;
      case FrameLineResult::Kind::BadNumber:
        report.badLine = BadFrameLine{lineNumber, result.badField, result.error};
        return report;
    }
  }
}
