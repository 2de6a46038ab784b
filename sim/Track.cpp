#include "sim/Track.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <utility>

namespace sim {
namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double unitsPerRadian = 32768.0 / pi;

std::int32_t rotationUnits(double radians) {
  long long units = std::llround(radians * unitsPerRadian);
  if (units >= 32768) units -= 65536;
  return static_cast<std::int32_t>(units);
}

std::string pointText(const TrackPoint& point) {
  char text[96];
  std::snprintf(text, sizeof text, "(%g, %g, %g)", point.x, point.y, point.z);
  return text;
}

// Where along segment a->b (as a fraction in [0, 1)) the line p->q crosses it on the ground, or -1.
// The end of a segment is left out so that a crossing at a point counts for the segment it begins.
double crossingFraction(const TrackPoint& a, const TrackPoint& b, const TrackPoint& p, const TrackPoint& q) {
  const double rx = b.x - a.x, ry = b.y - a.y;
  const double sx = q.x - p.x, sy = q.y - p.y;
  const double denominator = rx * sy - ry * sx;
  if (denominator == 0.0) return -1.0;  // parallel: running along the line is not crossing it
  const double t = ((p.x - a.x) * sy - (p.y - a.y) * sx) / denominator;
  const double u = ((p.x - a.x) * ry - (p.y - a.y) * rx) / denominator;
  if (t < 0.0 || t >= 1.0 || u < 0.0 || u > 1.0) return -1.0;
  return t;
}

}  // namespace

Rotator facing(double dx, double dy, double dz) {
  Rotator rotation;
  rotation.Yaw = rotationUnits(std::atan2(dy, dx));
  rotation.Pitch = rotationUnits(std::atan2(dz, std::hypot(dx, dy)));
  rotation.Roll = 0;
  return rotation;
}

Track::Track(std::vector<TrackPoint> path, TrackPoint lineFrom, TrackPoint lineTo)
    : path_(std::move(path)), lineFrom_(lineFrom), lineTo_(lineTo) {
  if (path_.size() < 3) throw std::invalid_argument("a track needs at least three points");
  int crossings = 0;
  for (std::size_t i = 0; i < path_.size(); ++i) {
    const TrackPoint& a = path_[i];
    const TrackPoint& b = path_[(i + 1) % path_.size()];
    const double segment = std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y) + (b.z - a.z) * (b.z - a.z));
    if (segment == 0.0) throw std::invalid_argument("the track repeats the point " + pointText(a));
    segmentStart_.push_back(length_);
    const double fraction = crossingFraction(a, b, lineFrom, lineTo);
    if (fraction >= 0.0) {
      ++crossings;
      line_ = length_ + fraction * segment;
    }
    length_ += segment;
  }
  if (crossings != 1) {
    throw std::invalid_argument("the start/finish line must cross the track once, it crosses it " +
                                std::to_string(crossings) + " times");
  }
  if (line_ == 0.0) throw std::invalid_argument("the spawn (the track's first point) lies on the start/finish line");
}

double Track::nearestDistance(double x, double y) const {
  double best = 0.0;
  double bestSquared = -1.0;
  for (std::size_t i = 0; i < path_.size(); ++i) {
    const TrackPoint& a = path_[i];
    const TrackPoint& b = path_[(i + 1) % path_.size()];
    const double end = i + 1 < path_.size() ? segmentStart_[i + 1] : length_;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double flat = dx * dx + dy * dy;
    const double t = flat > 0.0 ? std::clamp(((x - a.x) * dx + (y - a.y) * dy) / flat, 0.0, 1.0) : 0.0;
    const double px = a.x + t * dx - x, py = a.y + t * dy - y;
    const double squared = px * px + py * py;
    if (bestSquared < 0.0 || squared < bestSquared) {
      bestSquared = squared;
      best = segmentStart_[i] + t * (end - segmentStart_[i]);
    }
  }
  return best;
}

CarPose Track::poseAt(double distance) const {
  double along = std::fmod(distance, length_);
  if (along < 0.0) along += length_;
  // The segment is found by halving (the car looks at every tick, so a scan of every point would cost each
  // tick in proportion to the map's points): the last one that begins at or before the distance.
  const auto after = std::upper_bound(segmentStart_.begin(), segmentStart_.end(), along);
  const auto i = static_cast<std::size_t>(std::max<std::ptrdiff_t>(after - segmentStart_.begin() - 1, 0));
  const TrackPoint& a = path_[i];
  const TrackPoint& b = path_[(i + 1) % path_.size()];
  const double segment = (i + 1 < path_.size() ? segmentStart_[i + 1] : length_) - segmentStart_[i];
  const double t = (along - segmentStart_[i]) / segment;
  CarPose pose;
  pose.location = {static_cast<float>(a.x + t * (b.x - a.x)), static_cast<float>(a.y + t * (b.y - a.y)),
                   static_cast<float>(a.z + t * (b.z - a.z))};
  pose.rotation = facing(b.x - a.x, b.y - a.y, b.z - a.z);
  return pose;
}

}  // namespace sim
