// The upper part of the picture of two runs compared: its legend and the one map that holds both lines,
// A's drawn thin and dark over B's, which is coloured by how B paces against A at each point (blues where
// B is faster, oranges where it is slower, grey where they are level: PictureStyle.h's paceColours; the
// stronger the colour, the larger the share of time gained or lost there, and the stronger colours are
// drawn last, so a mistake in one lap is never hidden under a clean lap over the same stretch). Sector
// lines cross the reference lap with each sector's number beside it, and the sector of the largest loss is
// circled; no label lies across a line.
#pragma once

#include "tools/ghost/picture/PictureSvg.h"
#include "tools/ghost/picture/SvgDocument.h"

namespace lumaro_ghost {

// Draws from top down; returns where the next part goes.
double drawComparisonMap(SvgDocument& svg, const ComparisonMap& map, double top);

}  // namespace lumaro_ghost
