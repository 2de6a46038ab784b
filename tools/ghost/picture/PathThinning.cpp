#include "tools/ghost/picture/PathThinning.h"

#include <algorithm>
#include <cmath>

namespace lumaro_ghost {

std::vector<std::size_t> thinnedIndices(const std::vector<Pixel>& pixels, double share) {
  std::vector<std::size_t> kept;
  double length = 0.0;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const double step =
        kept.empty() ? 0.0 : std::hypot(pixels[i].x - pixels[kept.back()].x, pixels[i].y - pixels[kept.back()].y);
    if (kept.empty() || i + 1 == pixels.size() || step >= 1.0) {
      kept.push_back(i);
      if (std::isfinite(step)) length += step;
    }
  }
  const double points = std::max(2.0, static_cast<double>(linePointBudget) * share);
  const double stride =
      std::ceil(std::max(static_cast<double>(kept.size()) / points, length / (lineLengthBudget * share)));
  if (!(stride > 1.0) || kept.size() < 3) return kept;
  // Every stride-th point, the last one included.
  const auto every = static_cast<std::size_t>(std::min(stride, static_cast<double>(kept.size())));
  std::vector<std::size_t> fewer;
  for (std::size_t k = 0; k < kept.size(); k += every) fewer.push_back(kept[k]);
  if (fewer.back() != kept.back()) fewer.push_back(kept.back());
  return fewer;
}

std::vector<Pixel> thinned(const std::vector<Pixel>& pixels, double share) {
  std::vector<Pixel> kept;
  for (const std::size_t i : thinnedIndices(pixels, share)) kept.push_back(pixels[i]);
  return kept;
}

}  // namespace lumaro_ghost
