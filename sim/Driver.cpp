#include "sim/Driver.h"

#include <algorithm>
#include <cmath>

#include "host/HostClock.h"
#include "host/Values.h"

namespace sim {
namespace {

// A crossing this close (in engine units) counts as reached: it keeps a car that should reach the line
// exactly on a tick from reaching it a tick late through rounding.
constexpr double reachTolerance = 1e-6;
// The same for a racing drive, whose crossings are found by time: a billionth of a second.
constexpr double reachToleranceSeconds = 1e-9;
constexpr double pi = 3.14159265358979323846;

// splitmix64: small, fast and the same on every platform, unlike the standard distributions.
std::uint64_t nextRandom(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

}  // namespace

Driver::Driver(Game& game, Track track) : game_(game), track_(std::move(track)), racingLine_(track_) {
  game_.setWorldStep([this](std::int64_t) { step(); });
  toSpawn();
}

Driver::~Driver() { game_.setWorldStep({}); }

void Driver::toSpawn() {
  raceStarted_ = false;
  distance_ = 0.0;
  nextLine_ = onRacingLine_ ? racingLine_.path().lineDistance() : track_.lineDistance();
  anchorTicks_ = static_cast<double>(game_.now());
  anchorDistance_ = 0.0;
  placeCar();
}

void Driver::placeCar() {
  const CarPose pose = onRacingLine_ ? racingPose(distance_) : track_.poseAt(distance_);
  game_.placeCar(pose.location, pose.rotation);
}

void Driver::switchPath(bool racing) {
  const Track& path = racing ? racingLine_.path() : track_;
  const CarPose pose = onRacingLine_ ? racingPose(distance_) : track_.poseAt(distance_);
  distance_ = path.nearestDistance(pose.location.X, pose.location.Y);
  nextLine_ = path.lineDistance();
  if (nextLine_ <= distance_) nextLine_ += path.length();
  onRacingLine_ = racing;
}

void Driver::start(DriveStyle style) {
  style_ = std::move(style);
  random_ = style_.seed;
  driving_ = true;
  if (style_.racing != onRacingLine_) switchPath(style_.racing);
  speed_ = nextLapSpeed();
  anchorTicks_ = static_cast<double>(game_.now()) + style_.phase * static_cast<double>(game_.tickLength());
  anchorDistance_ = distance_;
  if (onRacingLine_) {
    lapNumber_ = 0;
    beginRacingLap(distance_);
  }
}

double Driver::nextLapSpeed() {
  if (style_.variation == 0.0) return style_.speed;
  const double unit = static_cast<double>(nextRandom(random_) >> 11) * 0x1.0p-53;  // [0, 1)
  const double lapTimeFactor = 1.0 + style_.variation * (2.0 * unit - 1.0);
  return style_.speed / lapTimeFactor;
}

// The car's place is worked out from the last anchor (the drive's start, a crossing, or the last tick
// spent standing) rather than summed tick by tick, so long drives do not gather rounding. A car that sets
// off late stands at its anchor until it does.
void Driver::step() {
  const auto now = static_cast<double>(game_.now());
  if (!driving_ || game_.paused() || game_.car() == nullptr || speed_ <= 0.0) {
    anchorTicks_ = now;
    anchorDistance_ = distance_;
    return;
  }
  if (onRacingLine_) {
    stepRacing(now);
    return;
  }
  for (;;) {
    const double reached = anchorDistance_ + Tessaro::secondsOfTickSpan(speed_ * std::max(0.0, now - anchorTicks_));
    if (reached + reachTolerance < nextLine_) {
      distance_ = reached;
      break;
    }
    anchorTicks_ += Tessaro::tickSpanOfSeconds((nextLine_ - anchorDistance_) / speed_);
    anchorDistance_ = nextLine_;
    distance_ = nextLine_;
    crossLine();
  }
  placeCar();
}

void Driver::stepRacing(double now) {
  for (;;) {
    const double clock = lapClock(anchorDistance_) + Tessaro::secondsOfTickSpan(std::max(0.0, now - anchorTicks_));
    const double lineClock = lapClock(nextLine_);
    if (clock + reachToleranceSeconds < lineClock) {
      distance_ = distanceAtClock(clock, anchorDistance_, nextLine_);
      break;
    }
    anchorTicks_ += Tessaro::tickSpanOfSeconds(lineClock - lapClock(anchorDistance_));
    anchorDistance_ = nextLine_;
    distance_ = nextLine_;
    crossLine();
  }
  placeCar();
}

void Driver::crossLine() {
  nextLine_ += onRacingLine_ ? racingLine_.length() : track_.length();
  placeCar();
  ++crossings_;
  const bool startedRace = !raceStarted_;
  if (raceStarted_) ++lapsCompleted_;
  raceStarted_ = true;
  game_.crossStartLine();
  if (observer_) observer_(startedRace);
  speed_ = nextLapSpeed();
  if (onRacingLine_) {
    ++lapNumber_;
    beginRacingLap(distance_);
  }
}

void Driver::beginRacingLap(double from) {
  lapStart_ = from;
  lossSeconds_ = 0.0;
  wideBy_ = 0.0;
  const double length = racingLine_.length();
  for (const PlantedMistake& mistake : style_.mistakes) {
    if (mistake.lap != lapNumber_) continue;
    const double begin = from + mistake.from * length, end = from + mistake.to * length;
    if (mistake.lostSeconds > 0.0) lossSeconds_ = mistake.lostSeconds, lossFrom_ = begin, lossTo_ = end;
    if (mistake.wideBy > 0.0) {
      // Wide is towards the outside of the stretch's turn: to the right of a left-hand bend.
      wideBy_ = racingLine_.turnBetween(begin, end) > 0.0 ? -mistake.wideBy : mistake.wideBy;
      wideFrom_ = begin, wideTo_ = end;
    }
  }
}

double Driver::lapClock(double distance) const {
  double clock = (racingLine_.secondsTo(distance) - racingLine_.secondsTo(lapStart_)) / speed_;
  if (lossSeconds_ > 0.0 && distance > lossFrom_) {
    // The time lost grows smoothly from nothing at the stretch's start to all of it at its end: the car
    // slows and recovers without a jump in speed.
    const double share = std::min(1.0, (distance - lossFrom_) / (lossTo_ - lossFrom_));
    clock += lossSeconds_ * (share - std::sin(2.0 * pi * share) / (2.0 * pi));
  }
  return clock;
}

double Driver::distanceAtClock(double seconds, double from, double to) const {
  for (int i = 0; i < 64 && to - from > 1e-9; ++i) {
    const double middle = (from + to) / 2.0;
    (lapClock(middle) < seconds ? from : to) = middle;
  }
  return (from + to) / 2.0;
}

double Driver::sidewaysAt(double distance) const {
  double sideways = style_.lineOffset;
  if (wideBy_ != 0.0 && distance > wideFrom_ && distance < wideTo_) {
    const double bump = std::sin(pi * (distance - wideFrom_) / (wideTo_ - wideFrom_));
    sideways += wideBy_ * bump * bump;
  }
  return sideways;
}

CarPose Driver::racingPose(double distance) const {
  auto locationAt = [&](double at) {
    const Vector centre = racingLine_.path().poseAt(at).location;
    const TrackPoint left = racingLine_.leftAt(at);
    const double sideways = sidewaysAt(at);
    return TrackPoint{centre.X + sideways * left.x, centre.Y + sideways * left.y, centre.Z};
  };
  const TrackPoint here = locationAt(distance);
  const TrackPoint behind = locationAt(distance - 1.0), ahead = locationAt(distance + 1.0);
  CarPose pose;
  pose.location = {static_cast<float>(here.x), static_cast<float>(here.y), static_cast<float>(here.z)};
  pose.rotation = facing(ahead.x - behind.x, ahead.y - behind.y, ahead.z - behind.z);
  return pose;
}

}  // namespace sim
