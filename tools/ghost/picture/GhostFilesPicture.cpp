#include "tools/ghost/picture/GhostFilesPicture.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <span>
#include <utility>

#include "library/ghostfile/GhostFrame.h"
#include "tools/ghost/analysis/GhostFileContent.h"
#include "tools/ghost/analysis/GhostHeaderFields.h"
#include "tools/ghost/analysis/RunProfile.h"
#include "tools/ghost/picture/PictureStyle.h"
#include "tools/ghost/report/CompareReport.h"
#include "tools/ghost/text/NumberText.h"
#include "track/RaceLine.h"
#include "track/TrackMatch.h"

namespace lumaro_ghost {

namespace {

std::string letter(std::size_t i) { return std::string(1, static_cast<char>('A' + i % 26)); }

// laps: what is compared, when not every lap (", lap 2", ", B's lap 3 against A's lap 2").
std::string pictureTitle(const std::vector<LoadedGhost>& ghosts, bool compared, const std::string& laps) {
  std::string title = compared ? "Lumaro ghost comparison" : "Lumaro ghost runs";
  // Every map the runs name, in order, so that runs of different maps are not shown as one map's.
  std::vector<std::string> maps;
  for (const LoadedGhost& ghost : ghosts) {
    const std::string& map = ghost.header.mapName;
    if (!map.empty() && std::find(maps.begin(), maps.end(), map) == maps.end()) maps.push_back(map);
  }
  for (std::size_t i = 0; i < maps.size(); ++i) title += (i == 0 ? ": " : ", ") + maps[i];
  return title + laps;
}

std::string caption(const LoadedGhost& ghost) {
  return runCaption(ghost) + ", " + std::to_string(ghost.content.frames.size()) + " frames";
}

// The frames of one lap of a run, or of all of it.
std::pair<std::size_t, std::size_t> framesOf(const TimedRun& run, std::optional<int> lap) {
  if (!lap || *lap > run.laps()) return {0, run.frames.size()};
  const std::size_t from = run.lines[static_cast<std::size_t>(*lap - 1)].frame;
  const std::size_t to = std::min(run.lines[static_cast<std::size_t>(*lap)].frame + 1, run.frames.size());
  return {std::min(from, to), to};
}

// A placed lap's points on the map: each point's frame (a crossing's frame past it, at most the last).
std::vector<MapPoint> lapLine(const TimedRun& run, const PlacedLap& lap) {
  std::vector<MapPoint> line;
  line.reserve(lap.frame.size());
  for (const std::size_t frame : lap.frame) {
    const GhostFrame& at = run.frames[std::min(frame, run.frames.size() - 1)];
    line.push_back({at.x, at.y});
  }
  return line;
}

// A side of a lap pair: "A's lap 2", "T" for the theoretical best lap.
std::string sideLap(const Comparison& comparison, std::size_t pair, bool a) {
  const LapDelta& laps = comparison.laps[pair];
  if (a ? comparison.theoretical : comparison.theoreticalB) return "T";
  return letter(a ? comparison.a : comparison.b) + "'s lap " + std::to_string(a ? laps.lapA : laps.lapB);
}

// A side's name with the file it is of: "A (My-PB.ghost)", "B's lap 3 (Friend.ghost)".
std::string sideWithFile(const std::vector<LoadedGhost>& ghosts, const Comparison& comparison, bool named, bool a) {
  if (a ? comparison.theoretical : comparison.theoreticalB) return "the theoretical best lap (T)";
  const std::size_t run = a ? comparison.a : comparison.b;
  return (named ? sideLap(comparison, 0, a) : letter(run)) + " (" + ghosts[run].fileName + ")";
}

// What the laps compared are: lap for lap, or a pair of laps the user named.
bool lapForLap(const Comparison& comparison, const LapChoice& choice) {
  return !choice.laps && !choice.best && comparison.a != comparison.b;
}

std::string lapPlace(const Comparison& comparison, const LapChoice& choice, const SectorDelta& sector) {
  const std::string range = percentText(sector.from) + "\xE2\x80\x93" + percentText(sector.to);
  if (lapForLap(comparison, choice)) return "lap " + std::to_string(sector.lapA) + ", " + range;
  return sideLap(comparison, sector.pair, false) + " against " + sideLap(comparison, sector.pair, true) + ", " + range;
}

// A side's line on the map over a placed lap: its run's frames, or the reference lap's path for the theoretical
// best lap (whose sectors are of several laps).
std::vector<MapPoint> sideLine(const Analysis& analysis, const PlacedLap& lap, const TimedRun* run) {
  if (run != nullptr) return lapLine(*run, lap);
  std::vector<MapPoint> line;
  for (const double share : lap.share) line.push_back(analysis.reference.pointAt(share));
  return line;
}

ComparisonMap comparisonMap(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis,
                            const Comparison& comparison, const LapChoice& choice) {
  ComparisonMap map;
  const bool named = !lapForLap(comparison, choice) && !comparison.laps.empty();
  map.sideA = columnName(comparison, choice, true), map.sideB = columnName(comparison, choice, false);
  for (const bool a : {true, false}) {
    std::string& title = a ? map.titleA : map.titleB;
    std::string& text = a ? map.captionA : map.captionB;
    const std::size_t run = a ? comparison.a : comparison.b;
    if (a ? comparison.theoretical : comparison.theoreticalB) {
      // No run's file: the best of each sector, of whichever lap drove it best.
      title = "T: the theoretical best lap";
      text = "the best of each sector over every lap of the runs" +
             (analysis.theoreticalBest ? ", " + fixedText(*analysis.theoreticalBest, 3) + " s" : std::string());
    } else {
      title = (named ? sideLap(comparison, 0, a) : letter(run)) + ": " + ghosts[run].fileName;
      text = caption(ghosts[run]);
    }
  }
  const AnalysedRun& a = analysis.runs[comparison.a];
  const AnalysedRun& b = analysis.runs[comparison.b];
  for (std::size_t pair = 0; pair < comparison.laps.size(); ++pair) {
    const PlacedLap& lapA = placedLapA(analysis, comparison, pair);
    const PlacedLap& lapB = placedLapB(analysis, comparison, pair);
    map.lineA.push_back(sideLine(analysis, lapA, comparison.theoretical ? nullptr : &a.timed));
    map.lineB.push_back(sideLine(analysis, lapB, comparison.theoreticalB ? nullptr : &b.timed));
    std::vector<double> pace;
    pace.reserve(lapB.share.size());
    for (const double share : lapB.share) pace.push_back(paceDifference(analysis, comparison, pair, share));
    map.paceB.push_back(std::move(pace));
  }
  const ReferenceLap& reference = analysis.reference;
  if (!reference.points.empty()) {
    for (int sector = 0; sector < analysis.sectors; ++sector) {
      const double from = static_cast<double>(sector) / analysis.sectors;
      map.sectors.push_back({reference.pointAt(from), reference.headingAt(from),
                             reference.pointAt(from + 0.5 / analysis.sectors), sector + 1});
    }
    if (comparison.largestLoss) {
      const SectorDelta& loss = *comparison.largestLoss;
      for (int i = 0; i <= 20; ++i)
        map.largestLoss.push_back(reference.pointAt(loss.from + (loss.to - loss.from) * i / 20));
      // And both lines as driven over it: a wide excursion there lies far from the reference.
      for (const auto& line : {std::pair{&map.lineA, &placedLapA(analysis, comparison, loss.pair)},
                               std::pair{&map.lineB, &placedLapB(analysis, comparison, loss.pair)}}) {
        const std::vector<MapPoint>& points = (*line.first)[loss.pair];
        for (std::size_t i = 0; i < points.size() && i < line.second->share.size(); ++i) {
          if (line.second->share[i] >= loss.from && line.second->share[i] <= loss.to)
            map.largestLoss.push_back(points[i]);
        }
      }
      map.largestLossLabel =
          "largest loss " + fixedText(loss.delta, 3) + " s (" + lapPlace(comparison, choice, loss) + ")";
    }
  }
  const GhostFrame& first = ghosts[0].content.frames.front();
  map.start = reference.points.empty() ? MapPoint{first.x, first.y} : reference.points.front();
  if (analysis.line) map.heading = {analysis.line->heading.x, analysis.line->heading.y};
  return map;
}

// The shaded stretch of a sector in the difference panel; who: the run it is of, with three runs or more.
std::optional<TracePanel::Band> band(const Comparison& comparison, const LapChoice& choice,
                                     const std::optional<SectorDelta>& sector, const std::string& what,
                                     const std::string& who = "") {
  if (!sector) return std::nullopt;
  const auto pair = static_cast<double>(sector->pair);
  return TracePanel::Band{
      pair + sector->from, pair + sector->to,
      what + " " + fixedText(std::fabs(sector->delta), 3) + " s (" + who + lapPlace(comparison, choice, *sector) + ")"};
}

TracePanel tracePanel(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis, const Comparison& comparison,
                      const LapChoice& choice) {
  TracePanel trace;
  const bool named = !lapForLap(comparison, choice) && !comparison.laps.empty();
  trace.letterA = columnName(comparison, choice, true);
  trace.letterB = columnName(comparison, choice, false);
  trace.nameA = sideWithFile(ghosts, comparison, named, true);
  trace.nameB = sideWithFile(ghosts, comparison, named, false);
  trace.trace = traceAlong(analysis, comparison, traceSampleCount);
  trace.sectors = analysis.sectors;
  trace.total = comparison.total;
  // Laps compared short of the laps a header names end at a lap line, not at the finish.
  if (!comparison.laps.empty() &&
      static_cast<int>(comparison.laps.size()) < std::max(ghosts[comparison.a].laps(), ghosts[comparison.b].laps()))
    trace.endName = "end of lap " + std::to_string(comparison.laps.back().lapA);
  if (choice.lap) trace.endName = "end of lap " + std::to_string(*choice.lap);
  if (named) trace.endName = "end of the laps";
  for (std::size_t pair = 0; pair < comparison.laps.size(); ++pair) {
    trace.pairLabels.push_back(named ? sideLap(comparison, pair, false) + ", " + sideLap(comparison, pair, true)
                                     : "lap " + std::to_string(comparison.laps[pair].lapA));
  }
  trace.largestGain = band(comparison, choice, comparison.largestGain, "largest gain");
  trace.largestLoss = band(comparison, choice, comparison.largestLoss, "largest loss");
  return trace;
}

// The sector of the largest gain or loss of a comparison over its first laps lap pairs, those drawn.
std::optional<SectorDelta> largestWithin(const Comparison& comparison, std::size_t laps, bool gain) {
  std::optional<SectorDelta> largest;
  for (const SectorDelta& sector : comparison.sectors) {
    const double size = gain ? -sector.delta : sector.delta;
    if (sector.pair < laps && size >= noticeableChange &&
        (!largest || size > (gain ? -largest->delta : largest->delta)))
      largest = sector;
  }
  return largest;
}

}  // namespace

Picture runsPicture(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis, std::optional<int> lap) {
  Picture picture;
  picture.title = pictureTitle(ghosts, false, lap ? ", lap " + std::to_string(*lap) : "");
  for (std::size_t i = 0; i < ghosts.size(); ++i) {
    const LoadedGhost& ghost = ghosts[i];
    const auto [from, to] = framesOf(analysis.runs[i].timed, lap);
    const std::span<const GhostFrame> frames(ghost.content.frames.data() + from, to - from);
    const std::span<const double> speed(ghost.profile.speed.data() + from, to - from);
    picture.panels.push_back(runPanel(letter(i) + ": " + ghost.fileName, caption(ghost), frames, speed));
  }
  return picture;
}

Picture ghostsPicture(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis, const ComparedLaps& choice,
                      const std::vector<std::string>& notes) {
  const LapChoice& laps = choice.laps;
  if (ghosts.size() != 2 && !laps.laps) {
    Picture picture = runsPicture(ghosts, analysis, laps.lap);
    picture.notes = notes;
    if (ghosts.size() > 2) {
      const Comparison ofB = compareRuns(analysis, 0, 1, laps);
      picture.trace = tracePanel(ghosts, analysis, ofB, laps);
      // The largest gain and loss of any run against A, named with its run.
      // (a gain is below zero, a loss above: none is 0)
      double gain = ofB.largestGain ? ofB.largestGain->delta : 0.0;
      double loss = ofB.largestLoss ? ofB.largestLoss->delta : 0.0;
      picture.trace->largestGain = band(ofB, laps, ofB.largestGain, "largest gain", "B, ");
      picture.trace->largestLoss = band(ofB, laps, ofB.largestLoss, "largest loss", "B, ");
      // Every run over the laps the panel draws, B's: a run that completes more is cut there.
      const std::size_t drawn = ofB.laps.size();
      for (std::size_t run = 2; run < ghosts.size(); ++run) {
        Comparison comparison = compareRuns(analysis, 0, run, laps);
        comparison.largestGain = largestWithin(comparison, drawn, true);
        comparison.largestLoss = largestWithin(comparison, drawn, false);
        std::vector<TracePoint> trace = traceAlong(analysis, comparison, traceSampleCount);
        std::erase_if(trace, [&](const TracePoint& point) { return point.progress > static_cast<double>(drawn); });
        picture.trace->others.push_back(
            {letter(run) + " (" + ghosts[run].fileName + ")", std::move(trace), comparison.total});
        if (comparison.largestGain && comparison.largestGain->delta < gain) {
          gain = comparison.largestGain->delta;
          picture.trace->largestGain =
              band(comparison, laps, comparison.largestGain, "largest gain", letter(run) + ", ");
        }
        if (comparison.largestLoss && comparison.largestLoss->delta > loss) {
          loss = comparison.largestLoss->delta;
          picture.trace->largestLoss =
              band(comparison, laps, comparison.largestLoss, "largest loss", letter(run) + ", ");
        }
      }
    }
    return picture;
  }
  Picture picture;
  picture.notes = notes;
  const Comparison comparison = compareRuns(analysis, choice.a, choice.b, laps);
  if (comparison.laps.empty()) {
    // No lap to compare: each run's own map, rather than empty panels that read as level runs.
    Picture runs = runsPicture(ghosts, analysis, std::nullopt);
    runs.notes = notes;
    runs.notes.emplace_back(nothingCompared);
    return runs;
  }
  const bool everyLap = !laps.lap && !laps.laps && !laps.best;
  picture.title = pictureTitle(ghosts, true,
                               everyLap   ? ""
                               : laps.lap ? ", lap " + std::to_string(*laps.lap)
                                          : ", " + comparisonHeading(comparison, laps));
  picture.comparison = comparisonMap(ghosts, analysis, comparison, laps);
  picture.trace = tracePanel(ghosts, analysis, comparison, laps);
  return picture;
}

}  // namespace lumaro_ghost
