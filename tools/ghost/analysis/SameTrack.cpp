#include "tools/ghost/analysis/SameTrack.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

namespace lumaro_ghost {

namespace {

// Points are taken this far apart along a path at the least: far closer than offTrackDistance, so a point of
// the track lies within a few units of wherever its path passes.
constexpr double pointSpacing = 25.0;
// Beyond this a coordinate is of no track (and would not fit a grid cell's number).
constexpr double farthestCoordinate = 1e12;

struct Point {
  double x = 0.0, y = 0.0;
};

// The points of a path at least pointSpacing apart along it (the first always), on the ground.
std::vector<Point> spacedPoints(std::span<const GhostFrame> frames) {
  std::vector<Point> points;
  double since = 0.0;
  for (const GhostFrame& frame : frames) {
    const double x = frame.x, y = frame.y;
    if (!(std::fabs(x) < farthestCoordinate && std::fabs(y) < farthestCoordinate)) continue;
    if (!points.empty()) since += std::hypot(x - points.back().x, y - points.back().y);
    if (points.empty() || since >= pointSpacing) points.push_back({x, y}), since = 0.0;
  }
  return points;
}

std::int64_t cellOf(double value) { return static_cast<std::int64_t>(std::floor(value / offTrackDistance)); }
std::int64_t key(std::int64_t cx, std::int64_t cy) { return cx * 4'000'000'000LL + cy; }

}  // namespace

double shareOffTrack(std::span<const GhostFrame> track, std::span<const GhostFrame> run) {
  const std::vector<Point> trackPoints = spacedPoints(track), runPoints = spacedPoints(run);
  if (trackPoints.empty() || runPoints.empty()) return 0.0;
  // The track's points by grid cell, a cell as wide as the distance sought: a point near one lies in its
  // cell or a neighbour.
  std::unordered_map<std::int64_t, std::vector<Point>> cells;
  for (const Point& point : trackPoints) cells[key(cellOf(point.x), cellOf(point.y))].push_back(point);
  std::size_t off = 0;
  for (const Point& point : runPoints) {
    const std::int64_t cx = cellOf(point.x), cy = cellOf(point.y);
    bool near = false;
    for (std::int64_t dx = -1; dx <= 1 && !near; ++dx) {
      for (std::int64_t dy = -1; dy <= 1 && !near; ++dy) {
        const auto found = cells.find(key(cx + dx, cy + dy));
        if (found == cells.end()) continue;
        near = std::any_of(found->second.begin(), found->second.end(), [&](const Point& at) {
          return std::hypot(at.x - point.x, at.y - point.y) <= offTrackDistance;
        });
      }
    }
    off += near ? 0 : 1;
  }
  return static_cast<double>(off) / static_cast<double>(runPoints.size());
}

double shareApart(std::span<const GhostFrame> one, std::span<const GhostFrame> other) {
  return std::min(shareOffTrack(one, other), shareOffTrack(other, one));
}

}  // namespace lumaro_ghost
