// A run's points as the replay page carries them: compact text its script decodes. Each frame gives three
// numbers, each the change from the frame before: the time in milliseconds from the first frame, x and y
// in tenths of a unit (far below a pixel of any map). A number is zigzagged (0, -1, 1, -2... as 0, 1, 2,
// 3...) and written five bits a character, lowest first, from the alphabet A-Z a-z 0-9 - _: the first 32
// characters end a number, the last 32 say that more follow. No character needs escaping in HTML or JSON.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "library/ghostfile/GhostFrame.h"

namespace lumaro_ghost {

// The units of the numbers above: a time counts milliseconds of a second, a place tenths of a unit.
inline constexpr int pointTimesPerSecond = 1000;
inline constexpr int pointPlacesPerUnit = 10;

void appendPointNumber(std::string& out, std::int64_t value);

std::string encodePoints(std::span<const GhostFrame> frames);

}  // namespace lumaro_ghost
