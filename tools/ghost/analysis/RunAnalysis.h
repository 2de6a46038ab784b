// Runs analysed the way a time-trial player reads them: timed at a start line, cut into laps where they
// cross it, and compared point by point at the same place on the track rather than the same frame or the
// same share of each run's own path. What the text report, the JSON and the pictures of lumaro-ghost show
// is computed here, once.
//
// The road, for runs A (the reference) and B:
//   1. The start line (startLineOf): across the direction A sets off in (raceLineOf, track/RaceLine.h), through
//      the rearmost of the runs' first frames. A recording starts up to a game tick past the map's own line, so
//      the rearmost first frame is the nearest the files come to it; every run is timed at this one line.
//   2. Each run's crossings of it (timeRun, through the same piece's RaceLineCrossings), each interpolated
//      between the frames on either side (the first and the last extrapolated from the nearest two frames when a
//      run begins just past the line or ends just short of it): the start, then the end of every lap.
//   3. The reference lap: one lap from line to line, as the path its run drove: the lap whose length is the
//      median of every lap of every run (chooseReferenceLap), so that a lap off the track or cut short is never
//      the yardstick, or the lap the user names. Every lap of every run is placed on it (placeLap): each frame goes to
//      the nearest point of the reference ahead of the frame before it, searched a few frames' travel ahead, so a line
//      a car's width or two to the side of A's still finds its place. Where a frame lands is a share of the reference
//      lap (0 at the line, 1 back at it); the time there is interpolated between frames.
//   4. Sectors are equal shares of the reference lap (tenths unless asked otherwise). A sector's time is a
//      run's time at its end less its time at its start, so every run's sectors cover the same stretch of
//      track, whatever its line.
// Times are in seconds, distances in the game's units; deltas are B's time less A's (below zero B is ahead).
#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "library/ghostfile/GhostFrame.h"
#include "tools/ghost/analysis/LapValidity.h"
#include "tools/ghost/analysis/LoadedGhost.h"
#include "tools/ghost/analysis/RunProfile.h"
#include "track/RaceLine.h"

namespace lumaro_ghost {

struct MapPoint {
  double x = 0.0;
  double y = 0.0;
};

struct LineCrossing {
  double seconds = 0.0;   // run time from the first frame (below zero: before it, extrapolated)
  double distance = 0.0;  // along the run's own path
  std::size_t frame = 0;  // the first frame at or past the crossing (the frame count when past the last)
};

// A run timed at a start line. Its frames (and the profile's arrays, copied here) describe the run; the
// frames must outlive it.
struct TimedRun {
  std::span<const GhostFrame> frames;
  std::vector<double> seconds;   // per frame, from the first frame
  std::vector<double> distance;  // per frame, along the path
  std::vector<double> speed;     // per frame, units per second
  // The start and the end of every lap: at the line's crossings when lapLinesFound, else at equal shares of
  // the path (as many laps as the header says, one to six). analyseGhosts gives a run that sets off from the
  // line and never comes back to it, beside one that does, its start alone: it completes no lap.
  std::vector<LineCrossing> lines;
  bool lapLinesFound = false;
  std::optional<LineCrossing> setOff;  // the start, of a run that never crosses the line again
  // The crossings after the start that the run makes: its laps as its path shows them. A crossing counts
  // only once the run has been far from the line's point since the last one (wentAway: it has been).
  int crossingsFound = 0;
  bool wentAway = false;
  int lapsNamed = 1;  // the laps its header names
  // Whether a car can have driven each lap (lapFaults[lap - 1]), judged against medianLap (LapValidity.h): the
  // median of its own laps, or of every lap of the runs an analysis finds on one track.
  std::vector<LapFault> lapFaults;
  double medianLap = 0.0;

  int laps() const { return lines.size() < 2 ? 0 : static_cast<int>(lines.size()) - 1; }
  bool driven(int lap) const { return lapFaults[static_cast<std::size_t>(lap - 1)] == LapFault::none; }
  // Whether the run ends on a lap its header names, past the line it set off on that lap from: a lap it does
  // not finish (a recording that rolls on past the finish has finished).
  bool endsInsideALap() const {
    return lapLinesFound && laps() < lapsNamed && !lines.empty() && lines.back().frame < frames.size();
  }
  double lapSeconds(int lap) const { return lines[lap].seconds - lines[lap - 1].seconds; }  // lap from 1
  int bestLap() const;  // the fastest lap that can have been driven, 0 when there is none
};

// The line runs are timed at: A's line (raceLineOf), moved back along its heading to the rearmost first frame of
// the runs that set off the same way within A's first step behind A's first frame (every recording's first frame
// lies on the map's line or up to a tick past it). None when A does not move.
std::optional<RaceLine> startLineOf(const std::vector<const LoadedGhost*>& ghosts);

// headerLaps: the laps the file's header names; the run is cut into that many equal shares (one to six) when it
// does not cross the line (or there is none).
TimedRun timeRun(std::span<const GhostFrame> frames, const RunProfile& profile, const std::optional<RaceLine>& line,
                 int headerLaps);

// The reference lap: the path one lap of a run drove, from its start crossing to its end crossing.
struct ReferenceLap {
  std::vector<MapPoint> points;
  std::vector<double> along;  // distance from the lap's start at each point
  // The straight length between each two of its points (track/TrackMatch.h's segmentLength), and the longest:
  // what shortens the search for a frame's place on it.
  std::vector<double> segmentLengths;
  double longestSegment = std::numeric_limits<double>::infinity();
  double length() const { return along.empty() ? 0.0 : along.back(); }
  // The point at a share of the lap, and the direction of travel there (a unit vector).
  MapPoint pointAt(double share) const;
  MapPoint headingAt(double share) const;
};
// An empty reference when the run has no lap lines: its laps are then placed by their own shares.
ReferenceLap referenceLap(const TimedRun& run, int lap);

// One lap of a run placed on the reference lap: a point at the lap's start crossing, one for each of its
// frames inside the lap, and one at its end crossing, with where each lies along the reference lap (its
// share, never going back) and the run's time there from the lap's start.
struct PlacedLap {
  int lap = 0;
  std::vector<double> share;
  std::vector<double> seconds;
  std::vector<double> speed;
  std::vector<std::size_t> frame;  // the run's frame at each point (at a crossing: the frame past it)

  double lapSeconds() const { return seconds.back(); }
  // The time at a share of the lap: where the run stood still there, when it got there.
  double secondsAt(double at) const;
  double speedAt(double at) const;
};
PlacedLap placeLap(const ReferenceLap& reference, const TimedRun& run, int lap);

// A run of an analysis: timed, each of its laps placed, and each lap's sector times.
struct AnalysedRun {
  TimedRun timed;
  std::vector<PlacedLap> laps;                     // laps[0] is lap 1
  std::vector<std::vector<double>> sectorSeconds;  // [lap - 1][sector - 1]
  // The lap it sets off on and does not finish, placed up to its last frame (its lap is laps.size() + 1).
  std::optional<PlacedLap> unfinished;
  // The share of its path and of A's off the other's (the least of the two: SameTrack.h's shareApart), and whether
  // it follows A's track: a run that does not
  // (of another map under the same name) lends no lap to the reference, the best sectors or the yardstick
  // laps are judged by, and no unfinished lap is compared against it.
  double offTrack = 0.0;
  bool onTrack = true;
  double reached() const { return unfinished ? unfinished->share.back() : 0.0; }  // its share of the lap
};

struct BestSector {
  double seconds = 0.0;
  std::size_t run = 0;  // index into Analysis::runs
  int lap = 0;
};

// A lap of one of an analysis's runs.
struct LapOfRun {
  std::size_t run = 0;  // index into Analysis::runs
  int lap = 1;          // from 1
  bool operator==(const LapOfRun&) const = default;
};

// The lap whose length is the median of every lap of every run that crosses its start line (the shorter
// middle one of an even count; the earliest run's, then the earliest lap, of equal lengths), of the laps that
// can have been driven when there are any. None when no run has lap lines.
std::optional<LapOfRun> chooseReferenceLap(const std::vector<AnalysedRun>& runs);

// Runs placed on one reference lap.
struct Analysis {
  int sectors = 10;
  std::optional<RaceLine> line;
  ReferenceLap reference;
  std::optional<LapOfRun> referenceLap;  // the lap the reference is, none when it is empty
  bool referenceGiven = false;           // named by the user rather than chosen as the median
  std::vector<AnalysedRun> runs;
  // The best time of each sector over every lap of every run that can have been driven, and their sum: the
  // theoretical best lap (none when no run has such a lap).
  std::vector<BestSector> bestSectors;
  std::optional<double> theoreticalBest;
  // The theoretical best as a lap to compare against: each sector as its best lap drove it, one after the
  // other (empty without one).
  PlacedLap theoreticalLap;
};

inline constexpr int fewestSectors = 1;
inline constexpr int mostSectors = 100;

// The steps of analyseGhosts, for a caller that holds one run at a time (the board: timed at one line, all of a
// group's laps measured before any is placed):
// Whether the runs make a circuit: some run comes back to its start line.
bool isCircuit(const std::vector<AnalysedRun>& runs);
// On a circuit, a run that sets off from the line and never comes back has not finished its first lap: its
// lines are its start alone.
void endAtSetOff(TimedRun& run, bool circuit);
// Whether a car can have driven each of a run's laps (LapValidity.h), against a median lap time (by default its
// own laps').
void judgeLaps(TimedRun& run, std::optional<double> median = std::nullopt);
// The median lap time of every lap of the runs that cross their start line and follow A's track.
double medianLapOf(const std::vector<AnalysedRun>& runs);
// The laps of runs of one track judged together, against the median of all of them: a run's only lap, or every
// lap of a run, forged is then told from the laps the others drove. Runs without lap lines (laps as equal
// shares of a path) and runs off A's track keep their own.
void judgeLapsTogether(std::vector<AnalysedRun>& runs);
// Every lap of a timed run placed on the reference with its sector times, and the lap it does not finish.
void placeRun(AnalysedRun& run, const ReferenceLap& reference, int sectors);

// ghosts: the runs, the first being A, whose start sets the start line (startLineOf). A run without a path (fewer
// than two frames, no length) has no laps. reference: the lap to place every lap on (a lap the runs hold,
// of a run with lap lines); by default chooseReferenceLap's.
Analysis analyseGhosts(const std::vector<const LoadedGhost*>& ghosts, int sectors = 10,
                       std::optional<LapOfRun> reference = std::nullopt);
Analysis analyseGhosts(const std::vector<LoadedGhost>& ghosts, int sectors = 10,
                       std::optional<LapOfRun> reference = std::nullopt);

// A sector's gain or loss smaller than this is too small to name as the largest (seconds).
inline constexpr double noticeableChange = 0.005;

// Which laps of A and B are compared, lap by lap in order.
struct LapChoice {
  std::optional<int> lap;                   // only this lap of each
  bool best = false;                        // A's best lap against B's best lap
  std::optional<std::pair<int, int>> laps;  // this lap of A against this lap of B (A and B may be one run)
  bool theoretical = false;                 // with laps: the theoretical best lap in place of A's lap
  bool theoreticalB = false;                // with laps: the theoretical best lap in place of B's lap
};

// The laps compared, as the command line chooses them for compare, plot and html: of run a (the reference
// side) against run b.
struct ComparedLaps {
  std::size_t a = 0, b = 1;
  LapChoice laps;
};

struct LapDelta {
  int lapA = 0;
  int lapB = 0;
  double aSeconds = 0.0;
  double bSeconds = 0.0;
  double delta = 0.0;
};

struct SectorDelta {
  int lapA = 0;  // the lap pair's A lap; the pair is laps[pair]
  std::size_t pair = 0;
  int sector = 1;  // from 1
  double from = 0.0;
  double to = 0.0;  // shares of the lap
  double aSeconds = 0.0;
  double bSeconds = 0.0;
  double delta = 0.0;
};

// The lap after the laps compared that one run or both do not finish, compared up to where the first of
// them ends (share of the lap): each run's time there since the lap's start, and B's less A's.
struct UnfinishedDelta {
  int lapA = 0;
  int lapB = 0;
  double share = 0.0;
  double aSeconds = 0.0;
  double bSeconds = 0.0;
  double delta = 0.0;
};

struct Comparison {
  std::size_t a = 0, b = 1;   // indices into Analysis::runs
  bool theoretical = false;   // A's laps are the theoretical best lap (their lapA is 0)
  bool theoreticalB = false;  // B's laps are the theoretical best lap (their lapB is 0)
  std::vector<LapDelta> laps;
  std::vector<SectorDelta> sectors;  // every sector of every lap pair, in order
  double total = 0.0;                // over the laps compared
  // The sectors where B gains and loses the most, when noticeableChange or more, of laps that can have been
  // driven.
  std::optional<SectorDelta> largestGain;
  std::optional<SectorDelta> largestLoss;
  // Comparing every lap: the lap after the laps both complete, as far as both drove it (none when both
  // finish it or either does not set off on it). It is not in total.
  std::optional<UnfinishedDelta> unfinished;
};

// What plot and html say of runs with no lap to compare (one cut inside its first lap), rather than showing
// empty comparisons that read as level runs.
inline constexpr std::string_view nothingCompared = "Nothing can be compared: there is no lap that both complete.";

// The laps compared: the laps both runs complete, or the chosen ones. Empty laps when a chosen lap is
// missing from either run.
Comparison compareRuns(const Analysis& analysis, std::size_t a, std::size_t b, const LapChoice& choice = {});

// Along the laps compared: progress runs from 0 to the number of lap pairs (1.25: a quarter into the
// second pair); A's time there since the comparison's start, the difference there (B's time since the
// start less A's), and each run's speed.
struct TracePoint {
  double progress = 0.0;
  double secondsA = 0.0;
  double secondsB = 0.0;  // B's time there since the comparison's start
  double delta = 0.0;
  double speedA = 0.0;
  double speedB = 0.0;
};
TracePoint traceAt(const Analysis& analysis, const Comparison& comparison, double progress);
// The placed laps of a lap pair: A's (or the theoretical best lap) and B's.
const PlacedLap& placedLapA(const Analysis& analysis, const Comparison& comparison, std::size_t pair);
const PlacedLap& placedLapB(const Analysis& analysis, const Comparison& comparison, std::size_t pair);
std::vector<TracePoint> traceAlong(const Analysis& analysis, const Comparison& comparison, std::size_t count);

// How much slower B is than A around a share of a lap pair, over a short stretch of track: 0.1 is 10% more
// time there, -0.1 10% less.
double paceDifference(const Analysis& analysis, const Comparison& comparison, std::size_t pair, double share);

}  // namespace lumaro_ghost
