// The ghost file format, the one place that knows it (with GhostHeaderLine.h for the header's fields): a header
// line (map name, player name, run time in milliseconds, lap count written "<n>-Lap", version), then one line
// per frame: time, x, y, z, pitch, yaw, roll. Every written line ends in CR LF on every platform, so a file is
// the same bytes wherever it is made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "library/ghostfile/GhostFrame.h"
#include "library/ghostfile/NumberReading.h"

// What every written line ends in.
inline constexpr std::string_view ghostLineEnd = "\r\n";

struct GhostHeader {
  std::string_view mapName;
  std::string_view playerName;
  std::int32_t runTime = 0;
  std::int32_t lapCount = 0;
  std::string_view version;
};

// ---- writing ----

// Room that one location field, and one whole frame line with its line end, can need. The writers may use
// bytes of it past the end they return as scratch.
inline constexpr std::size_t locationTextCapacity = 64;
inline constexpr std::size_t frameLineCapacity = 256;

// A location component as printf "%.2f" writes the value widened to double: nearest hundredth of the binary
// value, no exponent however large. Writes at first (locationTextCapacity bytes of room) and returns the end.
char* formatLocation(char* first, float value);

// A rotation component truncated toward zero. A value with no 32-bit integer (NaN, or beyond the range)
// gives INT32_MIN, as the float-to-integer conversion of the x86-64 build does.
std::int32_t rotationUnits(float value);

// One frame line with its CR LF, written at first (frameLineCapacity bytes of room); returns the end.
char* formatFrameLine(char* first, const GhostFrame& frame);

// The header line with its CR LF; the names are written by the header's name rule (headerName).
std::string headerLine(const GhostHeader& header);

// The whole file: header line, then a frame line for every frame in order. Check the stream afterwards.
void writeGhost(std::ostream& out, const GhostHeader& header, std::span<const GhostFrame> frames);

// ---- reading ----

// Fields of a frame line in the order they are written.
enum class FrameField { Time, X, Y, Z, Pitch, Yaw, Roll };
inline constexpr int frameFieldCount = 7;
std::string_view frameFieldName(FrameField field);

struct FrameLineResult {
  enum class Kind { Frame, TooFewFields, BadNumber };
  Kind kind = Kind::Frame;
  FrameField badField = FrameField::Time;  // with BadNumber: the first field, in written order, that failed
  NumberError error = NumberError::None;   // with BadNumber: what was wrong with it
};

// Decodes one frame line; fields after the seventh are ignored. A location or rotation that reads as an
// infinity or a NaN is a bad number (NumberError::NotFinite). frame is written only for Kind::Frame.
FrameLineResult decodeFrameLine(std::string_view line, GhostFrame& frame);

struct BadFrameLine {
  std::size_t lineNumber = 0;  // counted from 1, the header being line 1
  FrameField field = FrameField::Time;
  NumberError error = NumberError::None;
};

// The longest line a ghost file may hold, without its line end: the longest frame line the import reads and
// the longest header the settings page lists. A written line is far shorter; a longer one is no ghost line,
// and reading gives up on it before it has gathered more than this much of it.
inline constexpr std::size_t ghostLineLimit = 4096;

struct FrameReadReport {
  std::size_t skippedLines = 0;            // frame lines with fewer than seven fields
  std::optional<BadFrameLine> badLine;     // reading stopped here; the frames before it were kept
  std::optional<std::size_t> tooLongLine;  // or here, at a frame line longer than ghostLineLimit (counted from 1)
  bool inTimeOrder = true;                 // no frame appended has a time below the one appended before it
};

// Appends the frames of a ghost file to frames: the first line is skipped unread, however long, in bounded
// memory; lines with fewer than seven fields are skipped and counted; reading stops at the first line holding
// a field that is not a (finite) number, and at the first frame line longer than ghostLineLimit. beforeBlock, when
// given, is called with the count of the stream's bytes taken so far before each run of lines is read from the
// buffer (for a caller that prepares the list's memory ahead of the frames).
FrameReadReport readGhostFrames(std::istream& in, std::vector<GhostFrame>& frames,
                                const std::function<void(std::uint64_t)>& beforeBlock = {});
