#include "tools/ghost/analysis/DrivingFindings.h"

#include <algorithm>
#include <climits>
#include <compare>
#include <cstdint>
#include <limits>
#include <utility>

#include "tools/ghost/analysis/GhostFileContent.h"
#include "tools/ghost/analysis/RunProfile.h"
#include "tools/ghost/analysis/SameTrack.h"
#include "tools/ghost/text/NumberText.h"

namespace lumaro_ghost {

namespace {

// A frame's time stamp is its run time cut to the whole millisecond: two stamps may lie up to this much closer
// than the frames did (seconds).
constexpr double stampLoss = 0.001;

std::string placeText(LapPlace place) {
  if (place.lap == 0) return "before the start";
  return "lap " + std::to_string(place.lap) + ", " + fixedText(place.share * 100.0, 0) + "%";
}

std::string stretchText(const DrivingFinding& finding) {
  if (finding.from.lap == finding.to.lap &&
      fixedText(finding.from.share * 100.0, 0) == fixedText(finding.to.share * 100.0, 0)) {
    return placeText(finding.from);
  }
  if (finding.from.lap == finding.to.lap && finding.from.lap > 0) {
    return placeText(finding.from) + " to " + fixedText(finding.to.share * 100.0, 0) + "%";
  }
  return placeText(finding.from) + " to " + placeText(finding.to);
}

std::string stepsText(std::size_t steps) { return countText(steps, "step", "steps"); }

}  // namespace

std::string findingKindWord(FindingKind kind) {
  switch (kind) {
    case FindingKind::Jump: return "jump";
    case FindingKind::TimeStandsStill: return "time-stands-still";
    case FindingKind::TimeRunsBack: return "time-runs-back";
    case FindingKind::Cut: return "cut";
    case FindingKind::TopSpeed: return "top-speed";
    case FindingKind::UndrivenLap: return "undriven-lap";
    case FindingKind::OffTrack: return "off-track";
  }
  return "jump";
}

std::string findingText(const DrivingFinding& finding) {
  std::string where = stretchText(finding) + ": ";
  const std::string units = fixedText(finding.size, 0) + " units";
  switch (finding.kind) {
    case FindingKind::Jump:
      return where +
             (finding.steps == 1 ? "a jump of " + units : "jumps of " + units + " over " + stepsText(finding.steps)) +
             " in " + fixedText(finding.seconds, 3) + " s, where the top speed allows " + fixedText(finding.against, 0);
    case FindingKind::TimeStandsStill:
      return where + "the time stands still for " + stepsText(finding.steps) + " while the car covers " + units;
    case FindingKind::TimeRunsBack:
      return where + "the time runs back by " + fixedText(finding.size, 3) + " s over " + stepsText(finding.steps);
    case FindingKind::Cut:
      return where + "a cut: the lap is " + units + " (" + fixedText(finding.size / finding.against * 100.0, 0) +
             "%) shorter than the reference lap; the line leaves the common track at " +
             fixedText(finding.from.share * 100.0, 0) + "% and comes back at " +
             fixedText(finding.to.share * 100.0, 0) + "%";
    case FindingKind::TopSpeed:
      return where + "a top speed of " + fixedText(finding.size, 0) + " units/s, " +
             fixedText((finding.size / finding.against - 1.0) * 100.0, 0) +
             "% above every other run's (the fastest of them: " + fixedText(finding.against, 0) + " units/s)";
    case FindingKind::UndrivenLap:
      return lapFaultText(finding.from.lap, finding.size, finding.lapFault, finding.against);
    case FindingKind::OffTrack:
      return std::string(offTrackText) + ": " + fixedText(finding.size * 100.0, 0) + "% of its path lies more than " +
             fixedText(finding.against, 0) + " units from the reference lap's run";
  }
  return where;
}

LapPlace placeOfFrame(const AnalysedRun& run, std::size_t frame) {
  const std::vector<LineCrossing>& lines = run.timed.lines;
  if (lines.empty() || frame < lines.front().frame) return {0, 0.0};
  const auto after = std::upper_bound(lines.begin(), lines.end(), frame,
                                      [](std::size_t at, const LineCrossing& line) { return at < line.frame; });
  const auto lap = static_cast<int>(after - lines.begin());  // the lap the frame lies in, from 1
  const PlacedLap* placed = lap <= static_cast<int>(run.laps.size()) ? &run.laps[static_cast<std::size_t>(lap - 1)]
                            : run.unfinished                         ? &*run.unfinished
                                                                     : nullptr;
  if (placed == nullptr) return {lap, 0.0};
  // A placed lap holds its start crossing, then one point a frame from the frame past that crossing.
  const std::size_t point = 1 + frame - lines[static_cast<std::size_t>(lap - 1)].frame;
  return {lap, point < placed->share.size() ? placed->share[point] : placed->share.back()};
}

std::vector<DrivingFinding> stepFindings(const AnalysedRun& run, std::span<const double> distance, double topSpeed) {
  std::vector<DrivingFinding> findings;
  const std::span<const GhostFrame> frames = run.timed.frames;
  bool quiet = false;  // every step since the last finding's end has been no longer than stepJitter
  for (std::size_t i = 1; i < frames.size() && i < distance.size(); ++i) {
    const double step = distance[i] - distance[i - 1];
    const std::int64_t ms = static_cast<std::int64_t>(frames[i].time) - frames[i - 1].time;
    const double seconds = static_cast<double>(ms) / 1000.0;
    const double allowed = jumpMargin * topSpeed * (std::max(seconds, 0.0) + stampLoss);
    FindingKind kind = FindingKind::Jump;
    if (ms < 0) {
      kind = FindingKind::TimeRunsBack;
    } else if (step > std::max(allowed, stepJitter)) {
      kind = ms == 0 ? FindingKind::TimeStandsStill : FindingKind::Jump;
    } else {
      if (step > stepJitter) quiet = false;
      continue;
    }
    DrivingFinding* last = findings.empty() ? nullptr : &findings.back();
    const bool joins = last != nullptr && last->kind == kind && quiet;
    const LapPlace place = placeOfFrame(run, i);
    if (!joins) {
      DrivingFinding finding;
      finding.kind = kind;
      finding.from = placeOfFrame(run, i - 1);
      finding.frame = i;
      finding.steps = 0;
      findings.push_back(finding);
      last = &findings.back();
    }
    last->steps = i + 1 - last->frame;
    // A jump is named where it sets off: the places after it are where the matching takes the frame it lands on,
    // which may be anywhere ahead.
    last->to = kind == FindingKind::Jump ? last->from : place;
    last->size += kind == FindingKind::TimeRunsBack ? -seconds : step;
    last->seconds += std::max(seconds, 0.0);
    last->against += allowed;
    quiet = true;
  }
  return findings;
}

std::vector<DrivingFinding> undrivenLapFindings(const TimedRun& run) {
  std::vector<DrivingFinding> findings;
  for (int lap = 1; lap <= run.laps() && static_cast<std::size_t>(lap) <= run.lapFaults.size(); ++lap) {
    if (run.driven(lap)) continue;
    DrivingFinding finding;
    finding.kind = FindingKind::UndrivenLap;
    finding.from = {lap, 0.0};
    finding.to = {lap, 1.0};
    finding.size = run.lapSeconds(lap);
    finding.frame = std::min(run.lines[static_cast<std::size_t>(lap - 1)].frame, run.frames.size() - 1);
    finding.against = run.medianLap;
    finding.lapFault = run.lapFaults[static_cast<std::size_t>(lap - 1)];
    findings.push_back(finding);
  }
  return findings;
}

std::vector<DrivingFinding> cutFindings(const AnalysedRun& run, std::span<const double> distance,
                                        double referenceLength) {
  std::vector<DrivingFinding> findings;
  if (referenceLength <= 0.0) return findings;
  const std::vector<LineCrossing>& lines = run.timed.lines;
  for (std::size_t lap = 1; lap <= run.laps.size() && lap < lines.size(); ++lap) {
    const double lapLength = lines[lap].distance - lines[lap - 1].distance;
    if (lapLength > (1.0 - cutShare) * referenceLength) continue;
    // Each step's gain on the reference: the stretch of the reference it covers less its own length. Where the
    // gains add up the most, the line has left the common track and taken a shorter way.
    const PlacedLap& placed = run.laps[lap - 1];
    const auto own = [&](std::size_t point) {
      if (point == 0) return lines[lap - 1].distance;
      if (point + 1 == placed.share.size()) return lines[lap].distance;
      return distance[placed.frame[point]];
    };
    double sum = 0.0, best = -std::numeric_limits<double>::infinity();
    std::size_t start = 0, bestFrom = 0, bestTo = placed.share.size() - 1;
    for (std::size_t point = 1; point < placed.share.size(); ++point) {
      const double gain =
          (placed.share[point] - placed.share[point - 1]) * referenceLength - (own(point) - own(point - 1));
      if (sum <= 0.0) sum = 0.0, start = point - 1;
      sum += gain;
      if (sum > best) best = sum, bestFrom = start, bestTo = point;
    }
    DrivingFinding finding;
    finding.kind = FindingKind::Cut;
    finding.from = {static_cast<int>(lap), placed.share[bestFrom]};
    finding.to = {static_cast<int>(lap), placed.share[bestTo]};
    finding.size = referenceLength - lapLength;
    finding.frame = placed.frame[bestFrom];
    finding.against = referenceLength;
    findings.push_back(finding);
  }
  return findings;
}

DrivingFinding offTrackFinding(double shareOff, int laps) {
  DrivingFinding finding;
  finding.kind = FindingKind::OffTrack;
  finding.from = {1, 0.0};
  finding.to = {std::max(laps, 1), 1.0};
  finding.size = shareOff;
  finding.against = offTrackDistance;
  return finding;
}

TopSpeedAt topSpeedAway(std::span<const GhostFrame> frames, std::span<const double> speed,
                        const std::vector<DrivingFinding>& steps) {
  const std::size_t count = std::min(frames.size(), speed.size());
  // The frames each finding's steps join, then every frame within speedSpanMs of one of them, looked for in
  // one pass each way.
  std::vector<bool> near(count, false);
  for (const DrivingFinding& finding : steps) {
    if (finding.kind == FindingKind::Cut || finding.kind == FindingKind::TopSpeed ||
        finding.kind == FindingKind::OffTrack)
      continue;
    for (std::size_t i = finding.frame - 1; i < finding.frame + finding.steps && i < count; ++i) near[i] = true;
  }
  // A frame's speed is measured over the frames within speedSpanMs of its time: one whose time lies within that
  // of a finding's frames, or of any frame before (after) them while time runs back, is measured across it.
  std::vector<bool> away(count, true);
  std::int64_t latest = INT64_MIN, clearAfter = INT64_MIN;
  for (std::size_t i = 0; i < count; ++i) {
    latest = std::max<std::int64_t>(latest, frames[i].time);
    if (near[i]) clearAfter = latest + speedSpanMs;
    if (frames[i].time < clearAfter) away[i] = false;
  }
  std::int64_t earliest = INT64_MAX, clearBefore = INT64_MAX;
  for (std::size_t i = count; i-- > 0;) {
    earliest = std::min<std::int64_t>(earliest, frames[i].time);
    if (near[i]) clearBefore = earliest - speedSpanMs;
    if (frames[i].time > clearBefore) away[i] = false;
  }
  TopSpeedAt top;
  for (std::size_t i = 0; i < count; ++i) {
    if (away[i] && speed[i] > top.speed) top = {speed[i], i};
  }
  return top;
}

double groupTopSpeed(std::vector<double> runTopSpeeds) {
  if (runTopSpeeds.empty()) return 0.0;
  std::sort(runTopSpeeds.begin(), runTopSpeeds.end());
  return runTopSpeeds[(runTopSpeeds.size() - 1) / 2];
}

double ownTopSpeed(const AnalysedRun& run, std::span<const double> distance, std::span<const double> speed) {
  if (speed.empty()) return 0.0;
  std::vector<double> sorted(speed.begin(), speed.end());
  const auto typical =
      sorted.begin() + static_cast<std::ptrdiff_t>(typicalSpeedShare * static_cast<double>(sorted.size() - 1));
  std::nth_element(sorted.begin(), typical, sorted.end());
  return topSpeedAway(run.timed.frames, speed, stepFindings(run, distance, *typical)).speed;
}

std::optional<DrivingFinding> topSpeedFinding(const TopSpeedAt& top, LapPlace place, std::vector<double> othersTop) {
  if (othersTop.size() < fewestOtherRunsForSpeed) return std::nullopt;
  const double fastest = *std::max_element(othersTop.begin(), othersTop.end());
  if (fastest <= 0.0 || top.speed < (1.0 + speedShare) * fastest) return std::nullopt;
  DrivingFinding finding;
  finding.kind = FindingKind::TopSpeed;
  finding.from = finding.to = place;
  finding.size = top.speed;
  finding.frame = top.frame;
  finding.against = fastest;
  return finding;
}

void sortFindings(std::vector<DrivingFinding>& findings) {
  std::stable_sort(findings.begin(), findings.end(), [](const DrivingFinding& a, const DrivingFinding& b) {
    return std::pair(a.from.lap, a.from.share) < std::pair(b.from.lap, b.from.share);
  });
}

std::vector<DrivingFinding> drivingFindingsAlone(const LoadedGhost& ghost) {
  if (ghost.content.frames.size() < 2) return {};
  const Analysis analysis = analyseGhosts(std::vector<const LoadedGhost*>{&ghost});
  const AnalysedRun& run = analysis.runs.front();
  const RunProfile& profile = ghost.profile;
  const double top = ownTopSpeed(run, profile.distance, profile.speed);
  std::vector<DrivingFinding> findings = stepFindings(run, profile.distance, top);
  const std::vector<DrivingFinding> cuts = cutFindings(run, profile.distance, analysis.reference.length());
  findings.insert(findings.end(), cuts.begin(), cuts.end());
  const std::vector<DrivingFinding> undriven = undrivenLapFindings(run.timed);
  findings.insert(findings.end(), undriven.begin(), undriven.end());
  sortFindings(findings);
  return findings;
}

}  // namespace lumaro_ghost
