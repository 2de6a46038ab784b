#include "tools/ghost/analysis/LapValidity.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "tools/ghost/text/NumberText.h"

namespace lumaro_ghost {

double medianLapSeconds(std::span<const double> lapSeconds) {
  if (lapSeconds.empty()) return 0.0;
  std::vector<double> sorted(lapSeconds.begin(), lapSeconds.end());
  std::sort(sorted.begin(), sorted.end());
  return sorted[sorted.size() / 2];
}

LapFault judgeLap(double seconds, double medianSeconds) {
  // Written so that a time that is not a number is no lap either.
  if (!(seconds > 0.0)) return LapFault::noTime;
  if (seconds < leastDrivenLapShare * medianSeconds) return LapFault::farTooQuick;
  return LapFault::none;
}

std::string lapFaultText(int lap, double seconds, LapFault fault, double medianSeconds) {
  if (fault == LapFault::none) return "";
  std::string text =
      "lap " + std::to_string(lap) + " cannot have been driven: it takes " + fixedText(seconds, 3) + " s";
  if (fault == LapFault::farTooQuick) {
    return text + ", less than " + fixedText(leastDrivenLapShare * 100.0, 0) + "% of the median lap time (" +
           fixedText(medianSeconds, 3) + " s)";
  }
  return text + (seconds < 0.0 ? " (its frames' times run backwards)" : " (its frames' times stand still)");
}

}  // namespace lumaro_ghost
