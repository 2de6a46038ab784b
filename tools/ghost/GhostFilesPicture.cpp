#include "tools/ghost/GhostFilesPicture.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>
#include <utility>

#include "plugin/GhostFrame.h"
#include "tools/ghost/CompareReport.h"
#include "tools/ghost/GhostFileContent.h"
#include "tools/ghost/GhostHeaderFields.h"
#include "tools/ghost/NumberText.h"
#include "tools/ghost/PictureStyle.h"
#include "tools/ghost/RunProfile.h"

namespace lumaro_ghost {

namespace {

std::string letter(std::size_t i) { return std::string(1, static_cast<char>('A' + i % 26)); }

std::string pictureTitle(const std::vector<LoadedGhost>& ghosts, std::optional<int> lap) {
  std::string title = ghosts.size() == 2 ? "Lumaro ghost comparison" : "Lumaro ghost runs";
  // Every map the runs name, in order, so that runs of different maps are not shown as one map's.
  std::vector<std::string> maps;
  for (const LoadedGhost& ghost : ghosts) {
    const std::string& map = ghost.header.mapName;
    if (!map.empty() && std::find(maps.begin(), maps.end(), map) == maps.end()) maps.push_back(map);
  }
  for (std::size_t i = 0; i < maps.size(); ++i) title += (i == 0 ? ": " : ", ") + maps[i];
  if (lap) title += ", lap " + std::to_string(*lap);
  return title;
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

std::string lapPlace(const Comparison& comparison, const SectorDelta& sector) {
  const LapDelta& laps = comparison.laps[sector.pair];
  const std::string range = percentText(sector.from) + "\xE2\x80\x93" + percentText(sector.to);
  return laps.lapA == laps.lapB
             ? "lap " + std::to_string(laps.lapA) + ", " + range
             : "A's lap " + std::to_string(laps.lapA) + ", B's lap " + std::to_string(laps.lapB) + ", " + range;
}

ComparisonMap comparisonMap(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis,
                            const Comparison& comparison) {
  ComparisonMap map;
  map.titleA = "A: " + ghosts[0].fileName, map.captionA = caption(ghosts[0]);
  map.titleB = "B: " + ghosts[1].fileName, map.captionB = caption(ghosts[1]);
  const AnalysedRun& a = analysis.runs[comparison.a];
  const AnalysedRun& b = analysis.runs[comparison.b];
  for (std::size_t pair = 0; pair < comparison.laps.size(); ++pair) {
    const PlacedLap& lapA = a.laps[static_cast<std::size_t>(comparison.laps[pair].lapA - 1)];
    const PlacedLap& lapB = b.laps[static_cast<std::size_t>(comparison.laps[pair].lapB - 1)];
    map.lineA.push_back(lapLine(a.timed, lapA));
    map.lineB.push_back(lapLine(b.timed, lapB));
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
      map.largestLossLabel = "largest loss " + fixedText(loss.delta, 3) + " s (" + lapPlace(comparison, loss) + ")";
    }
  }
  const GhostFrame& first = ghosts[0].content.frames.front();
  map.start = reference.points.empty() ? MapPoint{first.x, first.y} : reference.points.front();
  if (analysis.line) map.heading = analysis.line->heading;
  return map;
}

TracePanel tracePanel(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis, const Comparison& comparison) {
  TracePanel trace;
  trace.nameA = "(" + ghosts[0].fileName + ")";
  trace.nameB = "(" + ghosts[1].fileName + ")";
  trace.trace = traceAlong(analysis, comparison, traceSampleCount);
  trace.sectors = analysis.sectors;
  trace.total = comparison.total;
  for (const LapDelta& laps : comparison.laps) {
    trace.pairLabels.push_back(laps.lapA == laps.lapB
                                   ? "lap " + std::to_string(laps.lapA)
                                   : "A's lap " + std::to_string(laps.lapA) + ", B's lap " + std::to_string(laps.lapB));
  }
  auto band = [&](const std::optional<SectorDelta>& sector, const char* what) -> std::optional<TracePanel::Band> {
    if (!sector) return std::nullopt;
    const auto pair = static_cast<double>(sector->pair);
    return TracePanel::Band{pair + sector->from, pair + sector->to,
                            std::string(what) + " " + fixedText(std::fabs(sector->delta), 3) + " s (" +
                                lapPlace(comparison, *sector) + ")"};
  };
  trace.largestGain = band(comparison.largestGain, "largest gain");
  trace.largestLoss = band(comparison.largestLoss, "largest loss");
  return trace;
}

}  // namespace

Picture runsPicture(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis, std::optional<int> lap) {
  Picture picture;
  picture.title = pictureTitle(ghosts, lap);
  for (std::size_t i = 0; i < ghosts.size(); ++i) {
    const LoadedGhost& ghost = ghosts[i];
    const auto [from, to] = framesOf(analysis.runs[i].timed, lap);
    const std::span<const GhostFrame> frames(ghost.content.frames.data() + from, to - from);
    const std::span<const double> speed(ghost.profile.speed.data() + from, to - from);
    picture.panels.push_back(runPanel(letter(i) + ": " + ghost.fileName, caption(ghost), frames, speed));
  }
  return picture;
}

Picture ghostsPicture(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis, std::optional<int> lap,
                      const std::vector<std::string>& notes) {
  if (ghosts.size() != 2) {
    Picture picture = runsPicture(ghosts, analysis, lap);
    picture.notes = notes;
    if (ghosts.size() > 2) {
      const LapChoice choice{lap, false, std::nullopt};
      picture.trace = tracePanel(ghosts, analysis, compareRuns(analysis, 0, 1, choice));
      for (std::size_t run = 2; run < ghosts.size(); ++run) {
        const Comparison comparison = compareRuns(analysis, 0, run, choice);
        picture.trace->others.push_back({letter(run) + " (" + ghosts[run].fileName + ")",
                                         traceAlong(analysis, comparison, traceSampleCount), comparison.total});
      }
    }
    return picture;
  }
  Picture picture;
  picture.title = pictureTitle(ghosts, lap);
  picture.notes = notes;
  const Comparison comparison = compareRuns(analysis, 0, 1, LapChoice{lap, false, std::nullopt});
  picture.comparison = comparisonMap(ghosts, analysis, comparison);
  picture.trace = tracePanel(ghosts, analysis, comparison);
  return picture;
}

}  // namespace lumaro_ghost
