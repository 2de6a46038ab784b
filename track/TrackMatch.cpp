#include "track/TrackMatch.h"

#include <algorithm>

SegmentNearest nearestOnSegment(PathPoint a, PathPoint b, PathPoint p, double least) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double squaredLength = dx * dx + dy * dy;
  // A segment of no length is its start.
  const double share =
      squaredLength > 0.0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / squaredLength, least, 1.0) : least;
  const double ex = a.x + share * dx - p.x, ey = a.y + share * dy - p.y;
  return {share, ex * ex + ey * ey};
}
