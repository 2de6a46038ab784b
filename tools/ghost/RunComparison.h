// Where run B gains and loses against run A, matched by progress along the lap (see LappedRun): the total
// difference, the difference at each tenth of every lap (the tenth that ends a lap is its lap line), the
// time gained or lost within each tenth, and the tenths of the largest gain and the largest loss.
// Differences are B's time less A's, in seconds: below zero B is ahead.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "tools/ghost/LappedRun.h"

namespace lumaro_ghost {

struct SplitPoint {
  int lap = 1;    // from 1
  int tenth = 1;  // 1 to 10; 10 is the lap line
  double progress = 0.0;
  double distanceA = 0.0;
  double stretchA = 0.0;  // the length of this tenth in A
  double secondsA = 0.0;
  double secondsB = 0.0;
  double delta = 0.0;
  double change = 0.0;  // delta here less delta at the split before: what B gained or lost over this tenth
};

struct RunComparison {
  int laps = 0;  // the laps both runs hold
  double totalDelta = 0.0;
  std::vector<SplitPoint> splits;
  std::optional<SplitPoint> largestGain;  // the tenth where B gains most, when it gains half a millisecond or more
  std::optional<SplitPoint> largestLoss;  // the tenth where B loses most, likewise
};

RunComparison compareRuns(const LappedRun& a, const LappedRun& b);

struct DeltaSample {
  double progress = 0.0;
  double delta = 0.0;
};

// The difference at count evenly spaced progresses from the start to the end of the laps both runs hold.
std::vector<DeltaSample> deltaAlong(const LappedRun& a, const LappedRun& b, std::size_t count);

}  // namespace lumaro_ghost
