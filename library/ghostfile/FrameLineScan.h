// The fast road through a frame line: one scan that finds the commas and reads the seven fields in place,
// for lines in the forms the writer produces (integers, and decimals with a few places). It answers only
// when its result is exactly what the general decoder gives for the same line; otherwise it declines and
// the caller takes the general road.
#pragma once

#include <cstddef>
#include <vector>

#include "library/ghostfile/GhostFrame.h"

// Bytes that must be readable from the NUL that ends a scanned text on: the scan reads words of eight bytes.
inline constexpr std::size_t frameScanPadding = 8;

// Reads the frame line starting at first, in a text that ends with a NUL byte followed by the padding; the
// line must end with its LF (CR LF or LF) before that NUL. Returns the position just past the LF, or nullptr
// when the line is not in the plain forms or has no LF. frame is written only on success.
const char* scanFrameLine(const char* first, GhostFrame& frame);

// Reads the frame lines that follow one another from first in the plain forms, as scanFrameLine does, and
// appends their frames to frames; stops at the first line it declines. Returns the position just past the
// last line read (first when none was). inTimeOrder is cleared when a frame's time is below the one before it
// (the last frame already in the list included).
const char* scanFrameLines(const char* first, std::vector<GhostFrame>& frames, bool& inTimeOrder);
