// A workshop map's track for the simulated car: a closed path that the car follows in point order from its
// spawn at the first point, and the start/finish line, a gate on the ground that the path crosses exactly
// once. A pose along the path faces the direction of travel, in the engine's rotation units.
#pragma once

#include <vector>

#include "host/Api.h"
#include "host/Values.h"

namespace sim {

struct TrackPoint {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

struct CarPose {
  Vector location;
  Rotator rotation;
};

// The rotation of a car travelling along (dx, dy, dz): 65536 units to a full turn, yaw 0 along +X and
// 16384 along +Y, pitch positive when climbing, roll 0; each rounded to the nearest unit and kept within
// [-32768, 32767].
TESSARO_SDK_API Rotator facing(double dx, double dy, double dz);

class TESSARO_SDK_API Track {
public:
  // path: the points in driving order, the last joined back to the first; lineFrom/lineTo: the ends of the
  // start/finish line (their heights are not used). Throws std::invalid_argument saying what is wrong:
  // fewer than three points, two consecutive points at the same place, a line the path crosses other than
  // exactly once, or a spawn on the line.
  Track(std::vector<TrackPoint> path, TrackPoint lineFrom, TrackPoint lineTo);

  // One lap's length in engine units.
  double length() const { return length_; }
  // How far along the path, from the spawn, the line is crossed.
  double lineDistance() const { return line_; }
  // The car's pose at a distance along the path from the spawn; distances past a lap wrap around.
  CarPose poseAt(double distance) const;
  const std::vector<TrackPoint>& path() const { return path_; }
  TrackPoint lineFrom() const { return lineFrom_; }
  TrackPoint lineTo() const { return lineTo_; }
  // The distance along the path, from the spawn, of the path's point nearest (x, y) on the ground.
  double nearestDistance(double x, double y) const;

private:
  std::vector<TrackPoint> path_;
  TrackPoint lineFrom_;
  TrackPoint lineTo_;
  std::vector<double> segmentStart_;  // distance from the spawn at which each segment begins
  double length_ = 0.0;
  double line_ = 0.0;
};

}  // namespace sim
