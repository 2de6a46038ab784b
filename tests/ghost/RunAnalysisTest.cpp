// Runs matched by track position: the difference of known runs at any sample rate, the lap lines, and
// the sectors.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <numbers>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "GeneratedRuns.h"
#include "library/ghostfile/GhostFrame.h"
#include "library/ghostfile/NumberReading.h"
#include "tools/ghost/analysis/GhostFileContent.h"
#include "tools/ghost/analysis/GhostHeaderFields.h"
#include "tools/ghost/analysis/LapValidity.h"
#include "tools/ghost/analysis/LoadedGhost.h"
#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/analysis/RunProfile.h"
#include "tools/ghost/analysis/SameTrack.h"
#include "tools/ghost/report/CompareReport.h"

using namespace lumaro_ghost;

namespace {

std::vector<LoadedGhost> ghosts(const std::vector<std::vector<GhostFrame>>& runs, int laps = 1) {
  std::vector<LoadedGhost> loaded;
  for (const auto& frames : runs) {
    LoadedGhost ghost;
    ghost.content.frames = frames;
    ghost.header.lapCount.value = laps;
    ghost.profile = profileRun(ghost.content.frames);
    loaded.push_back(std::move(ghost));
  }
  return loaded;
}

const TimedRun& timed(const Analysis& analysis, std::size_t run = 0) { return analysis.runs[run].timed; }

}  // namespace

TEST(RunAnalysis, TheSameLapAtTwoSampleRatesIsLevelEverywhere) {
  const auto runs = ghosts({twentySecondLap(8), twentySecondLap(13)});
  const Analysis analysis = analyseGhosts(runs);
  const Comparison comparison = compareRuns(analysis, 0, 1);
  for (const TracePoint& point : traceAlong(analysis, comparison, 500)) {
    ASSERT_NEAR(point.delta, 0.0, 1e-4) << point.progress;
  }
  EXPECT_NEAR(comparison.total, 0.0, 1e-4);
  EXPECT_FALSE(comparison.largestGain);
  EXPECT_FALSE(comparison.largestLoss);
}

TEST(RunAnalysis, ALossAcrossASectorLineIsSplitWhereTheCarIsWhereverTheFirstFramesFall) {
  // 16 ms ticks; B loses 1.5 s spread evenly over 38-42% of a 10 s lap, A is clean: 0.75 s either side of the
  // 40% line. Each first frame lies its phase of a tick (10 units) past the map's line. The line is taken at the
  // rearmost first frame: exact when either run's first frame lies on the map's line, else that phase of a tick
  // off, and a sector line moved by a tick's share of the lap (0.0016) moves 1.5 s / 0.04 of it, 0.06 s, between
  // the sectors. The map's line may lie up to a tick less the phases' difference behind the line taken, said
  // from 1 ms on: 0.8 ms is not said, 1.12 ms is. Later laps' crossings say nothing of where the map's line is.
  struct Row {
    double phaseA, phaseB;
    int laps;
    bool said;
  };
  for (const Row row : {Row{0.0, 0.0, 1, true},
                        {0.5, 0.0, 1, true},
                        {0.95, 0.0, 1, false},
                        {0.0, 0.7, 1, true},
                        {0.0, 0.93, 1, true},
                        {0.5, 0.5, 1, true},
                        {0.95, 0.95, 1, true},
                        {0.95, 0.95, 3, true}}) {
    SCOPED_TRACE(::testing::Message() << "A's phase " << row.phaseA << ", B's " << row.phaseB << ", " << row.laps);
    const auto runs = ghosts({lapWithEvenLoss(10.0, 16, 0.0, 0.38, 0.42, row.phaseA, row.laps),
                              lapWithEvenLoss(10.0, 16, 1.5, 0.38, 0.42, row.phaseB, row.laps)},
                             row.laps);
    const Analysis analysis = analyseGhosts(runs);
    ASSERT_TRUE(analysis.lineUncertainty);
    EXPECT_NEAR(*analysis.lineUncertainty, (1.0 - std::fabs(row.phaseA - row.phaseB)) * 0.016, 1e-4);
    EXPECT_EQ(startLineText(analysis).has_value(), row.said);
    const Comparison comparison = compareRuns(analysis, 0, 1);
    ASSERT_EQ(comparison.sectors.size(), 10u * static_cast<std::size_t>(row.laps));
    const double ticksOff = std::min(row.phaseA, row.phaseB);
    for (const SectorDelta& sector : comparison.sectors) {
      const bool split = sector.lapA == 1 && (sector.sector == 4 || sector.sector == 5);
      EXPECT_NEAR(sector.delta, split ? 0.75 : 0.0, 0.002 + 0.06 * ticksOff) << sector.sector;
    }
  }
}

TEST(RunAnalysis, ALapUnderAQuarterOfTheMedianOrWithoutTimeAndARunFarFromTheTrackAreToldApart) {
  EXPECT_EQ(medianLapSeconds(std::vector<double>{0.03, 20.0}), 20.0);
  EXPECT_EQ(judgeLap(5.01, 20.0), LapFault::none);
  EXPECT_EQ(judgeLap(4.99, 20.0), LapFault::farTooQuick);
  EXPECT_EQ(judgeLap(0.0, 20.0), LapFault::noTime);
  EXPECT_EQ(judgeLap(-0.01, -0.01), LapFault::noTime);
  const std::vector<GhostFrame> track = straightRun(5000.0, 5.0);
  for (const auto& [aside, off] : {std::pair{490.0f, 0.0}, {510.0f, 1.0}}) {
    std::vector<GhostFrame> run = track;
    for (GhostFrame& frame : run) frame.y = aside;
    EXPECT_EQ(shareOffTrack(track, run), off) << aside;
  }
  // A run cut short lies on a whole one's track, though most of the whole one lies off its path.
  const std::vector<GhostFrame> cut(track.begin(), track.begin() + 50);
  EXPECT_GT(shareOffTrack(cut, track), 0.5);
  EXPECT_EQ(shareApart(track, cut), 0.0);
}

TEST(RunAnalysis, ARunOneSecondFasterOverItsSecondHalfGainsExactlyThereAtAnySampleRate) {
  for (std::int32_t interval : {10, 7, 16}) {
    SCOPED_TRACE(interval);
    // Exact when a frame falls on the half; otherwise the frame that spans the change of pace blurs it by a
    // fraction of a millisecond, the resolution of run times.
    const double tolerance = 10000 % interval == 0 ? 1e-4 : 1e-3;
    const auto runs = ghosts({twentySecondLap(10), fasterSecondHalf(interval)});
    const Analysis analysis = analyseGhosts(runs);
    const Comparison comparison = compareRuns(analysis, 0, 1);
    EXPECT_NEAR(comparison.total, -1.0, tolerance);
    ASSERT_EQ(comparison.sectors.size(), 10u);
    for (const SectorDelta& sector : comparison.sectors) {
      // Level over the first half, then 0.2 s gained in every tenth of the second.
      EXPECT_NEAR(sector.delta, sector.sector <= 5 ? 0.0 : -0.2, tolerance) << sector.sector;
      EXPECT_NEAR(sector.aSeconds, 2.0, tolerance);
    }
    ASSERT_TRUE(comparison.largestGain);
    EXPECT_NEAR(comparison.largestGain->delta, -0.2, tolerance);
    EXPECT_GE(comparison.largestGain->sector, 6);
    EXPECT_FALSE(comparison.largestLoss);
    // The difference along the lap: flat to the half, then straight down to -1 s.
    for (const TracePoint& point : traceAlong(analysis, comparison, 101)) {
      ASSERT_NEAR(point.delta, point.progress <= 0.5 ? 0.0 : -2.0 * (point.progress - 0.5), tolerance)
          << point.progress;
    }
    // And the swapped runs lose what the other gained.
    const Comparison swapped = compareRuns(analysis, 1, 0);
    EXPECT_NEAR(swapped.total, 1.0, tolerance);
    ASSERT_TRUE(swapped.largestLoss);
    EXPECT_NEAR(swapped.largestLoss->delta, 0.2, tolerance);
  }
}

TEST(RunAnalysis, ASectorIsNamedTheLargestLossOnlyFromFiveMillisecondsOn) {
  // A lap 39 ms slower loses 3.9 ms in each tenth, under what matching can tell apart; 61 ms loses 6.1 ms.
  for (const auto& [lapSeconds, named] : {std::pair{20.039, false}, std::pair{20.061, true}}) {
    const auto runs = ghosts({steadyCircle(1000, 20.0, 1, 10), steadyCircle(1000, lapSeconds, 1, 10)});
    EXPECT_EQ(compareRuns(analyseGhosts(runs), 0, 1).largestLoss.has_value(), named) << lapSeconds;
  }
}

TEST(RunAnalysis, LapLinesAreWhereTheRunCrossesItsStartLineEvenAfterItsLastFrame) {
  // Three 20-second laps and 0.4 s rolled on past the finish line, as a recording goes on until the plugin
  // sees the lap counter; and a run that ends 10 ms short of its line, timed at it all the same.
  const auto rolled = circleRun(1000.0, 8, 60400, [](double t) { return 2 * std::numbers::pi * t / 20.0; });
  const auto shortOf = circleRun(1000.0, 8, 39990, [](double t) { return 2 * std::numbers::pi * t / 20.0; });
  const auto runs = ghosts({rolled, shortOf}, 3);
  const Analysis analysis = analyseGhosts(runs);
  ASSERT_TRUE(timed(analysis).lapLinesFound);
  ASSERT_EQ(timed(analysis).laps(), 3);
  for (int lap = 1; lap <= 3; ++lap) EXPECT_NEAR(timed(analysis).lapSeconds(lap), 20.0, 1e-3) << lap;
  EXPECT_EQ(timed(analysis, 1).crossingsFound, 2);
  EXPECT_NEAR(timed(analysis, 1).lines.back().seconds, 40.0, 1e-3);
  EXPECT_EQ(timed(analysis, 1).lines.back().frame, shortOf.size());
}

TEST(RunAnalysis, ARunThatNeverCrossesItsStartLineIsCutIntoEqualLaps) {
  const auto runs = ghosts({straightRun(1000.0, 1.0)}, 2);
  const Analysis analysis = analyseGhosts(runs);
  EXPECT_FALSE(timed(analysis).lapLinesFound);
  ASSERT_EQ(timed(analysis).laps(), 2);
  EXPECT_DOUBLE_EQ(timed(analysis).lines[1].distance, 500.0);
  EXPECT_NEAR(timed(analysis).lapSeconds(1), 0.5, 1e-9);
  EXPECT_TRUE(analysis.reference.points.empty());
  for (int laps : {6, 7}) EXPECT_EQ(timed(analyseGhosts(ghosts({straightRun(1000.0, 1.0)}, laps))).laps(), 6);
}

TEST(RunAnalysis, RollingBackAndForthOverTheLineIsNoLapAndOnlyACrossingNearItsPointCounts) {
  // Two laps whose car rocks back over its line and forward again at the start: the rocking only lengthens
  // the first lap.
  auto rocking = circleRun(1000.0, 8, 40000, [](double t) { return 2 * std::numbers::pi * t / 20.0; });
  rocking[1].y = -rocking[1].y;
  // From the start 1000 units out along +x, then twice round a circle about the start: the circle crosses
  // the line forwards 1000 units from its point, so the run has no lap line.
  std::vector<GhostFrame> outward = straightRun(1000.0, 1.0);
  for (GhostFrame frame : circleRun(1000.0, 10, 40000, [](double t) { return 2 * std::numbers::pi * t / 20.0; })) {
    frame.time += 1000;
    outward.push_back(frame);
  }
  const auto runs = ghosts({rocking}, 2);
  const Analysis analysis = analyseGhosts(runs);
  ASSERT_EQ(timed(analysis).crossingsFound, 2);
  EXPECT_NEAR(timed(analysis).lapSeconds(2), 20.0, 1e-3);
  const auto far = ghosts({outward}, 2);
  EXPECT_EQ(timed(analyseGhosts(far)).crossingsFound, 0);
}

TEST(RunAnalysis, ACarStandingStillIsTimedFromWhenItGotThere) {
  std::vector<GhostFrame> frames(4);
  frames[1].time = 100, frames[1].x = 10.0f;
  frames[2].time = 900, frames[2].x = 10.0f;  // standing for 0.8 s
  frames[3].time = 1000, frames[3].x = 20.0f;
  const auto runs = ghosts({frames});
  const Analysis analysis = analyseGhosts(runs);
  const PlacedLap& lap = analysis.runs[0].laps[0];
  EXPECT_NEAR(lap.secondsAt(0.5), 0.1, 1e-9);
  EXPECT_NEAR(lap.secondsAt(0.75), 0.95, 1e-9);
}
