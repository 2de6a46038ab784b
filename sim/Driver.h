// The local car driven around a track on the game's own ticks. On every tick that the game is not paused
// it moves along the path, facing the direction of travel, and each time it crosses the start/finish line
// the map's script counts it (Game::crossStartLine). Lap times can vary from lap to lap by a seeded,
// repeatable amount, so a run with variation is the same run every time.
//
// A steady drive follows the track's own path at one speed. A racing drive follows the racing line
// (RacingLine.h) at its speed profile, optionally a set distance to one side of it, with mistakes planted
// in chosen laps: time lost over a stretch of the lap, or a line taken wide there. Where the car is on the
// line at every moment depends only on the lap's pace and the time lost, never on which side it drives, so
// two runs that differ only in their line reach every point of the track at the same time: what a run
// analysis is tested against.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "host/Api.h"
#include "sim/Game.h"
#include "sim/RacingLine.h"
#include "sim/Track.h"

namespace sim {

// A mistake planted in one lap of a racing drive, over the stretch from one share of the lap (measured
// along the racing line from the start/finish line) to another.
struct PlantedMistake {
  int lap = 1;  // the drive's laps are counted from 1 at each crossing of the line
  double from = 0.0;
  double to = 0.0;
  double lostSeconds = 0.0;  // the car takes this much longer over the stretch, slowing and recovering smoothly
  double wideBy = 0.0;       // the car's line swings this far towards the outside of the stretch's turn
};

// How fast the car goes when a drive names neither a lap time nor a speed and the map suggests no lap time
// (engine units per second): a car driving flat out without boost.
inline constexpr double defaultCarSpeed = 1400.0;

struct DriveStyle {
  double speed = defaultCarSpeed;  // engine units per second, before variation (a racing drive's top speed)
  double variation = 0.0;          // each lap's time is scaled by a factor drawn from [1 - variation, 1 + variation]
  std::uint64_t seed = 1;
  bool racing = false;
  double lineOffset = 0.0;  // a racing drive's distance to the left of the racing line (negative: right)
  std::vector<PlantedMistake> mistakes{};
  // The car sets off this share of a game tick late, so that it crosses the line at another moment between
  // two ticks: the phase of the samples a recording takes.
  double phase = 0.0;
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
  // Engine units per second: a steady drive's speed this lap, a racing drive's top speed this lap.
  double speed() const { return speed_; }
  const Track& track() const { return track_; }
  const RacingLine& racingLine() const { return racingLine_; }

  // Told of each crossing after the map's script has counted it; true when it started a race.
  void setCrossingObserver(std::function<void(bool startedRace)> observer) { observer_ = std::move(observer); }

private:
  void step();
  void stepRacing(double now);
  // The line was crossed at nextLine_: the map's script counts it and the next lap begins.
  void crossLine();
  double nextLapSpeed();
  // A racing drive's lap: its pace and its planted mistakes, from the distance at which it begins.
  void beginRacingLap(double from);
  // Seconds into the racing lap at which the car reaches a distance, and the distance it has reached at a
  // number of seconds into the lap (between from and to).
  double lapClock(double distance) const;
  double distanceAtClock(double seconds, double from, double to) const;
  double sidewaysAt(double distance) const;
  CarPose racingPose(double distance) const;
  // The car's distance when it moves from the track's path to the racing line or back, and the next line.
  void switchPath(bool racing);

  Game& game_;
  Track track_;
  RacingLine racingLine_;
  DriveStyle style_;
  std::uint64_t random_ = 0;
  bool driving_ = false;
  bool raceStarted_ = false;
  bool onRacingLine_ = false;  // distances are along the racing line rather than the track's path
  double distance_ = 0.0;      // driven since the spawn
  double nextLine_ = 0.0;      // distance at which the line is crossed next
  double speed_ = 0.0;         // this lap's speed
  // The racing lap under way: where it began, its pace, and its mistake, if any.
  double lapStart_ = 0.0;
  int lapNumber_ = 0;  // 0 before the drive's first crossing
  double lossSeconds_ = 0.0, lossFrom_ = 0.0, lossTo_ = 0.0;
  double wideBy_ = 0.0, wideFrom_ = 0.0, wideTo_ = 0.0;
  double anchorTicks_ = 0.0;  // game time, in 100-ns ticks, at which the car was at anchorDistance_
  double anchorDistance_ = 0.0;
  int crossings_ = 0;
  int lapsCompleted_ = 0;
  std::function<void(bool)> observer_;
};

}  // namespace sim
