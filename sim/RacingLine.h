// The way a driver takes a track at pace: each corner of the track rounded into an arc (as wide as the
// straights on either side leave room for), and the speed along that line of a car that is flat out where
// the line is straight, slows to what each corner's curvature allows, brakes for it in time and accelerates
// out of it. The line is a Track of its own, through the same start/finish line, so laps are counted on it
// as on the track; its distance 0 is its point nearest the spawn.
#pragma once

#include <cstddef>
#include <vector>

#include "host/Api.h"
#include "sim/Track.h"

namespace sim {

class TESSARO_SDK_API RacingLine {
public:
  explicit RacingLine(const Track& track);

  const Track& path() const { return path_; }
  double length() const { return path_.length(); }

  // Seconds to drive from distance 0 to a distance at a top speed of one unit per second (divide by the top
  // speed for the time at that speed). Distances past a lap count whole laps on, so the time only grows.
  double secondsTo(double distance) const;
  double lapSeconds() const { return seconds_.back(); }
  // The share of the top speed the car has at a distance (the slowest corner is the smallest).
  double speedShareAt(double distance) const;
  double slowestShare() const;

  // The unit vector on the ground to the left of the direction of travel at a distance, turning smoothly
  // from one piece of the line to the next.
  TrackPoint leftAt(double distance) const;
  // How far the line turns between two distances of one lap, in radians: positive to the left.
  double turnBetween(double from, double to) const;

private:
  double along(double distance) const;  // within [0, length)
  std::size_t pieceAt(double at) const;

  Track path_;
  std::vector<double> start_;    // distance at each point of path_, and the length at the end
  std::vector<double> share_;    // speed share at each point
  std::vector<double> seconds_;  // seconds at each point at a top speed of 1, and the lap's at the end
  std::vector<double> turn_;     // the turn made at the points before each one, radians
};

}  // namespace sim
