// The lower part of a run picture for two runs: B's time less A's along the laps, with the lap lines, the
// tenths of the largest gain and loss, and the difference at the finish.
#pragma once

#include "tools/ghost/RunPicture.h"
#include "tools/ghost/SvgDocument.h"

namespace lumaro_ghost {

// Returns where the next part would go.
double drawDeltaPanel(SvgDocument& svg, const DeltaPanel& delta, double top);

}  // namespace lumaro_ghost
