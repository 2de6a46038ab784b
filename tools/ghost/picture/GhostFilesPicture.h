// The pictures of runs read from ghost files, as lumaro-ghost plot draws them: two runs as the comparison
// of B against A, any other number as a map each, coloured by speed. The runs' analysis (RunAnalysis.h)
// decides the laps, the matching and the sectors, so the picture says what compare says.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "tools/ghost/analysis/LoadedGhost.h"
#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/picture/PictureSvg.h"

namespace lumaro_ghost {

// analysis: of the ghosts, in their order; choice: the laps drawn (with laps.lap, that lap of each run, which
// every run must hold; with a pair of laps, those two laps as the two runs compared, even of one file); notes:
// lines shown under the title (runs compared all the same with --force).
Picture ghostsPicture(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis, const ComparedLaps& choice = {},
                      const std::vector<std::string>& notes = {});

// A speed-coloured map panel for each run, lettered A, B, ...
Picture runsPicture(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis,
                    std::optional<int> lap = std::nullopt);

}  // namespace lumaro_ghost
