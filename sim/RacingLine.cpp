#include "sim/RacingLine.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace sim {
namespace {

constexpr double pi = 3.14159265358979323846;
// How far before and after its corner point an arc may begin and end, in engine units: a sharp corner gets a
// tight arc, a slight bend a wide one.
constexpr double longestTangent = 1500.0;
// Each arc is drawn in steps of at most this angle; straights are cut into pieces of at most this length,
// so the speed can change along them.
constexpr double arcStep = pi / 60.0;
constexpr double straightPiece = 50.0;
// A curve at least this wide is taken flat out; a tighter one at the top speed times sqrt(radius / this).
constexpr double flatOutRadius = 4000.0;
constexpr double slowestShareAllowed = 0.2;
// How far the car goes from standstill to its top speed, and from its top speed to standstill, at a steady
// pull: it brakes harder than it accelerates.
constexpr double accelerationDistance = 2500.0;
constexpr double brakingDistance = 1000.0;

struct Flat {
  double x = 0.0;
  double y = 0.0;
};

Flat operator-(const TrackPoint& a, const TrackPoint& b) { return {a.x - b.x, a.y - b.y}; }
double norm(Flat v) { return std::hypot(v.x, v.y); }
double cross(Flat a, Flat b) { return a.x * b.y - a.y * b.x; }
double dot(Flat a, Flat b) { return a.x * b.x + a.y * b.y; }

TrackPoint lerp(const TrackPoint& a, const TrackPoint& b, double t) {
  return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z)};
}

// The track's points with every corner rounded into an arc that begins and ends at most arcScale times the
// longest tangent from its corner point, the straights between cut into short pieces; the first point is
// the one nearest the spawn.
std::vector<TrackPoint> roundedPoints(const std::vector<TrackPoint>& corners, double arcScale) {
  const std::size_t n = corners.size();
  std::vector<TrackPoint> points;
  TrackPoint lastEnd;
  for (std::size_t i = 0; i <= n; ++i) {
    const TrackPoint& before = corners[(i + n - 1) % n];
    const TrackPoint& at = corners[i % n];
    const TrackPoint& after = corners[(i + 1) % n];
    const Flat in = at - before, out = after - at;
    const double inLength = norm(in), outLength = norm(out);
    const double turn = std::atan2(cross(in, out), dot(in, out));
    // Each neighbouring corner may take up to nearly half of a straight.
    const double room = 0.45 * std::min(inLength, outLength);
    const double half = std::tan(std::fabs(turn) / 2.0);
    const double tangent = half > 1e-9 ? std::min(longestTangent * arcScale, room) : 0.0;
    const double radius = half > 1e-9 ? tangent / half : 0.0;
    const TrackPoint entry = lerp(at, before, inLength > 0.0 ? tangent / inLength : 0.0);
    const TrackPoint exit = lerp(at, after, outLength > 0.0 ? tangent / outLength : 0.0);
    if (i > 0) {
      // The straight from the last corner's exit to this one's entry.
      // At most a few thousand pieces, however long the straight.
      const double straight = norm(entry - lastEnd);
      const auto pieces =
          std::isfinite(straight) ? static_cast<int>(std::clamp(std::ceil(straight / straightPiece), 1.0, 4000.0)) : 1;
      for (int k = 1; k < pieces; ++k) points.push_back(lerp(lastEnd, entry, static_cast<double>(k) / pieces));
    }
    if (i == n) break;
    if (radius == 0.0) {
      points.push_back(at);
    } else {
      const double side = turn > 0 ? 1.0 : -1.0;
      const Flat left{-in.y / inLength * side, in.x / inLength * side};
      const Flat centre{entry.x + left.x * radius, entry.y + left.y * radius};
      const auto steps = static_cast<int>(std::ceil(std::fabs(turn) / arcStep));
      for (int k = 0; k <= steps; ++k) {
        const double angle = turn * k / steps;
        const double rx = entry.x - centre.x, ry = entry.y - centre.y;
        const double z = entry.z + (exit.z - entry.z) * k / steps;
        points.push_back({centre.x + rx * std::cos(angle) - ry * std::sin(angle),
                          centre.y + rx * std::sin(angle) + ry * std::cos(angle), z});
      }
    }
    lastEnd = exit;
  }
  // No point twice in a row, the last and the first included (the path closes on its first point).
  auto apart = [](const TrackPoint& a, const TrackPoint& b) {
    return std::fabs(a.x - b.x) + std::fabs(a.y - b.y) + std::fabs(a.z - b.z) > 1e-6;
  };
  std::vector<TrackPoint> distinct;
  for (const TrackPoint& point : points) {
    if (distinct.empty() || apart(point, distinct.back())) distinct.push_back(point);
  }
  while (distinct.size() > 1 && !apart(distinct.back(), distinct.front())) distinct.pop_back();
  const TrackPoint& spawn = corners.front();
  const auto nearest = std::min_element(distinct.begin(), distinct.end(), [&](const auto& a, const auto& b) {
    return norm(a - spawn) < norm(b - spawn);
  });
  std::rotate(distinct.begin(), nearest, distinct.end());
  return distinct;
}

// The rounded line through the track's start/finish line; where rounding would make the line miss it or
// cross it twice, the corners are rounded less, down to none at all: the track's own path.
Track roundedTrack(const Track& track) {
  for (double scale = 1.0; scale > 0.01; scale /= 2.0) {
    try {
      return Track(roundedPoints(track.path(), scale), track.lineFrom(), track.lineTo());
    } catch (const std::invalid_argument&) {}
  }
  return track;
}

}  // namespace

RacingLine::RacingLine(const Track& track) : path_(roundedTrack(track)) {
  const std::vector<TrackPoint>& points = path_.path();
  const std::size_t n = points.size();
  start_.assign(n + 1, 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    const TrackPoint& a = points[i];
    const TrackPoint& b = points[(i + 1) % n];
    start_[i + 1] =
        start_[i] + std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y) + (b.z - a.z) * (b.z - a.z));
  }
  // What each point's curvature allows: the turn there over the length around it.
  share_.assign(n, 1.0);
  turn_.assign(n + 1, 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    const TrackPoint& before = points[(i + n - 1) % n];
    const TrackPoint& after = points[(i + 1) % n];
    const Flat in = points[i] - before, out = after - points[i];
    const double turn = std::atan2(cross(in, out), dot(in, out));
    turn_[i + 1] = turn_[i] + turn;
    const double curvature = std::fabs(turn) / ((norm(in) + norm(out)) / 2.0);
    if (curvature > 1e-12) {
      share_[i] = std::clamp(1.0 / std::sqrt(curvature * flatOutRadius), slowestShareAllowed, 1.0);
    }
  }
  // Braking in time for each corner and accelerating out of it: twice round in each direction, so the
  // lap's end meets its start.
  auto piece = [&](std::size_t i) { return start_[i + 1] - start_[i]; };
  for (int round = 0; round < 2; ++round) {
    for (std::size_t k = 1; k <= n; ++k) {
      const std::size_t i = k % n, before = k - 1;
      share_[i] =
          std::min(share_[i], std::sqrt(share_[before] * share_[before] + piece(before) / accelerationDistance));
    }
  }
  for (int round = 0; round < 2; ++round) {
    for (std::size_t k = n; k-- > 0;) {
      const std::size_t after = (k + 1) % n;
      share_[k] = std::min(share_[k], std::sqrt(share_[after] * share_[after] + piece(k) / brakingDistance));
    }
  }
  seconds_.assign(n + 1, 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    seconds_[i + 1] = seconds_[i] + 2.0 * piece(i) / (share_[i] + share_[(i + 1) % n]);
  }
}

double RacingLine::along(double distance) const {
  double at = std::fmod(distance, length());
  if (at < 0.0) at += length();
  return at;
}

std::size_t RacingLine::pieceAt(double at) const {
  const auto found = std::upper_bound(start_.begin(), start_.end(), at);
  const auto index = static_cast<std::size_t>(std::max<std::ptrdiff_t>(found - start_.begin() - 1, 0));
  return std::min(index, share_.size() - 1);
}

double RacingLine::secondsTo(double distance) const {
  const double laps = std::floor(distance / length());
  const double at = distance - laps * length();
  const std::size_t i = pieceAt(at);
  const double t = (at - start_[i]) / (start_[i + 1] - start_[i]);
  return laps * lapSeconds() + seconds_[i] + t * (seconds_[i + 1] - seconds_[i]);
}

double RacingLine::speedShareAt(double distance) const {
  const double at = along(distance);
  const std::size_t i = pieceAt(at);
  const double t = (at - start_[i]) / (start_[i + 1] - start_[i]);
  return share_[i] + t * (share_[(i + 1) % share_.size()] - share_[i]);
}

double RacingLine::slowestShare() const { return *std::min_element(share_.begin(), share_.end()); }

TrackPoint RacingLine::leftAt(double distance) const {
  const std::vector<TrackPoint>& points = path_.path();
  const std::size_t n = points.size();
  auto leftOf = [&](std::size_t i) {
    const Flat d = points[(i + 1) % n] - points[i];
    const double length = norm(d);
    return Flat{-d.y / length, d.x / length};
  };
  // The normal at each point is the mean of its two pieces'; between points it turns evenly.
  auto atPoint = [&](std::size_t i) {
    const Flat a = leftOf((i + n - 1) % n), b = leftOf(i);
    return Flat{a.x + b.x, a.y + b.y};
  };
  const double at = along(distance);
  const std::size_t i = pieceAt(at);
  const double t = (at - start_[i]) / (start_[i + 1] - start_[i]);
  const Flat a = atPoint(i), b = atPoint((i + 1) % n);
  const Flat mixed{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
  const double length = norm(mixed);
  return {mixed.x / length, mixed.y / length, 0.0};
}

double RacingLine::turnBetween(double from, double to) const {
  const double start = along(from), end = along(to);
  const double turn = turn_[pieceAt(end) + 1] - turn_[pieceAt(start) + 1];
  return end < start ? turn + turn_.back() : turn;
}

}  // namespace sim
