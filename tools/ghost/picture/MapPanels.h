// The upper part of a run picture: the legend (the speed colour scale, the start marker, the track and the
// ghost car when shown) and a top-down map panel for each run, all on one scale.
#pragma once

#include "tools/ghost/picture/PictureSvg.h"
#include "tools/ghost/picture/SvgDocument.h"

namespace lumaro_ghost {

// Draws from top down; returns where the next part goes.
double drawMapPanels(SvgDocument& svg, const Picture& picture, double top);

}  // namespace lumaro_ghost
