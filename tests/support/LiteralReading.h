// The literal way to read a ghost file, against which the tests and fuzz targets hold the real readers: getline for
// lines (a CR standing directly before the LF dropped, as a text-mode stream does), splitString for fields,
// std::stoi and std::stof for numbers, their exceptions turned into the reader's error kinds, and a location or
// rotation that is not finite refused.
#pragma once

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostFrame.h"
#include "library/ghostfile/NumberReading.h"
#include "library/ghostfile/SplitString.h"

namespace literal {

inline IntReading stoiReading(const std::string& text) {
  try {
    return {std::stoi(text), NumberError::None};
  } catch (const std::invalid_argument&) {
    return {0, NumberError::NoNumber};
  } catch (const std::out_of_range&) {
    return {0, NumberError::OutOfRange};
  }
}

inline FloatReading stofReading(const std::string& text) {
  try {
    return {std::stof(text), NumberError::None};
  } catch (const std::invalid_argument&) {
    return {0.0f, NumberError::NoNumber};
  } catch (const std::out_of_range&) {
    return {0.0f, NumberError::OutOfRange};
  }
}

// Floats compared bit for bit: -0 is not 0, and a NaN equals only the NaN of the same bits.
inline bool sameBits(float a, float b) { return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b); }

inline bool sameFrame(const GhostFrame& a, const GhostFrame& b) {
  return a.time == b.time && sameBits(a.x, b.x) && sameBits(a.y, b.y) && sameBits(a.z, b.z) &&
         sameBits(a.pitch, b.pitch) && sameBits(a.yaw, b.yaw) && sameBits(a.roll, b.roll);
}

// One frame line read field by field: the frame, or why it is no frame.
inline FrameLineResult decodeLine(const std::string& line, GhostFrame& frame) {
  const std::vector<std::string> fields = splitString(line, ",");
  if (fields.size() < frameFieldCount) return {FrameLineResult::Kind::TooFewFields};
  const IntReading time = stoiReading(fields[0]);
  if (time.error != NumberError::None) return {FrameLineResult::Kind::BadNumber, FrameField::Time, time.error};
  float values[frameFieldCount] = {};
  for (int index = 1; index < frameFieldCount; ++index) {
    const FloatReading reading = stofReading(fields[static_cast<std::size_t>(index)]);
    if (reading.error != NumberError::None) {
      return {FrameLineResult::Kind::BadNumber, static_cast<FrameField>(index), reading.error};
    }
    // What stof reads as an infinity or a NaN would reach the ghost car: the reader refuses it too.
    if (!std::isfinite(reading.value)) {
      return {FrameLineResult::Kind::BadNumber, static_cast<FrameField>(index), NumberError::NotFinite};
    }
    values[index] = reading.value;
  }
  frame = GhostFrame{values[4], values[5], values[6], values[1], values[2], values[3], time.value};
  return {FrameLineResult::Kind::Frame};
}

struct FileReading {
  std::vector<GhostFrame> frames;
  FrameReadReport report;
};

inline FileReading readFile(std::istream& in) {
  FileReading reading;
  std::string line;
  std::size_t lineNumber = 0;
  while (std::getline(in, line)) {
    if (!in.eof() && !line.empty() && line.back() == '\r') line.pop_back();
    ++lineNumber;
    // No frame line is this long: reading gives up on it. The header is skipped whatever its length.
    if (lineNumber > 1 && line.size() > ghostLineLimit) {
      reading.report.tooLongLine = lineNumber;
      break;
    }
    if (lineNumber == 1) continue;  // the header
    GhostFrame frame;
    const FrameLineResult result = decodeLine(line, frame);
    if (result.kind == FrameLineResult::Kind::TooFewFields) {
      ++reading.report.skippedLines;
    } else if (result.kind == FrameLineResult::Kind::BadNumber) {
      reading.report.badLine = BadFrameLine{lineNumber, result.badField, result.error};
      break;
    } else {
      reading.frames.push_back(frame);
    }
  }
  return reading;
}

}  // namespace literal
