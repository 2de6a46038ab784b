#include "tools/ghost/analysis/RunAnalysis.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "plugin/HostNames.h"
#include "tools/ghost/analysis/GhostFileContent.h"
#include "tools/ghost/analysis/GhostHeaderFields.h"
#include "tools/ghost/analysis/SameTrack.h"
#include "track/RaceLine.h"
#include "track/TrackMatch.h"

namespace lumaro_ghost {

namespace {

// A frame's place on the reference is searched this far ahead of the last place, besides a few times its
// own step: room for a line a car's width or two to the side of the reference, which meets it at another
// distance along it.
constexpr double placeSearch = 400.0;
constexpr std::size_t mostSegmentsSearched = 4096;
// The reference lap keeps a point at most every this many units of its path: a run sampled far more densely
// (a slow lap over a million ticks) is placed as exactly, since a chord this short leaves a bend of a hundred
// units' radius by 0.02 units, but each placement then searches a hundred segments, not thousands. A car at
// racing speed every 8 ms moves further than this: no frame of a recorded lap is left out.
constexpr double referenceSpacing = 4.0;
// Runs of different lines, ticks and phases are matched to within a few milliseconds a sector: a sector that
// changes the difference by less than this has neither gained nor lost, and is never named the largest.
// The stretch of the lap over which paceDifference compares the runs.
constexpr double paceStretch = 0.005;
// Two runs set off the same way when their directions are at most 60 degrees apart (the cosine between them).
constexpr double sameWay = 0.5;

MapPoint flat(const GhostFrame& frame) { return {frame.x, frame.y}; }

double interpolate(double from, double to, double share) { return from + share * (to - from); }

// The value of ys at x, for xs non-decreasing: where xs stands still, the first y.
double valueAt(const std::vector<double>& xs, const std::vector<double>& ys, double x) {
  const auto found = std::lower_bound(xs.begin(), xs.end(), x);
  if (found == xs.begin()) return ys.front();
  if (found == xs.end()) return ys.back();
  const auto i = static_cast<std::size_t>(found - xs.begin());
  return interpolate(ys[i - 1], ys[i], (x - xs[i - 1]) / (xs[i] - xs[i - 1]));
}

// Every crossing of the line that counts, with the distance along the run's own path at each: between frames,
// interpolated; at the ends, the first or last frame's carried on along the line's heading.
std::vector<LineCrossing> crossingsOf(TimedRun& run, const RaceLine& line) {
  std::vector<LineCrossing> crossings;
  RaceLineCrossings walk(line, run.frames);
  while (const std::optional<RaceLineCrossing> crossing = walk.next()) {
    const std::size_t i = crossing->frame;
    const double distance = i == 0 ? crossing->carried
                            : i == run.frames.size()
                                ? run.distance.back() + crossing->carried
                                : interpolate(run.distance[i - 1], run.distance[i], crossing->share);
    crossings.push_back({crossing->seconds, distance, i});
  }
  run.wentAway = walk.wentAway();
  return crossings;
}

// The point of a run at a distance along its path, and the time and speed there.
struct RunAt {
  MapPoint point;
  double seconds = 0.0;
  double speed = 0.0;
};

RunAt runAt(const TimedRun& run, double distance) {
  const auto& d = run.distance;
  if (d.size() < 2) return {flat(run.frames.front()), run.seconds.front(), run.speed.front()};
  // The frames on either side; before the first or past the last, the nearest two, carried on.
  const auto found = std::lower_bound(d.begin(), d.end(), distance);
  const auto i = std::clamp<std::size_t>(static_cast<std::size_t>(found - d.begin()), 1, d.size() - 1);
  const double share = d[i] > d[i - 1] ? (distance - d[i - 1]) / (d[i] - d[i - 1]) : 1.0;
  return {{interpolate(run.frames[i - 1].x, run.frames[i].x, share),
           interpolate(run.frames[i - 1].y, run.frames[i].y, share)},
          interpolate(run.seconds[i - 1], run.seconds[i], share),
          interpolate(run.speed[i - 1], run.speed[i], std::clamp(share, 0.0, 1.0))};
}

// The theoretical best lap as one placed lap: every sector's points from the lap that drove it best, each
// sector's times carried on from where the sectors before it ended.
PlacedLap theoreticalLapOf(const Analysis& analysis) {
  PlacedLap lap;
  double before = 0.0;
  for (std::size_t sector = 0; sector < analysis.bestSectors.size(); ++sector) {
    const BestSector& best = analysis.bestSectors[sector];
    const PlacedLap& from = analysis.runs[best.run].laps[static_cast<std::size_t>(best.lap - 1)];
    const double start = static_cast<double>(sector) / analysis.sectors;
    const double end = static_cast<double>(sector + 1) / analysis.sectors;
    const double startSeconds = from.secondsAt(start);
    auto add = [&](double share, double seconds, double speed, std::size_t frame) {
      lap.share.push_back(share);
      lap.seconds.push_back(before + seconds - startSeconds);
      lap.speed.push_back(speed);
      lap.frame.push_back(frame);
    };
    const auto first =
        static_cast<std::size_t>(std::upper_bound(from.share.begin(), from.share.end(), start) - from.share.begin());
    add(start, startSeconds, from.speedAt(start), from.frame[first > 0 ? first - 1 : 0]);
    for (std::size_t i = first; i < from.share.size() && from.share[i] < end; ++i)
      add(from.share[i], from.seconds[i], from.speed[i], from.frame[i]);
    if (sector + 1 == analysis.bestSectors.size()) add(end, from.secondsAt(end), from.speedAt(end), from.frame.back());
    before += best.seconds;
  }
  return lap;
}

// The lap a run sets off on and does not finish, placed as far as it drove it: its last frame ends it.
std::optional<PlacedLap> placeUnfinishedLap(const ReferenceLap& reference, const TimedRun& run) {
  if (!run.endsInsideALap() || reference.points.size() < 2) return std::nullopt;
  TimedRun upToItsEnd = run;
  upToItsEnd.lines.push_back({run.seconds.back(), run.distance.back(), run.frames.size()});
  PlacedLap placed = placeLap(reference, upToItsEnd, upToItsEnd.laps());
  // The point placing adds at a lap's end crossing stands at the lap's end: the run never got there.
  placed.share.pop_back(), placed.seconds.pop_back(), placed.speed.pop_back(), placed.frame.pop_back();
  if (placed.share.size() < 2) return std::nullopt;
  return placed;
}

// The lap after those both runs complete, up to where the first of them to stop stops on it.
std::optional<UnfinishedDelta> unfinishedDelta(const AnalysedRun& a, const AnalysedRun& b) {
  const std::size_t done = std::min(a.laps.size(), b.laps.size());
  if (!a.onTrack || !b.onTrack) return std::nullopt;
  const bool aStops = a.laps.size() == done && a.unfinished, bStops = b.laps.size() == done && b.unfinished;
  const bool aGoesOn = a.laps.size() > done || aStops, bGoesOn = b.laps.size() > done || bStops;
  if (!(aStops || bStops) || !aGoesOn || !bGoesOn) return std::nullopt;
  const PlacedLap& lapA = aStops ? *a.unfinished : a.laps[done];
  const PlacedLap& lapB = bStops ? *b.unfinished : b.laps[done];
  UnfinishedDelta delta;
  delta.lapA = delta.lapB = static_cast<int>(done) + 1;
  delta.share = std::min(aStops ? a.reached() : 1.0, bStops ? b.reached() : 1.0);
  delta.aSeconds = lapA.secondsAt(delta.share);
  delta.bSeconds = lapB.secondsAt(delta.share);
  delta.delta = delta.bSeconds - delta.aSeconds;
  return delta;
}

}  // namespace

std::optional<RaceLine> startLineOf(const std::vector<const LoadedGhost*>& ghosts) {
  if (ghosts.empty()) return std::nullopt;
  const std::span<const GhostFrame> a = ghosts.front()->content.frames;
  std::optional<RaceLine> line = raceLineOf(a);
  if (!line) return line;
  // The map's line lies at most one of A's steps behind A's first frame: a first frame farther back is not of a
  // recording that started there.
  const double firstStep = line->along(a[1]);
  double back = 0.0;
  for (std::size_t r = 1; r < ghosts.size(); ++r) {
    const std::span<const GhostFrame> frames = ghosts[r]->content.frames;
    const std::optional<RaceLine> own = raceLineOf(frames);
    if (!own || own->heading.x * line->heading.x + own->heading.y * line->heading.y < sameWay) continue;
    const double along = line->along(frames.front());
    if (along < back && along >= -firstStep && line->reaches(frames.front().x, frames.front().y)) back = along;
  }
  line->at = {line->at.x + back * line->heading.x, line->at.y + back * line->heading.y};
  return line;
}

int TimedRun::bestLap() const {
  int best = 0;
  for (int lap = 1; lap <= laps(); ++lap) {
    if (driven(lap) && (best == 0 || lapSeconds(lap) < lapSeconds(best))) best = lap;
  }
  return best;
}

TimedRun timeRun(std::span<const GhostFrame> frames, const RunProfile& profile, const std::optional<RaceLine>& line,
                 int headerLaps) {
  TimedRun run;
  run.frames = frames;
  run.lapsNamed = headerLaps;
  run.distance = profile.distance;
  run.speed = profile.speed;
  run.seconds.reserve(frames.size());
  for (std::size_t i = 0; i < frames.size(); ++i) run.seconds.push_back(raceSecondsOf(frames, i));
  // A run that never moves has no path to cut into laps, and so no lap and no sector times.
  if (frames.size() < 2 || !std::isfinite(profile.length) || profile.length <= 0.0) return run;
  std::vector<LineCrossing> crossings = line ? crossingsOf(run, *line) : std::vector<LineCrossing>();
  run.crossingsFound = crossings.empty() ? 0 : static_cast<int>(crossings.size()) - 1;
  if (crossings.size() == 1) run.setOff = crossings.front();
  if (crossings.size() >= 2) {
    run.lines = std::move(crossings);
    run.lapLinesFound = true;
    judgeLaps(run);
    return run;
  }
  // No lap line: equal shares of the path, from its first frame to its last, no more of them than a page can
  // choose laps (a shared file's header may name any number).
  const int laps = std::clamp(headerLaps, fewestLaps, mostLaps);
  for (int lap = 0; lap <= laps; ++lap) {
    const double distance = profile.length * lap / laps;
    const auto found = std::lower_bound(run.distance.begin(), run.distance.end(), distance);
    const auto frame = static_cast<std::size_t>(found - run.distance.begin());
    run.lines.push_back({runAt(run, distance).seconds, distance, lap == laps ? frames.size() : frame});
  }
  judgeLaps(run);
  return run;
}

MapPoint ReferenceLap::pointAt(double share) const {
  if (points.empty()) return {};
  const double distance = std::clamp(share, 0.0, 1.0) * length();
  const auto found = std::lower_bound(along.begin(), along.end(), distance);
  if (found == along.begin()) return points.front();
  if (found == along.end()) return points.back();
  const auto i = static_cast<std::size_t>(found - along.begin());
  const double t = (distance - along[i - 1]) / (along[i] - along[i - 1]);
  return {interpolate(points[i - 1].x, points[i].x, t), interpolate(points[i - 1].y, points[i].y, t)};
}

MapPoint ReferenceLap::headingAt(double share) const {
  const double step = length() > 0.0 ? std::min(0.002, 100.0 / length()) : 0.0;
  const MapPoint a = pointAt(share - step), b = pointAt(share + step);
  const double norm = std::hypot(b.x - a.x, b.y - a.y);
  return norm > 0.0 ? MapPoint{(b.x - a.x) / norm, (b.y - a.y) / norm} : MapPoint{1.0, 0.0};
}

ReferenceLap referenceLap(const TimedRun& run, int lap) {
  ReferenceLap reference;
  if (!run.lapLinesFound || lap < 1 || lap > run.laps()) return reference;
  const LineCrossing& from = run.lines[static_cast<std::size_t>(lap - 1)];
  const LineCrossing& to = run.lines[static_cast<std::size_t>(lap)];
  // Each point keeps its distance along the run's own path, so thinning leaves the lap's length as it was.
  auto add = [&](MapPoint point, double distance, bool end) {
    const double along = distance - from.distance;
    if (!reference.along.empty() && along <= reference.along.back()) return;
    if (!reference.along.empty() && along < reference.along.back() + referenceSpacing) {
      if (!end) return;
      // The end crossing takes the place of the point just before it, never of the start.
      if (reference.along.size() > 1) reference.points.pop_back(), reference.along.pop_back();
    }
    reference.points.push_back(point);
    reference.along.push_back(along);
  };
  add(runAt(run, from.distance).point, from.distance, false);
  for (std::size_t i = from.frame; i < to.frame && i < run.frames.size(); ++i)
    add(flat(run.frames[i]), run.distance[i], false);
  add(runAt(run, to.distance).point, to.distance, true);
  if (reference.points.size() < 2) return {};
  reference.longestSegment = 0.0;
  for (std::size_t i = 1; i < reference.points.size(); ++i) {
    const MapPoint& a = reference.points[i - 1];
    const MapPoint& b = reference.points[i];
    reference.segmentLengths.push_back(segmentLength({a.x, a.y}, {b.x, b.y}));
    reference.longestSegment = std::max(reference.longestSegment, reference.segmentLengths.back());
  }
  return reference;
}

double PlacedLap::secondsAt(double at) const { return valueAt(share, seconds, at); }
double PlacedLap::speedAt(double at) const { return valueAt(share, speed, at); }

PlacedLap placeLap(const ReferenceLap& reference, const TimedRun& run, int lap) {
  PlacedLap placed;
  placed.lap = lap;
  const LineCrossing& from = run.lines[static_cast<std::size_t>(lap - 1)];
  const LineCrossing& to = run.lines[static_cast<std::size_t>(lap)];
  const double lapLength = to.distance - from.distance;
  auto add = [&](double share, double seconds, double speed, std::size_t frame) {
    placed.share.push_back(std::clamp(share, placed.share.empty() ? 0.0 : placed.share.back(), 1.0));
    placed.seconds.push_back(seconds);
    placed.speed.push_back(speed);
    placed.frame.push_back(frame);
  };
  const RunAt start = runAt(run, from.distance);
  add(0.0, 0.0, start.speed, from.frame);
  const bool onReference = reference.points.size() >= 2 && run.lapLinesFound && reference.length() > 0.0;
  PathPlace place;
  double last = 0.0;
  for (std::size_t i = from.frame; i < to.frame && i < run.frames.size(); ++i) {
    double share = lapLength > 0.0 ? (run.distance[i] - from.distance) / lapLength : 0.0;
    if (onReference) {
      const double step = i > 0 ? run.distance[i] - run.distance[i - 1] : 0.0;
      const double scale = lapLength > 0.0 ? reference.length() / lapLength : 1.0;
      const PathWindow window{3.0 * step * scale + placeSearch, mostSegmentsSearched,
                              std::numeric_limits<double>::infinity(), reference.segmentLengths,
                              reference.longestSegment};
      place = matchAhead(reference.points, place, {run.frames[i].x, run.frames[i].y}, window).place;
      const double along = interpolate(reference.along[place.segment], reference.along[place.segment + 1], place.share);
      last = std::min(std::max(along, last), reference.length());
      share = last / reference.length();
    }
    add(share, run.seconds[i] - from.seconds, run.speed[i], i);
  }
  add(1.0, to.seconds - from.seconds, runAt(run, to.distance).speed, to.frame);
  return placed;
}

std::optional<LapOfRun> chooseReferenceLap(const std::vector<AnalysedRun>& runs) {
  struct Candidate {
    double length;
    LapOfRun lap;
  };
  std::vector<Candidate> laps, driven;
  for (std::size_t r = 0; r < runs.size(); ++r) {
    const TimedRun& run = runs[r].timed;
    if (!run.lapLinesFound || !runs[r].onTrack) continue;
    for (int lap = 1; lap <= run.laps(); ++lap) {
      const double length =
          run.lines[static_cast<std::size_t>(lap)].distance - run.lines[static_cast<std::size_t>(lap - 1)].distance;
      laps.push_back({length, {r, lap}});
      if (run.driven(lap)) driven.push_back(laps.back());
    }
  }
  // A lap no car drove (frames that jump ahead and back over the line) is no yardstick while another is there.
  if (!driven.empty()) laps = std::move(driven);
  if (laps.empty()) return std::nullopt;
  // A stable sort keeps laps of equal length in the runs' order and the laps' order.
  std::stable_sort(laps.begin(), laps.end(),
                   [](const Candidate& a, const Candidate& b) { return a.length < b.length; });
  return laps[(laps.size() - 1) / 2].lap;
}

Analysis analyseGhosts(const std::vector<LoadedGhost>& ghosts, int sectors, std::optional<LapOfRun> reference) {
  std::vector<const LoadedGhost*> runs;
  runs.reserve(ghosts.size());
  for (const LoadedGhost& ghost : ghosts) runs.push_back(&ghost);
  return analyseGhosts(runs, sectors, reference);
}

// Whether a car can have driven each of a run's laps, against a median lap time (by default its own laps').
void judgeLaps(TimedRun& run, std::optional<double> median) {
  std::vector<double> seconds;
  for (int lap = 1; lap <= run.laps(); ++lap) seconds.push_back(run.lapSeconds(lap));
  run.medianLap = median ? *median : medianLapSeconds(seconds);
  run.lapFaults.clear();
  for (const double lap : seconds) run.lapFaults.push_back(judgeLap(lap, run.medianLap));
}

double medianLapOf(const std::vector<AnalysedRun>& runs) {
  std::vector<double> seconds;
  for (const AnalysedRun& run : runs) {
    if (!run.timed.lapLinesFound || !run.onTrack) continue;
    for (int lap = 1; lap <= run.timed.laps(); ++lap) seconds.push_back(run.timed.lapSeconds(lap));
  }
  return medianLapSeconds(seconds);
}

void judgeLapsTogether(std::vector<AnalysedRun>& runs) {
  const double median = medianLapOf(runs);
  for (AnalysedRun& run : runs) {
    if (run.timed.lapLinesFound && run.onTrack) judgeLaps(run.timed, median);
  }
}

bool isCircuit(const std::vector<AnalysedRun>& runs) {
  return std::any_of(runs.begin(), runs.end(), [](const AnalysedRun& run) { return run.timed.crossingsFound > 0; });
}

void endAtSetOff(TimedRun& run, bool circuit) {
  if (!circuit || !run.setOff) return;
  run.lines = {*run.setOff};
  run.lapLinesFound = true;
  judgeLaps(run);
}

void placeRun(AnalysedRun& run, const ReferenceLap& reference, int sectors) {
  for (int lap = 1; lap <= run.timed.laps(); ++lap) {
    PlacedLap placed = placeLap(reference, run.timed, lap);
    std::vector<double> times;
    for (int sector = 0; sector < sectors; ++sector) {
      const double from = static_cast<double>(sector) / sectors;
      const double to = static_cast<double>(sector + 1) / sectors;
      times.push_back(placed.secondsAt(to) - placed.secondsAt(from));
    }
    run.laps.push_back(std::move(placed));
    run.sectorSeconds.push_back(std::move(times));
  }
  run.unfinished = placeUnfinishedLap(reference, run.timed);
}

Analysis analyseGhosts(const std::vector<const LoadedGhost*>& ghosts, int sectors, std::optional<LapOfRun> reference) {
  Analysis analysis;
  analysis.sectors = std::clamp(sectors, fewestSectors, mostSectors);
  if (ghosts.empty()) return analysis;
  analysis.line = startLineOf(ghosts);
  for (const LoadedGhost* ghost : ghosts) {
    AnalysedRun run;
    run.timed = timeRun(ghost->content.frames, ghost->profile, analysis.line, ghost->laps());
    if (!analysis.runs.empty()) {
      run.offTrack = shareApart(ghosts.front()->content.frames, ghost->content.frames);
      run.onTrack = run.offTrack <= mostOffTrack;
    }
    analysis.runs.push_back(std::move(run));
  }
  // Once a run comes back to the line the track is a circuit: a run that sets off from the line and never
  // comes back has not finished its first lap, whatever share of the path it drove.
  const bool circuit = isCircuit(analysis.runs);
  for (AnalysedRun& run : analysis.runs) endAtSetOff(run.timed, circuit);
  judgeLapsTogether(analysis.runs);
  const bool given = reference && reference->run < analysis.runs.size() &&
                     analysis.runs[reference->run].timed.lapLinesFound && reference->lap >= 1 &&
                     reference->lap <= analysis.runs[reference->run].timed.laps();
  analysis.referenceLap = given ? reference : chooseReferenceLap(analysis.runs);
  analysis.referenceGiven = given;
  if (analysis.referenceLap)
    analysis.reference = referenceLap(analysis.runs[analysis.referenceLap->run].timed, analysis.referenceLap->lap);
  if (analysis.reference.points.empty()) analysis.referenceLap.reset();
  for (std::size_t r = 0; r < analysis.runs.size(); ++r) {
    AnalysedRun& run = analysis.runs[r];
    placeRun(run, analysis.reference, analysis.sectors);
    for (int lap = 1; lap <= run.timed.laps(); ++lap) {
      for (int sector = 0; sector < analysis.sectors; ++sector) {
        if (!run.timed.driven(lap) || !run.onTrack) break;
        const double seconds = run.sectorSeconds[static_cast<std::size_t>(lap - 1)][static_cast<std::size_t>(sector)];
        if (analysis.bestSectors.size() <= static_cast<std::size_t>(sector)) {
          analysis.bestSectors.push_back({seconds, r, lap});
        } else if (seconds < analysis.bestSectors[static_cast<std::size_t>(sector)].seconds) {
          analysis.bestSectors[static_cast<std::size_t>(sector)] = {seconds, r, lap};
        }
      }
    }
  }
  if (!analysis.bestSectors.empty()) {
    double sum = 0.0;
    for (const BestSector& best : analysis.bestSectors) sum += best.seconds;
    analysis.theoreticalBest = sum;
    analysis.theoreticalLap = theoreticalLapOf(analysis);
  }
  return analysis;
}

Comparison compareRuns(const Analysis& analysis, std::size_t a, std::size_t b, const LapChoice& choice) {
  Comparison comparison;
  comparison.a = a, comparison.b = b;
  const AnalysedRun& runA = analysis.runs[a];
  const AnalysedRun& runB = analysis.runs[b];
  const int lapsA = static_cast<int>(runA.laps.size()), lapsB = static_cast<int>(runB.laps.size());
  std::vector<std::pair<int, int>> pairs;
  comparison.theoretical = choice.laps && choice.theoretical;
  comparison.theoreticalB = choice.laps && choice.theoreticalB && !comparison.theoretical;
  const bool hasTheoretical = !analysis.theoreticalLap.share.empty();
  if (comparison.theoretical) {
    const int lapB = choice.laps->second;
    if (hasTheoretical && lapB >= 1 && lapB <= lapsB) pairs.emplace_back(0, lapB);
  } else if (comparison.theoreticalB) {
    const int lapA = choice.laps->first;
    if (hasTheoretical && lapA >= 1 && lapA <= lapsA) pairs.emplace_back(lapA, 0);
  } else if (choice.laps) {
    const auto [lapA, lapB] = *choice.laps;
    if (lapA >= 1 && lapA <= lapsA && lapB >= 1 && lapB <= lapsB) pairs.emplace_back(lapA, lapB);
  } else if (choice.best) {
    if (runA.timed.bestLap() > 0 && runB.timed.bestLap() > 0)
      pairs.emplace_back(runA.timed.bestLap(), runB.timed.bestLap());
  } else if (choice.lap) {
    if (*choice.lap >= 1 && *choice.lap <= std::min(lapsA, lapsB)) pairs.emplace_back(*choice.lap, *choice.lap);
  } else {
    for (int lap = 1; lap <= std::min(lapsA, lapsB); ++lap) pairs.emplace_back(lap, lap);
    comparison.unfinished = unfinishedDelta(runA, runB);
  }
  for (const auto& [lapA, lapB] : pairs) {
    // A sector of a lap no car drove is no place where B gained or lost.
    const bool driven = (lapA == 0 || runA.timed.driven(lapA)) && (lapB == 0 || runB.timed.driven(lapB));
    const PlacedLap& placedA =
        comparison.theoretical ? analysis.theoreticalLap : runA.laps[static_cast<std::size_t>(lapA - 1)];
    const PlacedLap& placedB =
        comparison.theoreticalB ? analysis.theoreticalLap : runB.laps[static_cast<std::size_t>(lapB - 1)];
    const double aSeconds = placedA.lapSeconds(), bSeconds = placedB.lapSeconds();
    comparison.laps.push_back({lapA, lapB, aSeconds, bSeconds, bSeconds - aSeconds});
    comparison.total += bSeconds - aSeconds;
    for (int sector = 1; sector <= analysis.sectors; ++sector) {
      SectorDelta delta;
      delta.lapA = lapA;
      delta.pair = comparison.laps.size() - 1;
      delta.sector = sector;
      delta.from = static_cast<double>(sector - 1) / analysis.sectors;
      delta.to = static_cast<double>(sector) / analysis.sectors;
      delta.aSeconds =
          comparison.theoretical
              ? analysis.bestSectors[static_cast<std::size_t>(sector - 1)].seconds
              : runA.sectorSeconds[static_cast<std::size_t>(lapA - 1)][static_cast<std::size_t>(sector - 1)];
      delta.bSeconds =
          comparison.theoreticalB
              ? analysis.bestSectors[static_cast<std::size_t>(sector - 1)].seconds
              : runB.sectorSeconds[static_cast<std::size_t>(lapB - 1)][static_cast<std::size_t>(sector - 1)];
      delta.delta = delta.bSeconds - delta.aSeconds;
      if (driven && delta.delta <= -noticeableChange &&
          (!comparison.largestGain || delta.delta < comparison.largestGain->delta)) {
        comparison.largestGain = delta;
      }
      if (driven && delta.delta >= noticeableChange &&
          (!comparison.largestLoss || delta.delta > comparison.largestLoss->delta)) {
        comparison.largestLoss = delta;
      }
      comparison.sectors.push_back(delta);
    }
  }
  return comparison;
}

const PlacedLap& placedLapA(const Analysis& analysis, const Comparison& comparison, std::size_t pair) {
  if (comparison.theoretical) return analysis.theoreticalLap;
  return analysis.runs[comparison.a].laps[static_cast<std::size_t>(comparison.laps[pair].lapA - 1)];
}

const PlacedLap& placedLapB(const Analysis& analysis, const Comparison& comparison, std::size_t pair) {
  if (comparison.theoreticalB) return analysis.theoreticalLap;
  return analysis.runs[comparison.b].laps[static_cast<std::size_t>(comparison.laps[pair].lapB - 1)];
}

TracePoint traceAt(const Analysis& analysis, const Comparison& comparison, double progress) {
  TracePoint point;
  point.progress = progress;
  if (comparison.laps.empty()) return point;
  const auto pairs = static_cast<double>(comparison.laps.size());
  progress = std::clamp(progress, 0.0, pairs);
  const auto pair = std::min(static_cast<std::size_t>(progress), comparison.laps.size() - 1);
  const double share = progress - static_cast<double>(pair);
  double before = 0.0, aBefore = 0.0;
  for (std::size_t i = 0; i < pair; ++i) before += comparison.laps[i].delta, aBefore += comparison.laps[i].aSeconds;
  const PlacedLap& a = placedLapA(analysis, comparison, pair);
  const PlacedLap& b = placedLapB(analysis, comparison, pair);
  point.secondsA = aBefore + a.secondsAt(share);
  point.delta = before + b.secondsAt(share) - a.secondsAt(share);
  point.secondsB = point.secondsA + point.delta;
  point.speedA = a.speedAt(share);
  point.speedB = b.speedAt(share);
  return point;
}

std::vector<TracePoint> traceAlong(const Analysis& analysis, const Comparison& comparison, std::size_t count) {
  std::vector<TracePoint> trace;
  const auto end = static_cast<double>(comparison.laps.size());
  for (std::size_t i = 0; i < count; ++i) {
    const double progress = count == 1 ? end : end * static_cast<double>(i) / static_cast<double>(count - 1);
    trace.push_back(traceAt(analysis, comparison, progress));
  }
  return trace;
}

double paceDifference(const Analysis& analysis, const Comparison& comparison, std::size_t pair, double share) {
  if (pair >= comparison.laps.size()) return 0.0;
  const PlacedLap& a = placedLapA(analysis, comparison, pair);
  const PlacedLap& b = placedLapB(analysis, comparison, pair);
  const double from = std::clamp(share - paceStretch, 0.0, 1.0 - 2 * paceStretch);
  const double to = from + 2 * paceStretch;
  const double aSeconds = a.secondsAt(to) - a.secondsAt(from);
  const double bSeconds = b.secondsAt(to) - b.secondsAt(from);
  return aSeconds > 0.0 ? bSeconds / aSeconds - 1.0 : 0.0;
}

}  // namespace lumaro_ghost
