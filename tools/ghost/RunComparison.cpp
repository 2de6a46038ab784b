#include "tools/ghost/RunComparison.h"

#include <algorithm>

namespace lumaro_ghost {

namespace {

// Run times are whole milliseconds: a tenth that changes the difference by less than half of one has
// neither gained nor lost (runs sampled at different rates differ by far less than that).
constexpr double noticeableChange = 0.0005;

double deltaAt(const LappedRun& a, const LappedRun& b, double progress) {
  return secondsAt(b, progress) - secondsAt(a, progress);
}

}  // namespace

RunComparison compareRuns(const LappedRun& a, const LappedRun& b) {
  RunComparison comparison;
  comparison.laps = std::min(a.laps(), b.laps());
  double before = deltaAt(a, b, 0.0);
  for (int lap = 1; lap <= comparison.laps; ++lap) {
    for (int tenth = 1; tenth <= 10; ++tenth) {
      SplitPoint split;
      split.lap = lap;
      split.tenth = tenth;
      split.progress = lap - 1 + tenth / 10.0;
      split.distanceA = distanceAt(a, split.progress);
      split.stretchA = split.distanceA - distanceAt(a, split.progress - 0.1);
      split.secondsA = secondsAt(a, split.progress);
      split.secondsB = secondsAt(b, split.progress);
      split.delta = split.secondsB - split.secondsA;
      split.change = split.delta - before;
      before = split.delta;
      comparison.splits.push_back(split);
      if (split.change <= -noticeableChange &&
          (!comparison.largestGain || split.change < comparison.largestGain->change)) {
        comparison.largestGain = split;
      }
      if (split.change >= noticeableChange &&
          (!comparison.largestLoss || split.change > comparison.largestLoss->change)) {
        comparison.largestLoss = split;
      }
    }
  }
  comparison.totalDelta = comparison.splits.empty() ? 0.0 : comparison.splits.back().delta;
  return comparison;
}

std::vector<DeltaSample> deltaAlong(const LappedRun& a, const LappedRun& b, std::size_t count) {
  std::vector<DeltaSample> samples;
  const double end = std::min(a.laps(), b.laps());
  for (std::size_t i = 0; i < count; ++i) {
    const double progress = count == 1 ? end : end * static_cast<double>(i) / static_cast<double>(count - 1);
    samples.push_back({progress, deltaAt(a, b, progress)});
  }
  return samples;
}

}  // namespace lumaro_ghost
