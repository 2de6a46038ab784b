#include "sim/Driver.h"

namespace sim {
namespace {

// A crossing this close (in engine units) counts as reached: it keeps a car that should reach the line
// exactly on a tick from reaching it a tick late through rounding.
constexpr double reachTolerance = 1e-6;

// splitmix64: small, fast and the same on every platform, unlike the standard distributions.
std::uint64_t nextRandom(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

}  // namespace

Driver::Driver(Game& game, Track track) : game_(game), track_(std::move(track)) {
  game_.setWorldStep([this](std::int64_t) { step(); });
  toSpawn();
}

Driver::~Driver() { game_.setWorldStep({}); }

void Driver::toSpawn() {
  raceStarted_ = false;
  distance_ = 0.0;
  nextLine_ = track_.lineDistance();
  anchorTicks_ = static_cast<double>(game_.now());
  anchorDistance_ = 0.0;
  placeCar();
}

void Driver::placeCar() {
  const CarPose pose = track_.poseAt(distance_);
  game_.placeCar(pose.location, pose.rotation);
}

void Driver::start(DriveStyle style) {
  style_ = style;
  random_ = style.seed;
  driving_ = true;
  speed_ = nextLapSpeed();
  anchorTicks_ = static_cast<double>(game_.now());
  anchorDistance_ = distance_;
}

double Driver::nextLapSpeed() {
  if (style_.variation == 0.0) return style_.speed;
  const double unit = static_cast<double>(nextRandom(random_) >> 11) * 0x1.0p-53;  // [0, 1)
  const double lapTimeFactor = 1.0 + style_.variation * (2.0 * unit - 1.0);
  return style_.speed / lapTimeFactor;
}

// The car's place is worked out from the last anchor (the drive's start, a crossing, or the last tick
// spent standing) rather than summed tick by tick, so long drives do not gather rounding.
void Driver::step() {
  const double now = static_cast<double>(game_.now());
  if (!driving_ || game_.paused() || game_.car() == nullptr || speed_ <= 0.0) {
    anchorTicks_ = now;
    anchorDistance_ = distance_;
    return;
  }
  for (;;) {
    const double reached = anchorDistance_ + speed_ * (now - anchorTicks_) / static_cast<double>(ticksPerSecond);
    if (reached + reachTolerance < nextLine_) {
      distance_ = reached;
      break;
    }
    anchorTicks_ += (nextLine_ - anchorDistance_) / speed_ * static_cast<double>(ticksPerSecond);
    anchorDistance_ = nextLine_;
    distance_ = nextLine_;
    nextLine_ += track_.length();
    placeCar();
    ++crossings_;
    const bool startedRace = !raceStarted_;
    if (raceStarted_) ++lapsCompleted_;
    raceStarted_ = true;
    game_.crossStartLine();
    if (observer_) observer_(startedRace);
    speed_ = nextLapSpeed();
  }
  placeCar();
}

}  // namespace sim
