// The start line and its crossings on runs drawn by hand: a line through the origin across +x, 500 units to
// either side; a lap only after more than 1000 units from its point; a run's ends carried to it over 0.1 s.
#include <cmath>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "library/ghostfile/GhostFrame.h"
#include "track/RaceLine.h"
#include "track/TrackMatch.h"

namespace {

GhostFrame at(float x, float y, int ms, float z = 0.0f) { return GhostFrame{0, 0, 0, x, y, z, ms}; }

struct LineRow {
  std::string name;
  std::vector<GhostFrame> frames;
  std::optional<PathPoint> heading;  // none: no line
};

TEST(RaceLine, RunsThroughTheFirstFrameAcrossItsFirstFiftyUnitsOrAQuarterOfAShorterPath) {
  const std::vector<LineRow> rows = {
      {"no frame", {}, std::nullopt},
      {"one frame", {at(3, 4, 0)}, std::nullopt},
      {"two frames at one place", {at(3, 4, 0), at(3, 4, 100)}, std::nullopt},
      {"standing still", {at(3, 4, 0), at(3, 4, 100), at(3, 4, 200), at(3, 4, 300)}, std::nullopt},
      {"only climbing", {at(3, 4, 0), at(3, 4, 100, 10), at(3, 4, 200, 20)}, std::nullopt},
      {"two frames", {at(5, 5, 0), at(5, 15, 100)}, PathPoint{0, 1}},
      {"50 units reached at a frame", {at(0, 0, 0), at(50, 0, 1), at(50, 100, 2), at(50, 300, 3)}, PathPoint{1, 0}},
      {"49 units at the first frame",
       {at(0, 0, 0), at(49, 0, 1), at(49, 100, 2), at(49, 300, 3)},
       PathPoint{49 / std::sqrt(12401.0), 100 / std::sqrt(12401.0)}},
      {"past 50 units inside a step", {at(0, 0, 0), at(30, 0, 1), at(30, 40, 2), at(30, 300, 3)}, PathPoint{0.6, 0.8}},
      {"a quarter of 16 reached at a frame", {at(0, 0, 0), at(4, 0, 1), at(4, 12, 2)}, PathPoint{1, 0}},
      {"a quarter of 17 past the first frame",
       {at(0, 0, 0), at(4, 0, 1), at(4, 13, 2)},
       PathPoint{4 / std::sqrt(185.0), 13 / std::sqrt(185.0)}},
  };
  for (const LineRow& row : rows) {
    const std::optional<RaceLine> line = raceLineOf(row.frames);
    ASSERT_EQ(line.has_value(), row.heading.has_value()) << row.name;
    if (!line) continue;
    EXPECT_EQ(line->at.x, row.frames[0].x) << row.name;
    EXPECT_EQ(line->at.y, row.frames[0].y) << row.name;
    EXPECT_NEAR(line->heading.x, row.heading->x, 1e-12) << row.name;
    EXPECT_NEAR(line->heading.y, row.heading->y, 1e-12) << row.name;
  }
}

struct CrossingRow {
  std::string name;
  std::vector<GhostFrame> frames;
  std::vector<RaceLineCrossing> crossings;
  bool wentAway = false;
};

// Out more than 1000 units (to x 1500), round behind the line and back towards it along +x, the last two
// frames 250 units and 0.25 s apart (1000 units a second), the last one `short` units short of the line.
std::vector<GhostFrame> endingShortOfTheLine(float shortOf) {
  return {at(0, 0, 0),         at(1500, 0, 1000),           at(1500, 300, 2000),
          at(-500, 300, 3000), at(-shortOf - 250, 0, 4750), at(-shortOf, 0, 5000)};
}

// From the line's point out to (0, out), then over the line at y = side, between x -10 and 10.
std::vector<GhostFrame> outAndOver(float out, float side) {
  return {at(0, 0, 0), at(0, out, 1000), at(-10, side, 2000), at(10, side, 3000)};
}

TEST(RaceLine, CountsTheStartEachLapFarFromTheLastAndARunCarriedToTheLineAtItsEnds) {
  const RaceLineCrossing start{0.0, 0, 0.0, 0.0};
  const std::vector<CrossingRow> rows = {
      {"no frame", {}, {}},
      {"one frame on the line", {at(0, 0, 700)}, {start}},
      {"one frame short of it", {at(-5, 0, 700)}, {}},
      {"two frames over it", {at(-10, 0, 0), at(10, 0, 100)}, {{0.05, 1, 0.5, 0.0}}},
      {"crossing between frames", {at(-30, 0, 0), at(10, 0, 100)}, {{0.075, 1, 0.75, 0.0}}},
      {"crossing exactly at a frame",
       {at(-20, 0, 0), at(-10, 0, 100), at(0, 0, 200), at(10, 0, 300)},
       {{0.2, 2, 1.0, 0.0}}},
      {"begins on the line", {at(0, 0, 1000), at(10, 0, 1100)}, {start}},
      {"begins 2 units past: carried back 0.02 s", {at(2, 0, 500), at(12, 0, 600)}, {{-0.02, 0, 0.0, -2.0}}},
      {"begins 0.1 s past", {at(100, 0, 0), at(350, 0, 250)}, {{-0.1, 0, 0.0, -100.0}}},
      {"begins 0.101 s past: at its first frame", {at(101, 0, 0), at(351, 0, 250)}, {start}},
      {"begins just short: its crossing", {at(-2, 0, 0), at(8, 0, 100)}, {{0.02, 1, 0.2, 0.0}}},
      {"rolls back and forth over the line",
       {at(0, 0, 0), at(-5, 0, 100), at(5, 0, 200), at(-5, 0, 300), at(5, 0, 400)},
       {start}},
      {"rolls back and ends just short of the line",
       {at(0, 0, 0), at(10, 0, 100), at(-30, 0, 200), at(-5, 0, 300)},
       {start}},
      {"ends 20 units short: carried on 0.02 s", endingShortOfTheLine(20), {start, {5.02, 6, 1.0, 20.0}}, true},
      {"ends 0.1 s short", endingShortOfTheLine(100), {start, {5.1, 6, 1.0, 100.0}}, true},
      {"ends 0.101 s short: no finish", endingShortOfTheLine(101), {start}, true},
      {"a lap 1001 out, 500 to the side", outAndOver(1001, 500), {start, {2.5, 3, 0.5, 0.0}}, true},
      {"a lap 1001 out, 500 to the other side", outAndOver(1001, -500), {start, {2.5, 3, 0.5, 0.0}}, true},
      {"1000 out is not far enough", outAndOver(1000, 500), {start}, false},
      {"501 to the side misses the line", outAndOver(1001, 501), {start}, true},
      {"rocking after a lap is no lap, going out again is",
       {at(0, 0, 0), at(0, 1001, 1000), at(-10, 0, 2000), at(10, 0, 3000), at(-10, 0, 4000), at(10, 0, 5000),
        at(0, -1001, 6000), at(-10, 0, 7000), at(10, 0, 8000)},
       {start, {2.5, 3, 0.5, 0.0}, {7.5, 8, 0.5, 0.0}},
       true},
  };
  const RaceLine line{{0.0, 0.0}, {1.0, 0.0}};
  for (const CrossingRow& row : rows) {
    RaceLineCrossings crossings(line, row.frames);
    std::vector<RaceLineCrossing> found;
    while (const std::optional<RaceLineCrossing> crossing = crossings.next()) found.push_back(*crossing);
    EXPECT_FALSE(crossings.next()) << row.name << ": nothing after the end";
    EXPECT_EQ(crossings.wentAway(), row.wentAway) << row.name;
    ASSERT_EQ(found.size(), row.crossings.size()) << row.name;
    for (std::size_t i = 0; i < found.size(); ++i) {
      EXPECT_NEAR(found[i].seconds, row.crossings[i].seconds, 1e-9) << row.name << " #" << i;
      EXPECT_EQ(found[i].frame, row.crossings[i].frame) << row.name << " #" << i;
      EXPECT_NEAR(found[i].share, row.crossings[i].share, 1e-9) << row.name << " #" << i;
      EXPECT_NEAR(found[i].carried, row.crossings[i].carried, 1e-9) << row.name << " #" << i;
    }
  }
}

}  // namespace
