// The local car driven around a track on the game's own ticks. On every tick that the game is not paused
// it moves along the path at its speed, facing the direction of travel, and each time it crosses the
// start/finish line the map's script counts it (Game::crossStartLine). Lap times can vary from lap to lap
// by a seeded, repeatable amount, so a run with variation is the same run every time.
#pragma once

#include <cstdint>
#include <functional>

#include "host/Api.h"
#include "sim/Game.h"
#include "sim/Track.h"

namespace sim {

struct DriveStyle {
  double speed = 1400.0;   // engine units per second, before variation
  double variation = 0.0;  // each lap's time is scaled by a factor drawn from [1 - variation, 1 + variation]
  std::uint64_t seed = 1;
};

class TESSARO_SDK_API Driver {
public:
  // Takes over the game's world step for as long as it lives and puts the car on the spawn.
  Driver(Game& game, Track track);
  ~Driver();
  Driver(const Driver&) = delete;
  Driver& operator=(const Driver&) = delete;

  // The car back on the spawn (map load, respawn); the next crossing of the line starts a race.
  void toSpawn();
  // The map's lap counter went back to -1 (ball reset): the next crossing starts a race.
  void ballReset() { raceStarted_ = false; }
  // Puts the car, if there is one, at the pose of the distance driven so far (after a car is restored).
  void placeCar();

  void start(DriveStyle style);
  void stop() { driving_ = false; }
  bool driving() const { return driving_; }

  // Every crossing of the line since the track was loaded, and those of them that completed a lap (all but
  // the one that started a race).
  int crossings() const { return crossings_; }
  int lapsCompleted() const { return lapsCompleted_; }
  double distance() const { return distance_; }
  double speed() const { return speed_; }
  const Track& track() const { return track_; }

  // Told of each crossing after the map's script has counted it; true when it started a race.
  void setCrossingObserver(std::function<void(bool startedRace)> observer) { observer_ = std::move(observer); }

private:
  void step();
  double nextLapSpeed();

  Game& game_;
  Track track_;
  DriveStyle style_;
  std::uint64_t random_ = 0;
  bool driving_ = false;
  bool raceStarted_ = false;
  double distance_ = 0.0;     // driven since the spawn
  double nextLine_ = 0.0;     // distance at which the line is crossed next
  double speed_ = 0.0;        // this lap's speed
  double anchorTicks_ = 0.0;  // game time, in 100-ns ticks, at which the car was at anchorDistance_
  double anchorDistance_ = 0.0;
  int crossings_ = 0;
  int lapsCompleted_ = 0;
  std::function<void(bool)> observer_;
};

}  // namespace sim
