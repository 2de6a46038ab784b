#include "tools/ghost/replay/ReplayData.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/report/CompareReport.h"
#include "tools/ghost/report/TraceExport.h"

namespace lumaro_ghost {

ReplayData replayData(const std::vector<LoadedGhost>& ghosts, int sectorsPerLap) {
  return replayData(ghosts, analyseGhosts(ghosts, sectorsPerLap));
}

ReplayData replayData(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis, const ComparedLaps& chosen) {
  ReplayData data;
  if (ghosts.empty()) return data;
  data.sectorsPerLap = analysis.sectors;
  data.startLine = startLineText(analysis).value_or("");
  // Every run against A (A against itself gives A's own speed), over the laps all of them hold; or the two
  // sides of a lap pair, each timed from its lap's start.
  const LapChoice& choice = chosen.laps;
  const bool paired = choice.laps || choice.best;
  std::vector<Comparison> comparisons;
  std::vector<std::size_t> sides;
  if (paired) {
    const Comparison pair = compareRuns(analysis, chosen.a, chosen.b, choice);
    LapChoice own = choice;
    if (!pair.laps.empty()) own.laps = std::pair{pair.laps.front().lapA, pair.laps.front().lapA}, own.best = false;
    comparisons = {compareRuns(analysis, chosen.a, chosen.a, own), pair};
    sides = {chosen.a, chosen.b};
  } else {
    for (std::size_t run = 0; run < ghosts.size(); ++run) {
      comparisons.push_back(compareRuns(analysis, 0, run, choice));
      sides.push_back(run);
    }
  }
  std::size_t laps = comparisons.front().laps.size();
  for (std::size_t i = 0; i < sides.size(); ++i) {
    data.runs.push_back(&ghosts[sides[i]]);
    data.letters += static_cast<char>('A' + sides[i] % 26);
    data.names.emplace_back(1, data.letters.back());
    if (paired && !comparisons[i].laps.empty())
      data.names.back() += ":" + std::to_string(comparisons[i].laps.front().lapB);
    const TimedRun& timed = analysis.runs[sides[i]].timed;
    data.lapLinesFound.push_back(timed.lapLinesFound);
    // The clock starts where the first lap replayed starts.
    const Comparison& comparison = comparisons[i];
    const int first = comparison.laps.empty() ? 1 : comparison.laps.front().lapB;
    data.startSeconds.push_back(timed.lines.size() < static_cast<std::size_t>(first)
                                    ? 0.0
                                    : timed.lines[static_cast<std::size_t>(first - 1)].seconds);
    laps = std::min(laps, comparison.laps.size());
  }
  const TimedRun& a = analysis.runs.front().timed;
  const double reference = analysis.reference.length();
  const double lapLength = reference > 0.0 ? reference : a.laps() > 0 ? a.lines[1].distance - a.lines[0].distance : 1.0;

  // Sample s of the trace lies at s / (samples a lap) of the laps; the first of every sector is its start,
  // exactly where the analysis cuts the lap.
  const int samplesPerLap = data.sectorsPerLap * traceSamplesPerSector;
  const auto steps = static_cast<int>(laps) * samplesPerLap;
  for (int step = 0; step <= steps; ++step) {
    const int lap = step / samplesPerLap;
    const double progress = lap + static_cast<double>(step % samplesPerLap) / samplesPerLap;
    TraceSample sample;
    sample.distance = progress * lapLength;
    for (std::size_t run = 0; run < comparisons.size(); ++run) {
      const TracePoint point = traceAt(analysis, comparisons[run], progress);
      if (run == 0) sample.secondsA = point.secondsA;
      sample.delta.push_back(point.delta);
      sample.speed.push_back(point.speedB);
    }
    data.trace.push_back(std::move(sample));
  }

  for (std::size_t pair = 0; pair < laps; ++pair) {
    const std::size_t first = pair * static_cast<std::size_t>(samplesPerLap);
    LapRow lapRow;
    lapRow.lap = comparisons.front().laps[pair].lapA;
    lapRow.startDistance = data.trace[first].distance;
    lapRow.endDistance = data.trace[first + static_cast<std::size_t>(samplesPerLap)].distance;
    for (const Comparison& comparison : comparisons) {
      lapRow.seconds.push_back(comparison.laps[pair].bSeconds);
      if (paired) lapRow.label += (lapRow.label.empty() ? "" : "/") + std::to_string(comparison.laps[pair].lapB);
    }
    if (!paired) lapRow.label = std::to_string(lapRow.lap);
    data.laps.push_back(lapRow);
    for (int sector = 0; sector < data.sectorsPerLap; ++sector) {
      const std::size_t index = pair * static_cast<std::size_t>(data.sectorsPerLap) + static_cast<std::size_t>(sector);
      const std::size_t start = first + static_cast<std::size_t>(sector * traceSamplesPerSector);
      const SectorDelta& ofA = comparisons.front().sectors[index];
      SectorRow row;
      row.lap = ofA.lapA;
      row.from = ofA.from;
      row.to = ofA.to;
      row.startDistance = data.trace[start].distance;
      row.endDistance = data.trace[start + traceSamplesPerSector].distance;
      for (const Comparison& comparison : comparisons) {
        row.seconds.push_back(comparison.sectors[index].bSeconds);
        row.delta.push_back(comparison.sectors[index].delta);
      }
      data.sectors.push_back(row);
    }
  }
  for (const BestSector& best : analysis.bestSectors) data.bestSectorSeconds.push_back(best.seconds);
  data.theoreticalBest = analysis.theoreticalBest;
  return data;
}

}  // namespace lumaro_ghost
