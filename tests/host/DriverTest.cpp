// The simulated car on a track: where the line is, which way the car faces, and that the map's lap
// counter sees every crossing on the tick it happens.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <numbers>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "host/Values.h"
#include "sim/Driver.h"
#include "sim/Game.h"
#include "sim/KismetMap.h"
#include "sim/RacingLine.h"
#include "sim/Track.h"
#include "support/TempFolder.h"
#include "tools/host/MapFile.h"

namespace {

// Speedway's shape: 40000 units a lap, the line 800 units ahead of the spawn.
sim::Track speedway() {
  return sim::Track(
      {{0, 0, 17}, {9000, 0, 17}, {12000, 4000, 17}, {12000, 6000, 17}, {9000, 10000, 17}, {0, 10000, 17}},
      {800, -600, 0}, {800, 600, 0});
}

TEST(Track, LengthLineAndPoses) {
  const sim::Track track = speedway();
  EXPECT_EQ(track.length(), 40000.0);
  EXPECT_EQ(track.lineDistance(), 800.0);
  const sim::CarPose onLine = track.poseAt(800.0);
  EXPECT_EQ(onLine.location.X, 800.0f);
  EXPECT_EQ(onLine.location.Y, 0.0f);
  EXPECT_EQ(onLine.location.Z, 17.0f);
  // Halfway up the 3-4-5 bend from (9000, 0) to (12000, 4000), and again a lap later.
  for (double distance : {11500.0, 51500.0, -28500.0}) {
    const sim::CarPose bend = track.poseAt(distance);
    EXPECT_FLOAT_EQ(bend.location.X, 10500.0f) << distance;
    EXPECT_FLOAT_EQ(bend.location.Y, 2000.0f) << distance;
  }
}

TEST(Track, FacingIsInEngineRotationUnits) {
  // 65536 units to a turn; yaw 0 along +X, a quarter turn (16384) along +Y; kept within [-32768, 32767].
  EXPECT_EQ(sim::facing(1, 0, 0).Yaw, 0);
  EXPECT_EQ(sim::facing(0, 5, 0).Yaw, 16384);
  EXPECT_EQ(sim::facing(0, -5, 0).Yaw, -16384);
  EXPECT_EQ(sim::facing(-1, 0, 0).Yaw, -32768);
  EXPECT_EQ(sim::facing(1, 1, 0).Yaw, 8192);
  // atan2(4, 3) = 53.13 degrees = 9672.2 units.
  EXPECT_EQ(sim::facing(3, 4, 0).Yaw, 9672);
  EXPECT_EQ(sim::facing(-4, 3, 0).Yaw, 26056);
  // Climbing 400 over 4000 is 5.71 degrees of pitch: 1039.6 units.
  const Rotator climb = sim::facing(0, 4000, 400);
  EXPECT_EQ(climb.Pitch, 1040);
  EXPECT_EQ(climb.Yaw, 16384);
  EXPECT_EQ(climb.Roll, 0);
  EXPECT_EQ(sim::facing(0, 4000, -400).Pitch, -1040);
}

TEST(Track, ALineMustBeCrossedExactlyOnceAndNotAtTheSpawn) {
  const std::vector<sim::TrackPoint> square = {{0, 0, 0}, {1000, 0, 0}, {1000, 1000, 0}, {0, 1000, 0}};
  EXPECT_THROW(sim::Track(square, {500, -100, 0}, {500, 1100, 0}), std::invalid_argument);  // twice
  EXPECT_THROW(sim::Track(square, {5000, 0, 0}, {5000, 10, 0}), std::invalid_argument);     // never
  EXPECT_THROW(sim::Track(square, {0, -100, 0}, {0, 100, 0}), std::invalid_argument);       // at the spawn
  EXPECT_THROW(sim::Track({{0, 0, 0}, {1, 0, 0}}, {0, 0, 0}, {0, 1, 0}), std::invalid_argument);
  EXPECT_THROW(sim::Track({{0, 0, 0}, {0, 0, 0}, {1, 1, 0}}, {0, 0, 0}, {0, 1, 0}), std::invalid_argument);
  // Through a corner point: counted once, for the segment that begins there.
  EXPECT_EQ(sim::Track(square, {900, -100, 0}, {1100, 100, 0}).lineDistance(), 1000.0);
}

class DriverTest : public ::testing::Test {
protected:
  DriverTest() {
    game.setTickLength(80'000);  // 8 ms
    game.loadMap(sim::workshopMap("Speedway"));
  }
  int lap() { return game.variable("LapNb", sim::VariableType::Int)->intValue; }
  double seconds() const { return static_cast<double>(game.now() - start) / 1e7; }

  TempFolder root;
  sim::Game game{root.path()};
  std::int64_t start = game.now();
};

TEST_F(DriverTest, TheFirstCrossingStartsTheRaceAndEachLaterOneCompletesALap) {
  sim::Driver driver(game, speedway());
  std::vector<double> crossedAt;
  std::vector<int> lapsSeen;
  driver.setCrossingObserver([&](bool) {
    crossedAt.push_back(seconds());
    lapsSeen.push_back(lap());
  });
  driver.start({2000.0, 0.0, 1});
  while (driver.lapsCompleted() < 3) game.tick();
  // 800 units at 2000 units/s: the line on exactly the 50th tick, then every 20 s.
  EXPECT_EQ(crossedAt, (std::vector<double>{0.4, 20.4, 40.4, 60.4}));
  EXPECT_EQ(lapsSeen, (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(driver.crossings(), 4);
  EXPECT_EQ(game.car()->location.X, 800.0f);
}

TEST_F(DriverTest, TheCarMovesEveryTickFacingTheWayItGoes) {
  sim::Driver driver(game, speedway());
  EXPECT_EQ(game.car()->location.X, 0.0f);
  driver.start({2000.0, 0.0, 1});
  game.tick();
  EXPECT_EQ(game.car()->location.X, 16.0f);
  EXPECT_EQ(game.car()->rotation.Yaw, 0);
  game.runFor(5.0);  // 10016 units: on the bend, heading up and to the left
  EXPECT_EQ(game.car()->rotation.Yaw, 9672);
  game.runFor(30.0);  // 70016 units = 30016 into the second lap: on the last straight, heading -Y
  EXPECT_EQ(game.car()->rotation.Yaw, -16384);
  EXPECT_FLOAT_EQ(game.car()->location.Y, 10000.0f - 16.0f);
}

TEST_F(DriverTest, ABallResetMakesTheNextCrossingAStartAgain) {
  sim::Driver driver(game, speedway());
  driver.start({2000.0, 0.0, 1});
  game.runFor(21.0);
  EXPECT_EQ(lap(), 1);
  EXPECT_EQ(driver.lapsCompleted(), 1);
  game.resetBall();
  driver.ballReset();
  game.runFor(20.0);
  EXPECT_EQ(lap(), 0);
  EXPECT_EQ(driver.lapsCompleted(), 1);  // that crossing started a race, it completed no lap
  EXPECT_EQ(driver.crossings(), 3);
}

TEST_F(DriverTest, APausedOrStoppedCarStandsStill) {
  sim::Driver driver(game, speedway());
  driver.start({2000.0, 0.0, 1});
  game.runFor(0.2);
  game.setPaused(true);
  game.runFor(3.0);
  EXPECT_EQ(game.car()->location.X, 400.0f);
  game.setPaused(false);
  game.runFor(0.2);
  EXPECT_EQ(game.car()->location.X, 800.0f);
  EXPECT_EQ(lap(), 0);
  driver.stop();
  game.runFor(1.0);
  EXPECT_EQ(game.car()->location.X, 800.0f);
}

TEST_F(DriverTest, LapTimesVaryWithinTheSpreadAndTheSameSeedDrivesTheSameRun) {
  auto lapTimes = [&](std::uint64_t seed) {
    sim::Game other(root.path() / "other");
    other.setTickLength(80'000);
    other.loadMap(sim::workshopMap("Speedway"));
    sim::Driver driver(other, speedway());
    std::vector<std::int64_t> crossings;
    driver.setCrossingObserver([&](bool) { crossings.push_back(other.now()); });
    driver.start({2000.0, 0.05, seed});
    while (driver.lapsCompleted() < 5) other.tick();
    std::vector<double> laps;
    for (std::size_t i = 1; i < crossings.size(); ++i) {
      laps.push_back(static_cast<double>(crossings[i] - crossings[i - 1]) / 1e7);
    }
    return laps;
  };
  const auto first = lapTimes(7);
  EXPECT_EQ(first, lapTimes(7));
  EXPECT_NE(first, lapTimes(8));
  bool anyDiffers = false;
  for (double seconds : first) {
    // 20 s +-5 %, seen on 8 ms ticks.
    EXPECT_GE(seconds, 19.0 - 0.008);
    EXPECT_LE(seconds, 21.0 + 0.008);
    anyDiffers = anyDiffers || std::fabs(seconds - 20.0) > 0.05;
  }
  EXPECT_TRUE(anyDiffers);
}

TEST_F(DriverTest, ACarSettingOffPartOfATickLateMovesThatMuchLessOnItsFirstTick) {
  sim::Driver driver(game, speedway());
  for (const auto& [phase, first] : {std::pair{0.5, 8.0f}, std::pair{1.0, 0.0f}}) {
    driver.toSpawn();
    sim::DriveStyle style{2000.0, 0.0, 1};
    style.phase = phase;
    driver.start(style);
    game.tick();
    EXPECT_EQ(game.car()->location.X, first) << phase;
    game.tick();
    EXPECT_EQ(game.car()->location.X, first + 16.0f) << phase;
  }
}

TEST_F(DriverTest, ARacingLapTakesItsTimeSlowerInCornersAndAPlantedMistakeCostsExactlyWhatItSays) {
  game.setTickLength(10'000);  // 1 ms, so crossings are seen to the millisecond
  const lumaro_host::MapFileResult map = lumaro_host::readMapFile(LUMARO_MAPS_FOLDER "/lakeside.map");
  ASSERT_TRUE(map.map && map.map->track);
  sim::Driver driver(game, *map.map->track);
  std::vector<double> crossedAt;
  driver.setCrossingObserver([&](bool) { crossedAt.push_back(seconds()); });
  sim::DriveStyle style;
  style.racing = true;
  style.speed = driver.racingLine().lapSeconds() / 20.0;
  style.mistakes = {{2, 0.42, 0.58, 0.5, 0.0}, {3, 0.38, 0.52, 0.0, 205.0}};
  driver.start(style);
  double fastest = 0.0, slowest = 1e9, widest = 0.0;
  sim::CarPose last = driver.racingLine().path().poseAt(driver.distance());
  while (driver.lapsCompleted() < 3) {
    game.tick();
    const Vector at = game.car()->location;
    const double step = std::hypot(at.X - last.location.X, at.Y - last.location.Y) / 0.001;
    last.location = at;
    if (driver.crossings() == 0) continue;
    fastest = std::max(fastest, step), slowest = std::min(slowest, step);
    // How far the car is from the racing line, at the line's point it has reached.
    const Vector on = driver.racingLine().path().poseAt(driver.distance()).location;
    if (driver.lapsCompleted() == 2) widest = std::max<double>(widest, std::hypot(at.X - on.X, at.Y - on.Y));
  }
  ASSERT_EQ(crossedAt.size(), 4u);
  // 20 s a lap; the lost half second in lap 2 only; the wide line in lap 3 costs nothing.
  EXPECT_NEAR(crossedAt[1] - crossedAt[0], 20.0, 0.0011);
  EXPECT_NEAR(crossedAt[2] - crossedAt[1], 20.5, 0.0011);
  EXPECT_NEAR(crossedAt[3] - crossedAt[2], 20.0, 0.0011);
  EXPECT_NEAR(widest, 205.0, 1.0);
  EXPECT_NEAR(fastest, style.speed, style.speed * 0.01);
  EXPECT_LT(slowest, 0.5 * fastest);
}

TEST(MapFile, ReadsAMapAndItsTrack) {
  const lumaro_host::MapFileResult read = lumaro_host::parseMapFile(
      "# a map\n"
      "map \"Canyon Run\"\n"
      "freeplay no\n"
      "variable int LapNb -1\n"
      "variable string MapName \"Canyon Run\"\n"
      "variable vector GhostPosition 1 2.5 -3\n"
      "variable float GhostColor 0.5   # coloured\n"
      "lap-time 24\n"
      "line 1500 -500 1500 500\n"
      "point 0 0 17\npoint 6000 0 17\npoint 6000 3000 417\n",
      "canyon.map");
  ASSERT_TRUE(read.map.has_value()) << (read.errors.empty() ? "" : read.errors[0]);
  const sim::MapDefinition& map = read.map->definition;
  EXPECT_EQ(map.name, "Canyon Run");
  EXPECT_FALSE(map.freeplay);
  EXPECT_TRUE(map.hasMainSequence);
  ASSERT_EQ(map.variables.size(), 4u);
  EXPECT_EQ(map.variables[1].initialValue, "Canyon Run");
  EXPECT_EQ(map.variables[2].type, sim::VariableType::Vector);
  EXPECT_EQ(map.variables[2].initialValue, "1 2.5 -3");
  EXPECT_EQ(read.map->lapTime, 24.0);
  ASSERT_TRUE(read.map->track.has_value());
  EXPECT_EQ(read.map->track->lineDistance(), 1500.0);
}

TEST(MapFile, EveryMistakeIsReportedWithItsLine) {
  const lumaro_host::MapFileResult read = lumaro_host::parseMapFile(
      "map Broken\n"
      "kismet no\n"
      "variable int LapNb minus-one\n"
      "variable vector GhostPosition 1 2\n"
      "colour red\n"
      "point 0 0 0\npoint 10 0 0\npoint 10 10 0\n",
      "broken.map");
  EXPECT_FALSE(read.map.has_value());
  EXPECT_EQ(read.errors, (std::vector<std::string>{
                             "broken.map:3: \"minus-one\" is not a whole number",
                             "broken.map:4: a vector takes three numbers",
                             "broken.map:5: unknown entry \"colour\" (map, freeplay, kismet, variable, lap-time, "
                             "drive-style, line, point)",
                             "broken.map:6: the track has no start/finish line (line X1 Y1 X2 Y2)",
                         }));
  const auto noVariables = lumaro_host::parseMapFile("map Bare\nkismet no\nvariable int LapNb -1\n", "bare.map");
  EXPECT_EQ(
      noVariables.errors,
      (std::vector<std::string>{"bare.map:3: a map without a main sequence (kismet no) has no Kismet variables"}));
}

// Mended: half a million points loaded (2 GB) and drove at a sixteenth of game speed. A track holds at most
// 10,000 points; the first one past them is named, once.
TEST(MapFile, ATrackHoldsAtMostTenThousandPoints) {
  for (const int count : {10'000, 10'002}) {
    std::string text = "map Round\nkismet no\nline -100500 0 -99500 0\n";
    for (double k = 0.5; k < count; ++k) {
      const double angle = 2 * std::numbers::pi * k / count;
      text += "point " + std::to_string(1e5 * std::cos(angle)) + " " + std::to_string(1e5 * std::sin(angle)) + " 0\n";
    }
    const std::vector<std::string> errors = lumaro_host::parseMapFile(text, "round.map").errors;
    EXPECT_EQ(errors.empty() ? "" : errors[0],
              count == 10'000 ? "" : "round.map:10004: a track has at most 10000 points");
    EXPECT_LE(errors.size(), 1u);
  }
}

TEST(MapFile, MistakesFoundAtTheEndOfTheFileStillComeInLineOrderAtTheLineThatCausedThem) {
  // The whole-file checks run last, but their lines lie before the later lines' own mistakes.
  const auto read = lumaro_host::parseMapFile(
      "map Mixed\n"
      "kismet no\n"
      "variable int LapNb -1\n"
      "point 0 0 0\npoint 10 0 0\npoint 10 10 0\n"
      "wheels 4\n"
      "freeplay maybe\n",
      "mixed.map");
  EXPECT_EQ(
      read.errors,
      (std::vector<std::string>{
          "mixed.map:3: a map without a main sequence (kismet no) has no Kismet variables",
          "mixed.map:4: the track has no start/finish line (line X1 Y1 X2 Y2)",
          "mixed.map:7: unknown entry \"wheels\" (map, freeplay, kismet, variable, lap-time, drive-style, line, point)",
          "mixed.map:8: expected: freeplay yes|no",
      }));
  // An empty file has no line 0.
  EXPECT_EQ(lumaro_host::parseMapFile("", "empty.map").errors,
            (std::vector<std::string>{"empty.map:1: the file names no map (map NAME)"}));
}

TEST(MapFile, AStartingValueTheGameCannotHoldIsAMistake) {
  // The game keeps a 32-bit int and single-precision floats: a value beyond them would reach the plugin
  // wrapped or as an infinity.
  const auto read = lumaro_host::parseMapFile(
      "map Big\n"
      "variable int LapNb 99999999999\n"
      "variable int Low -2147483649\n"
      "variable float GhostColor 1e39\n"
      "variable vector GhostPosition 0 -4e38 0\n"
      "variable int Top 2147483647\n"
      "variable float Small 1e-50\n"
      "variable float Huge 1e400\n"
      "variable int Blank \" -1\"\n",
      "big.map");
  EXPECT_EQ(read.errors, (std::vector<std::string>{
                             "big.map:2: \"99999999999\" is out of an int's range",
                             "big.map:3: \"-2147483649\" is out of an int's range",
                             "big.map:4: \"1e39\" is out of a float's range",
                             "big.map:5: \"-4e38\" is out of a float's range",
                             "big.map:8: \"1e400\" is out of a float's range",
                             "big.map:9: \" -1\" is not a whole number",
                         }));
  // The track and the map's lap time within their stated ranges: a point at 1e39 reached the car as an
  // infinity, and a lap crossed many times in one tick made a tick's work unbounded.
  EXPECT_EQ(lumaro_host::parseMapFile("map Far\nlap-time 0.5\nline 5 -1 5 1\npoint 0 0 17\npoint 1e39 0 17\n"
                                      "point 10 0 17\npoint -1000000.5 1 17\npoint 10 1000000 0\n",
                                      "far.map")
                .errors,
            (std::vector<std::string>{
                "far.map:2: the lap time must be from 1 to 3600 s, not \"0.5\"",
                "far.map:5: the x of a point must be from -1000000 to 1000000, not \"1e39\"",
                "far.map:7: the x of a point must be from -1000000 to 1000000, not \"-1000000.5\"",
            }));
  EXPECT_EQ(lumaro_host::parseMapFile("map Tiny\nline 5 -1 5 1\npoint 0 0 0\npoint 30 0 0\npoint 30 10 0\n", "tiny.map")
                .errors,
            (std::vector<std::string>{"tiny.map:2: the lap is 72 units long; it must be from 100 to 100000000 units"}));
}

TEST(MapFile, AByteOrderMarkBeforeTheFirstEntryIsSkipped) {
  const auto read = lumaro_host::parseMapFile("\xEF\xBB\xBFmap \"With Mark\"\n", "bom.map");
  ASSERT_TRUE(read.map.has_value()) << read.errors.front();
  EXPECT_EQ(read.map->definition.name, "With Mark");
}

TEST(MapFile, AVariableNameDefinedTwiceIsRefusedNamingBothLines) {
  // The host's table is keyed by name: a second definition, whatever its type, would hide the first.
  const auto twice = lumaro_host::parseMapFile(
      "map Twin\nvariable int LapNb -1\nvariable string MapName Twin\nvariable float LapNb 0\n", "twin.map");
  EXPECT_FALSE(twice.map.has_value());
  EXPECT_EQ(twice.errors,
            (std::vector<std::string>{"twin.map:4: the variable LapNb is defined twice, on lines 2 and 4"}));
}

TEST(MapFile, TheBundledMapsRead) {
  for (const char* name : {"speedway", "canyon", "kart", "sandbox", "quarry"}) {
    const auto read =
        lumaro_host::readMapFile(std::filesystem::path(LUMARO_MAPS_FOLDER) / (std::string(name) + ".map"));
    EXPECT_TRUE(read.map.has_value()) << name << ": " << (read.errors.empty() ? "" : read.errors[0]);
  }
}

}  // namespace
