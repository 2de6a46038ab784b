// Where a car stands on a path drawn by hand: the nearest point of a segment, and the window searched ahead
// of the last match (its reach along the path, its count of segments, its end, and how far off is off the path).
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "library/ghostfile/GhostFrame.h"
#include "track/TrackMatch.h"

namespace {

TEST(TrackMatch, TheNearestPointOfASegmentIsHeldBetweenItsLeastShareAndItsEnd) {
  struct Row {
    PathPoint a, b, p;
    double least, share, squared;
  };
  const Row rows[] = {
      {{0, 0}, {10, 0}, {4, 3}, 0.0, 0.4, 9.0},    // beside the segment
      {{0, 0}, {10, 0}, {-3, 4}, 0.0, 0.0, 25.0},  // before its start
      {{0, 0}, {10, 0}, {13, 4}, 0.0, 1.0, 25.0},  // past its end
      {{0, 0}, {10, 0}, {4, 3}, 0.5, 0.5, 10.0},   // behind the least share
      {{2, 2}, {2, 2}, {5, 6}, 0.3, 0.3, 25.0},    // a segment of no length is its start
      {{10, 0}, {0, 0}, {4, 3}, 0.0, 0.6, 9.0},    // the other way along
  };
  for (const Row& row : rows) {
    const SegmentNearest nearest = nearestOnSegment(row.a, row.b, row.p, row.least);
    EXPECT_NEAR(nearest.share, row.share, 1e-12) << row.p.x << "," << row.p.y;
    EXPECT_NEAR(nearest.squared, row.squared, 1e-12) << row.p.x << "," << row.p.y;
  }
}

// Points along +x from 0, `spacing` apart.
std::vector<PathPoint> straight(std::size_t points, double spacing) {
  std::vector<PathPoint> path;
  for (std::size_t i = 0; i < points; ++i) path.push_back({static_cast<double>(i) * spacing, 0.0});
  return path;
}

struct MatchRow {
  std::string name;
  std::vector<PathPoint> path;
  PathPlace from;
  PathPoint car;
  PathWindow window;
  PathPlace place;
  double distance;
  bool onPath;
};

std::vector<double> segmentLengths(const std::vector<PathPoint>& path) {
  std::vector<double> lengths;
  for (std::size_t i = 1; i < path.size(); ++i) lengths.push_back(segmentLength(path[i - 1], path[i]));
  return lengths;
}

PathWindow withLengths(PathWindow window, const std::vector<double>& lengths) {
  window.segmentLengths = lengths;
  window.longestSegment = lengths.empty() ? 0.0 : *std::max_element(lengths.begin(), lengths.end());
  return window;
}

TEST(TrackMatch, FindsTheNearestPlaceAheadWithinTheWindow) {
  const std::vector<PathPoint> hairpin = {{0, 0}, {100, 0}, {100, 10}, {0, 10}};
  const PathWindow standard;  // 400 units, 128 segments, never off the path
  PathWindow shortOfFourHundred;
  shortOfFourHundred.reach = 399.9;
  PathWindow reach350;
  reach350.reach = 350.0;
  PathWindow offAt500;
  offAt500.offPath = 500.0;
  const std::vector<MatchRow> rows = {
      {"no point", {}, {}, {1, 1}, standard, {}, 0.0, false},
      {"one point", {{1, 1}}, {}, {1, 1}, standard, {}, 0.0, false},
      {"two points", {{0, 0}, {100, 0}}, {}, {30, 5}, standard, {0, 0.3}, 5.0, true},
      {"from past the end: the end",
       {{0, 0}, {100, 0}},
       {5, 0.0},
       {30, 5},
       standard,
       {0, 1.0},
       std::sqrt(4925.0),
       true},
      {"car past the path's end", straight(11, 100), {9, 0.5}, {2000, 0}, standard, {9, 1.0}, 1000.0, true},
      {"car behind: never back before from", straight(11, 100), {9, 0.5}, {500, 0}, standard, {9, 0.5}, 450.0, true},
      {"the nearer of two passes", hairpin, {}, {50, 4}, standard, {0, 0.5}, 4.0, true},
      {"the pass ahead from beyond the first", hairpin, {1, 0.0}, {50, 4}, standard, {2, 0.5}, 6.0, true},
      {"a segment starting at the reach is searched", straight(11, 100), {}, {450, 0}, standard, {4, 0.5}, 0.0, true},
      {"one starting past it is not", straight(11, 100), {}, {450, 0}, shortOfFourHundred, {3, 1.0}, 50.0, true},
      {"the reach counts from the share", straight(11, 100), {0, 0.5}, {450, 0}, reach350, {4, 0.5}, 0.0, true},
      {"from a segment's start", straight(11, 100), {}, {450, 0}, reach350, {3, 1.0}, 50.0, true},
      {"the 128th segment is searched", straight(1001, 1), {}, {127.5, 0}, standard, {127, 0.5}, 0.0, true},
      {"the 129th is not", straight(1001, 1), {}, {128.5, 0}, standard, {127, 1.0}, 0.5, true},
      {"500 to the left is on the path", {{0, 0}, {100, 0}}, {}, {50, 500}, offAt500, {0, 0.5}, 500.0, true},
      {"501 to the left is off it", {{0, 0}, {100, 0}}, {}, {50, 501}, offAt500, {0, 0.5}, 501.0, false},
      {"500 to the right is on the path", {{0, 0}, {100, 0}}, {}, {50, -500}, offAt500, {0, 0.5}, 500.0, true},
      {"501 to the right is off it", {{0, 0}, {100, 0}}, {}, {50, -501}, offAt500, {0, 0.5}, 501.0, false},
  };
  for (const MatchRow& row : rows) {
    // Each row twice: the segments' lengths measured as the search goes, and known beforehand.
    const std::vector<double> lengths = segmentLengths(row.path);
    for (const PathWindow& window : {row.window, withLengths(row.window, lengths)}) {
      const PathMatch match = matchAhead(row.path, row.from, row.car, window);
      EXPECT_EQ(match.onPath, row.onPath) << row.name;
      if (row.path.size() < 2) continue;  // no place and no distance to speak of
      EXPECT_EQ(match.place.segment, row.place.segment) << row.name;
      EXPECT_NEAR(match.place.share, row.place.share, 1e-12) << row.name;
      EXPECT_NEAR(match.distance, row.distance, 1e-9) << row.name;
    }
  }
}

TEST(TrackMatch, LengthsKnownBeforehandFindTheSamePlaceOnAWindingPath) {
  // A path that winds back on itself every few dozen points, and cars up to 300 units beside it.
  std::vector<PathPoint> path;
  for (int i = 0; i < 3000; ++i) {
    const double t = i * 0.05;
    path.push_back({40.0 * t + 250.0 * std::sin(t * 0.7), 300.0 * std::cos(t * 1.3)});
  }
  const std::vector<double> lengths = segmentLengths(path);
  PathPlace from;
  for (int i = 0; i < 3000; i += 7) {
    const PathPoint car{path[i].x + 300.0 * std::sin(i * 0.37), path[i].y + 300.0 * std::cos(i * 0.91)};
    const PathMatch measured = matchAhead(path, from, car, PathWindow{});
    const PathMatch known = matchAhead(path, from, car, withLengths(PathWindow{}, lengths));
    ASSERT_EQ(known.place.segment, measured.place.segment) << i;
    ASSERT_EQ(known.place.share, measured.place.share) << i;
    from = measured.place;
  }
}

TEST(TrackMatch, MatchesOnGhostFramesAsOnPoints) {
  const std::vector<GhostFrame> frames = {{0, 0, 0, 0.0f, 0.0f, 50.0f, 0}, {0, 0, 0, 100.0f, 0.0f, -50.0f, 100}};
  const PathMatch match = matchAhead(frames, {}, {25, 3}, PathWindow{});
  EXPECT_EQ(match.place.segment, 0u);
  EXPECT_DOUBLE_EQ(match.place.share, 0.25);
  EXPECT_DOUBLE_EQ(match.distance, 3.0);  // the height plays no part
}

}  // namespace
