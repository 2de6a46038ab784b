#include "tools/ghost/picture/PictureStyle.h"

#include <cmath>

#include "tools/ghost/text/NumberText.h"

namespace lumaro_ghost {

double niceStep(double range, double count) {
  const double raw = range / count;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  const double norm = raw / magnitude;
  return (norm < 1.5 ? 1.0 : norm < 3.5 ? 2.0 : norm < 7.5 ? 5.0 : 10.0) * magnitude;
}

std::string pictureSeconds(double seconds) { return signedSeconds(seconds, "\xE2\x88\x92"); }

}  // namespace lumaro_ghost
