#include "tools/ghost/ReplayData.h"

#include <algorithm>

#include "tools/ghost/LappedRun.h"
#include "tools/ghost/RunComparison.h"

namespace lumaro_ghost {

namespace {

// Today's comparison has no sectors of its own: its tenths of the lap serve as sectors.
constexpr int tenths = 10;

// The run's speed at a distance along its own path, between the frames on either side.
double speedAt(const LoadedGhost& ghost, double distance) {
  const std::vector<double>& along = ghost.profile.distance;
  const std::vector<double>& speed = ghost.profile.speed;
  const auto found = std::lower_bound(along.begin(), along.end(), distance);
  if (found == along.begin()) return speed.front();
  if (found == along.end()) return speed.back();
  const auto i = static_cast<std::size_t>(found - along.begin());
  const double span = along[i] - along[i - 1];
  const double share = span > 0.0 ? (distance - along[i - 1]) / span : 1.0;
  return speed[i - 1] + share * (speed[i] - speed[i - 1]);
}

// Where a sector (counted from 0 over all laps) starts, in laps: computed as the comparison computes the end
// of the tenth before it, so the trace and the rows meet the comparison's figures exactly.
double sectorStart(int sector) { return sector / tenths + static_cast<double>(sector % tenths) / tenths; }

}  // namespace

ReplayData replayData(const std::vector<LoadedGhost>& ghosts) {
  ReplayData data;
  std::vector<LappedRun> lapped;
  int laps = 0;
  for (const LoadedGhost& ghost : ghosts) {
    data.runs.push_back(&ghost);
    lapped.push_back(lapRun(ghost.content.frames, ghost.profile, ghost.laps()));
    data.lapLinesFound.push_back(lapped.back().lapLinesFound);
    laps = laps == 0 ? lapped.back().laps() : std::min(laps, lapped.back().laps());
  }
  if (lapped.empty()) return data;
  const LappedRun& a = lapped.front();
  data.sectorsPerLap = tenths;

  const int steps = laps * tenths * traceSamplesPerSector;
  for (int step = 0; step <= steps; ++step) {
    const double progress = step % traceSamplesPerSector == 0
                                ? sectorStart(step / traceSamplesPerSector)
                                : static_cast<double>(step) / (tenths * traceSamplesPerSector);
    TraceSample sample;
    sample.distance = distanceAt(a, progress);
    sample.secondsA = secondsAt(a, progress);
    for (std::size_t run = 0; run < lapped.size(); ++run) {
      sample.delta.push_back(run == 0 ? 0.0 : secondsAt(lapped[run], progress) - sample.secondsA);
      sample.speed.push_back(speedAt(ghosts[run], distanceAt(lapped[run], progress)));
    }
    data.trace.push_back(std::move(sample));
  }

  std::vector<RunComparison> comparisons;
  for (const LappedRun& run : lapped) comparisons.push_back(compareRuns(a, run));
  for (int lap = 1; lap <= laps; ++lap) {
    LapRow row;
    row.lap = lap;
    row.startDistance = distanceAt(a, lap - 1);
    row.endDistance = distanceAt(a, lap);
    for (const LappedRun& run : lapped) row.seconds.push_back(secondsAt(run, lap) - secondsAt(run, lap - 1));
    data.laps.push_back(row);
    for (int tenth = 1; tenth <= tenths; ++tenth) {
      const std::size_t split = static_cast<std::size_t>((lap - 1) * tenths + tenth - 1);
      SectorRow sector;
      sector.lap = lap;
      sector.from = static_cast<double>(tenth - 1) / tenths;
      sector.to = static_cast<double>(tenth) / tenths;
      sector.startDistance = distanceAt(a, sectorStart(static_cast<int>(split)));
      sector.endDistance = comparisons.front().splits[split].distanceA;
      for (const RunComparison& comparison : comparisons) {
        const SplitPoint& point = comparison.splits[split];
        const double before = split == 0 ? 0.0 : comparison.splits[split - 1].secondsB;
        sector.seconds.push_back(point.secondsB - before);
        sector.delta.push_back(point.change);
      }
      data.sectors.push_back(sector);
    }
  }
  return data;
}

}  // namespace lumaro_ghost
