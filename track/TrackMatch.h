// Where a car stands on the path of another run: the nearest point of the path ahead of the last match,
// searched over a bounded window and interpolated between two points of the path. The plugin's live
// difference to a ghost and lumaro-ghost's laps placed on a reference lap both match through it, so they agree.
// Pure: no allocation, and a cost bounded by the window whatever the path's length.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <span>

// A point on the ground (the height plays no part in matching).
struct PathPoint {
  double x = 0.0;
  double y = 0.0;
};

// A place on a path: on the segment from point `segment` to point `segment + 1`, `share` of the way along it.
struct PathPlace {
  std::size_t segment = 0;
  double share = 0.0;
};

// How far ahead of the last match the search goes: this much distance along the path past it, and never more
// than mostSegments segments (a path sampled far more densely than the car moves is bounded by the count).
// A car farther than offPath from the nearest point found is off the path. What may be known of the path
// beforehand makes the search shorter, never its result other: the length of each of its segments
// (segmentLength of its points, path.size() - 1 of them; empty: measured as the search goes), and a length
// no segment exceeds.
struct PathWindow {
  double reach = 400.0;
  std::size_t mostSegments = 128;
  double offPath = std::numeric_limits<double>::infinity();
  std::span<const double> segmentLengths{};
  double longestSegment = std::numeric_limits<double>::infinity();
};

// The length of the segment from a to b, as the search measures it.
inline double segmentLength(PathPoint a, PathPoint b) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  return std::sqrt(dx * dx + dy * dy);
}

struct PathMatch {
  PathPlace place;
  double distance = 0.0;  // from the car to the place found
  bool onPath = false;    // false: farther than offPath, or a path without a segment
};

// The nearest point of the segment from a to b to p: its share of the way, at least `least`, and the squared
// distance to it.
struct SegmentNearest {
  double share = 0.0;
  double squared = 0.0;
};
SegmentNearest nearestOnSegment(PathPoint a, PathPoint b, PathPoint p, double least);

// Path: anything with size() and operator[] whose elements have x and y (ghost frames, points of a lap).
// The search starts at `from` and never goes back before it; segments after the first are searched while
// the distance from `from` to their start is within the window's reach.
template <class Path>
PathMatch matchAhead(const Path& path, PathPlace from, PathPoint car, const PathWindow& window) {
  PathMatch best;
  const std::size_t points = path.size();
  if (points < 2) return best;
  const std::size_t segments = points - 1;
  if (from.segment >= segments) from = {segments - 1, 1.0};
  double bestSquared = std::numeric_limits<double>::infinity();
  double bestDistance = bestSquared;
  double ahead = 0.0;  // from `from` to the start of segment j
  // No point of the path from `from` up to this far along it is nearer the car than the best found. A point
  // that far along the path from a segment's start lies at most that far from the start: a start farther from
  // the car than the best found, by some distance, clears that much of the path from it on, and a segment
  // cleared is not measured. Once the rest of the window is cleared (no point of it lies farther along than
  // the reach and one more segment), the search ends. Clearing is kept only when the segments' lengths are
  // known beforehand: without them it would cost a square root a segment and pass over nothing.
  double clear = -std::numeric_limits<double>::infinity();
  const double windowEnd = window.reach + window.longestSegment;
  const bool lengthsKnown = window.segmentLengths.size() + 1 == points;
  const std::size_t last = from.segment + std::min(segments - from.segment, window.mostSegments);
  for (std::size_t j = from.segment; j < last; ++j) {
    if (j > from.segment && lengthsKnown) {
      // Segments cleared are passed over by their lengths alone, when those are known.
      while (j < last && ahead <= window.reach && ahead + window.segmentLengths[j] <= clear)
        ahead += window.segmentLengths[j++];
      if (j == last) break;
    }
    if (j > from.segment && ahead > window.reach) break;
    const PathPoint a{static_cast<double>(path[j].x), static_cast<double>(path[j].y)};
    const PathPoint b{static_cast<double>(path[j + 1].x), static_cast<double>(path[j + 1].y)};
    const double least = j == from.segment ? from.share : 0.0;
    const double length = lengthsKnown ? window.segmentLengths[j] : segmentLength(a, b);
    const double through = ahead + length * (1.0 - least);  // from `from` to the segment's end
    const double cx = car.x - a.x, cy = car.y - a.y;
    const double startSquared = cx * cx + cy * cy;
    if (lengthsKnown && j > from.segment) {
      clear = std::max(clear, ahead + std::sqrt(startSquared) - bestDistance - 1e-6);
      if (clear > windowEnd) break;
    }
    // No point of the segment lies nearer the car than its start less its length: a segment whose start is
    // farther than that from the car than the best found holds no nearer point, and is not measured.
    const double within = bestDistance + length + 1e-6;
    if (bestSquared == std::numeric_limits<double>::infinity() || startSquared <= within * within) {
      const SegmentNearest nearest = nearestOnSegment(a, b, car, least);
      if (nearest.squared < bestSquared) {
        bestSquared = nearest.squared;
        bestDistance = std::sqrt(bestSquared);
        best.place = {j, nearest.share};
      }
    }
    ahead = through;
  }
  best.distance = std::sqrt(bestSquared);
  best.onPath = best.distance <= window.offPath;
  return best;
}
