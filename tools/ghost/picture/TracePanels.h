// The lower part of the picture of two runs compared, along the laps compared: both runs' speed on one
// axis, and below it B's time less A's, with the lap lines, a tick at every sector line, the sectors of
// the largest gain and loss shaded and named, and the difference at the finish.
#pragma once

#include "tools/ghost/picture/PictureSvg.h"
#include "tools/ghost/picture/SvgDocument.h"

namespace lumaro_ghost {

// Each draws from top down and returns where the next part goes.
double drawSpeedPanel(SvgDocument& svg, const TracePanel& trace, double top);
double drawDeltaPanel(SvgDocument& svg, const TracePanel& trace, double top);

}  // namespace lumaro_ghost
