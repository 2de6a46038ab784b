// A line of any length drawn with little: a point closer than a pixel to the last one kept is left out, and
// when more points remain than a line may have, or they make a longer line than it may be, only every so
// many of them are kept. The first and the last point always stay. So the picture of a million-frame run is
// a file of a few hundred kilobytes that renders in a moment, however the frames lie.
#pragma once

#include <cstddef>
#include <vector>

#include "tools/ghost/picture/SvgDocument.h"

namespace lumaro_ghost {

// The most points one drawn line keeps, and the longest it may be in pixels (a hundred or so laps of a
// map): the time a renderer takes grows with both.
inline constexpr std::size_t linePointBudget = 20000;
inline constexpr double lineLengthBudget = 250000.0;

// The indices of the pixels kept, in order. share: the part of a line's budgets this piece of it may use.
std::vector<std::size_t> thinnedIndices(const std::vector<Pixel>& pixels, double share = 1.0);

// The pixels kept.
std::vector<Pixel> thinned(const std::vector<Pixel>& pixels, double share = 1.0);

}  // namespace lumaro_ghost
