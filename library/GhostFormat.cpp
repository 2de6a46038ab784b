#include "library/GhostFormat.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>

#include "library/LineReader.h"
#include "library/SplitString.h"

namespace {

char* put(char* first, std::string_view text) {
  std::memcpy(first, text.data(), text.size());
  return first + text.size();
}

char* formatInteger(char* first, std::int32_t value) {
  return std::to_chars(first, first + 16, value).ptr;
}

}  // namespace

char* formatLocation(char* first, float value) {
  const double widened = static_cast<double>(value);
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

  char digits[24];
  char* end = digits + sizeof digits;
  char* at = end;
  // At least three digits, so that a value below one still has its "0" before the point.
  for (int written = 0; written < 3 || rounded != 0; ++written) {
    *--at = static_cast<char>('0' + rounded % 10);
    rounded /= 10;
  }
  // The sign is the value's own, so that -0.001 gives "-0.00" as printf writes it.
  if (std::signbit(value)) *first++ = '-';
  const std::size_t units = static_cast<std::size_t>(end - at) - 2;
  std::memcpy(first, at, units);
  first += units;
  *first++ = '.';
  *first++ = end[-2];
  *first++ = end[-1];
  return first;
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
  return put(at, "\r\n");
}

std::string headerLine(const GhostHeader& header) {
  std::string line;
  line.reserve(header.mapName.size() + header.playerName.size() + header.version.size() + 40);
  line += header.mapName;
  line += ',';
  line += header.playerName;
  line += ',';
  line += std::to_string(header.runTime);
  line += ',';
  line += std::to_string(header.lapCount);
  line += "-Lap,";
  line += header.version;
  line += "\r\n";
  return line;
}

void writeGhost(std::ostream& out, const GhostHeader& header, std::span<const GhostFrame> frames) {
  const std::string head = headerLine(header);
  out.write(head.data(), static_cast<std::streamsize>(head.size()));
  // Frame lines are formatted into one buffer and handed to the stream a block at a time.
  constexpr std::size_t blockSize = 1 << 16;
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
    const NumberError error = reading.error == NumberError::None && !std::isfinite(reading.value)
                                  ? NumberError::NotFinite
                                  : reading.error;
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

FrameReadReport readGhostFrames(std::istream& in, std::vector<GhostFrame>& frames) {
  FrameReadReport report;
  LineReader lines(in, ghostLineLimit);
  std::string_view line;
  std::size_t lineNumber = 1;
  if (!lines.next(line)) {  // the header line, whatever it holds
    if (lines.lineTooLong()) report.tooLongLine = lineNumber;
    return report;
  }
  GhostFrame frame;
  while (lines.next(line)) {
    ++lineNumber;
    const FrameLineResult result = decodeFrameLine(line, frame);
    switch (result.kind) {
      case FrameLineResult::Kind::Frame: frames.push_back(frame); break;
      case FrameLineResult::Kind::TooFewFields: ++report.skippedLines; break;
      case FrameLineResult::Kind::BadNumber:
        report.badLine = BadFrameLine{lineNumber, result.badField, result.error};
        return report;
    }
  }
  if (lines.lineTooLong()) report.tooLongLine = lineNumber + 1;
  return report;
}
