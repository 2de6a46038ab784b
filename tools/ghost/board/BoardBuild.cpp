#include "tools/ghost/board/BoardBuild.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <map>
#include <memory>
#include <span>
#include <sstream>
#include <string>
#include <utility>

#include "library/ghostfile/GhostFileName.h"
#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostFrame.h"
#include "library/ghostfile/GhostHeaderLine.h"
#include "library/ghostfile/NumberReading.h"
#include "library/platform/PathText.h"
#include "library/platform/RegularFileReader.h"
#include "plugin/HostNames.h"
#include "tools/ghost/analysis/DrivingFindings.h"
#include "tools/ghost/analysis/GhostHeaderFields.h"
#include "tools/ghost/analysis/LapValidity.h"
#include "tools/ghost/analysis/LoadedGhost.h"
#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/analysis/RunProfile.h"
#include "tools/ghost/analysis/SameTrack.h"
#include "tools/ghost/analysis/StartLine.h"
#include "tools/ghost/board/BoardFiles.h"
#include "tools/ghost/replay/PointCode.h"
#include "tools/ghost/report/GhostCheck.h"
#include "tools/ghost/report/TraceExport.h"
#include "tools/ghost/text/NumberText.h"
#include "track/RaceLine.h"

namespace lumaro_ghost {

namespace {

// A run's line keeps a frame this far from the last one kept however little time has passed, so that a line
// whose time stands still, or a jump, is still drawn where it went (units).
constexpr double lineSpacingUnits = 100.0;
// The start line is bounded by each file's first frames, read from no more than this much of its beginning: a
// few hundred frame lines, far more than a car crossing the line takes to go the way it sets off.
constexpr std::size_t headBytes = std::size_t{16} * 1024;

// A top speed a run can be measured by: frames whose times stand still or run back give none.
bool hasSpeed(double topSpeed) { return std::isfinite(topSpeed) && topSpeed > 0.0; }

// How far a run's frames go along its path, up to the part of it its start line is taken over.
double pathWithin(std::span<const GhostFrame> frames) {
  double walked = 0.0;
  for (std::size_t i = 1; i < frames.size() && walked < raceLinePathLookedAt; ++i) {
    const double dx = static_cast<double>(frames[i].x) - frames[i - 1].x,
                 dy = static_cast<double>(frames[i].y) - frames[i - 1].y,
                 dz = static_cast<double>(frames[i].z) - frames[i - 1].z;
    walked += std::sqrt(dx * dx + dy * dy + dz * dz);
  }
  return walked;
}

// Every frame's seven values, bit for bit: two files hold the same run when their frames hash alike.
std::uint64_t framesHash(std::span<const GhostFrame> frames) {
  std::uint64_t hash = 0x9e3779b97f4a7c15ULL ^ frames.size();
  const auto mix = [&hash](std::uint32_t value) {
    hash = (hash ^ value) * 0xff51afd7ed558ccdULL;
    hash ^= hash >> 32;
  };
  for (const GhostFrame& frame : frames) {
    for (const float value : {frame.pitch, frame.yaw, frame.roll, frame.x, frame.y, frame.z}) {
      std::uint32_t bits = 0;
      std::memcpy(&bits, &value, sizeof bits);
      mix(bits);
    }
    mix(static_cast<std::uint32_t>(frame.time));
  }
  return hash;
}

struct GroupKey {
  std::string map;
  int laps = 1;
  // NOLINTNEXTLINE(modernize-use-nullptr): the check misreads the 0 the defaulted comparison is made of
  auto operator<=>(const GroupKey&) const = default;
};

// A file of a group, as its header reads.
struct Member {
  std::size_t source = 0;
  GhostHeaderFields header;
};

// What the first reading keeps of a run: the laps it drives at the group's line and its top speed.
struct Measured {
  std::size_t member = 0;
  std::uint64_t hash = 0;
  std::optional<std::size_t> repeats;  // the run (index into the measured runs) whose frames it holds again
  AnalysedRun laps;                    // its timing, without its frames
  double topSpeed = 0.0;
};

class GroupBuilder {
public:
  GroupBuilder(const BoardFiles& files, const BoardOptions& options, Board& board, std::vector<GhostFrame>& frames)
      : files_(files), options_(options), board_(board), frames_(frames) {}

  void build(const GroupKey& key, const std::vector<Member>& members) {
    BoardGroup group;
    group.map = key.map;
    group.laps = key.laps;
    group.sectors = options_.sectors;
    group.line = startLine(members);
    measure(members, group);
    placeAll(members, group);
    judgeTopSpeeds(group);
    if (options_.plausibleOnly) {
      std::erase_if(group.runs, [](const BoardRun& run) { return run.questionable(); });
    }
    rank(group);
    findBestSectors(group);
    if (!group.runs.empty()) board_.groups.push_back(std::move(group));
  }

private:
  const BoardSource& sourceOf(const std::vector<Member>& members, std::size_t member) const {
    return files_.sources()[members[member].source];
  }

  // Reads a member's frames into frames_; false (with the reason listed apart) when it cannot be used.
  bool read(const std::vector<Member>& members, std::size_t member) {
    const BoardSource& source = sourceOf(members, member);
    const std::unique_ptr<RegularFileReader> in = files_.open(source);
    frames_.clear();
    if (!in->isOpen()) {
      board_.unread.push_back({source.path, refusalReason(*in, pathFromUtf8(source.path))});
      return false;
    }
    readGhostFrames(in->stream(), frames_);
    ++board_.filesRead;
    return true;
  }

  // A file's first frames, from no more than its first headBytes (a frame line cut there left out), or the whole
  // file when its run has not gone as far as its line is taken over within them. False when it cannot be opened.
  bool readHead(const std::vector<Member>& members, std::size_t member, std::vector<GhostFrame>& head) const {
    head.clear();
    std::unique_ptr<RegularFileReader> in = files_.open(sourceOf(members, member));
    if (!in->isOpen()) return false;
    std::string bytes(headBytes, '\0');
    bytes.resize(in->read(bytes.data(), bytes.size()));
    const bool whole = bytes.size() < headBytes;
    if (!whole) bytes.resize(bytes.rfind('\n') + 1);
    std::istringstream text(bytes);
    readGhostFrames(text, head);
    if (whole || pathWithin(head) >= raceLinePathLookedAt) return true;
    head.clear();
    in = files_.open(sourceOf(members, member));
    if (!in->isOpen()) return false;
    readGhostFrames(in->stream(), head);
    return true;
  }

  // The line every run of the group is timed at, as compare places it (StartLine.h), A being the run most of the
  // group's runs started alike with (of equals, the first in path order): a run started elsewhere on the track
  // does not move every other run's line. Bounded by every run's first frames before any run is timed.
  std::optional<RaceLine> startLine(const std::vector<Member>& members) const {
    std::vector<GhostFrame> head;
    std::vector<RunStart> starts;
    std::vector<std::size_t> startMember;  // the member each start is of
    for (std::size_t member = 0; member < members.size(); ++member) {
      if (!readHead(members, member, head) || !(pathWithin(head) > 0.0)) continue;
      if (const std::optional<RaceLine> line = raceLineOf(head)) {
        starts.push_back({*line, head.front()});
        startMember.push_back(member);
      }
    }
    const std::optional<std::size_t> a = mostAgreedStart(starts);
    if (!a || !readHead(members, startMember[*a], head)) return std::nullopt;
    StartLineBounds bounds(head);
    bounds.add(head);
    for (std::size_t member = 0; member < members.size(); ++member) {
      if (member != startMember[*a] && readHead(members, member, head)) bounds.add(head);
    }
    const std::optional<StartLine> start = bounds.estimate();
    return start ? std::optional<RaceLine>(start->line) : std::nullopt;
  }

  // The first reading: every run timed at the group's line, its laps measured and its top speed taken; the same
  // frames twice are one run.
  void measure(const std::vector<Member>& members, BoardGroup& group) {
    for (std::size_t member = 0; member < members.size(); ++member) {
      if (!read(members, member)) continue;
      const RunProfile profile = profileRun(frames_);
      if (frames_.size() < 2 || !(profile.length > 0.0) || !std::isfinite(profile.length)) {
        board_.unread.push_back({sourceOf(members, member).path, noPathReason(frames_.size())});
        continue;
      }
      Measured run;
      run.member = member;
      run.hash = framesHash(frames_);
      for (std::size_t other = 0; other < measured_.size(); ++other) {
        if (!measured_[other].repeats && measured_[other].hash == run.hash) run.repeats = other;
      }
      if (!run.repeats) {
        run.laps.timed = timeRun(frames_, profile, group.line, group.laps);
        run.topSpeed = ownTopSpeed(run.laps, profile.distance, profile.speed);
        // Only its crossings are kept: the frames go.
        run.laps.timed.frames = {};
        run.laps.timed.seconds = run.laps.timed.distance = run.laps.timed.speed = {};
      }
      measured_.push_back(std::move(run));
    }
    std::vector<AnalysedRun> runs;
    std::vector<double> tops;
    for (const Measured& run : measured_) {
      if (run.repeats) continue;
      unique_.push_back(static_cast<std::size_t>(&run - measured_.data()));
      runs.push_back(run.laps);
      // Frames whose times stand still or run back give no speed: they do not pull the group's top speed down.
      if (hasSpeed(run.topSpeed)) tops.push_back(run.topSpeed);
    }
    circuit_ = isCircuit(runs);
    for (AnalysedRun& run : runs) endAtSetOff(run.timed, circuit_);
    judgeLapsTogether(runs);
    medianLap_ = medianLapOf(runs);
    referenceLap_ = chooseReferenceLap(runs);
    group.topSpeed = groupTopSpeed(tops);
  }

  // The second reading: the reference lap's run first, its lap the path every lap is placed on; then every run
  // placed, judged and kept as the board keeps it.
  void placeAll(const std::vector<Member>& members, BoardGroup& group) {
    std::vector<std::size_t> order = unique_;
    if (referenceLap_) {
      const auto first = order.begin() + static_cast<std::ptrdiff_t>(referenceLap_->run);
      std::rotate(order.begin(), first, first + 1);
    }
    ReferenceLap reference;
    std::vector<std::pair<std::size_t, BoardRun>> placed;  // the measured run, and what is kept of it
    for (const std::size_t index : order) {
      const Measured& measured = measured_[index];
      if (!read(members, measured.member)) continue;
      if (framesHash(frames_) != measured.hash) {
        board_.unread.push_back({sourceOf(members, measured.member).path, "changed while the board read it"});
        continue;
      }
      const RunProfile profile = profileRun(frames_);
      AnalysedRun run;
      run.timed = timeRun(frames_, profile, group.line, group.laps);
      endAtSetOff(run.timed, circuit_);
      if (run.timed.lapLinesFound) judgeLaps(run.timed, medianLap_);
      if (referenceLap_ && placed.empty() && index == unique_[referenceLap_->run]) {
        reference = referenceLap(run.timed, referenceLap_->lap);
        group.referenceLength = reference.length();
        if (!reference.points.empty()) {
          for (int sector = 0; sector < group.sectors; ++sector) {
            const double share = static_cast<double>(sector) / group.sectors;
            group.sectorMarks.push_back({reference.pointAt(share), reference.headingAt(share)});
          }
        }
      }
      placeRun(run, reference, group.sectors);
      const bool isReference = referenceLap_ && placed.empty() && index == unique_[referenceLap_->run];
      placed.emplace_back(index, keep(members, measured, run, profile, group, isReference));
    }
    // The files that hold a run's frames again.
    for (auto& [index, run] : placed) {
      for (const Measured& other : measured_) {
        if (other.repeats != index) continue;
        const BoardSource& source = sourceOf(members, other.member);
        run.sameRun.push_back({source.path, source.fileName, members[other.member].header.playerName});
      }
    }
    // Kept in the order of the files, the reference lap's run among them.
    std::sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [index, run] : placed) {
      if (referenceLap_ && index == unique_[referenceLap_->run]) referenceRunHash_ = run.framesHash;
      group.runs.push_back(std::move(run));
    }
  }

  BoardRun keep(const std::vector<Member>& members, const Measured& measured, const AnalysedRun& run,
                const RunProfile& profile, const BoardGroup& group, bool isReference) {
    BoardRun kept;
    const BoardSource& source = sourceOf(members, measured.member);
    const GhostHeaderFields& header = members[measured.member].header;
    kept.file = {source.path, source.fileName, header.playerName};
    kept.framesHash = measured.hash;
    kept.headerRunTimeMs = header.runTime.value;
    const TimedRun& timed = run.timed;
    kept.lapLinesFound = timed.lapLinesFound;
    kept.startSeconds = timed.lines.empty() ? 0.0 : timed.lines.front().seconds;
    const int laps = std::min(timed.laps(), group.laps);
    for (int lap = 1; lap <= laps; ++lap) {
      kept.lapSeconds.push_back(timed.lapSeconds(lap));
      kept.sectorSeconds.push_back(run.sectorSeconds[static_cast<std::size_t>(lap - 1)]);
    }
    if (timed.laps() >= group.laps)
      kept.raceSeconds = timed.lines[static_cast<std::size_t>(group.laps)].seconds - timed.lines.front().seconds;

    kept.findings = stepFindings(run, profile.distance, group.topSpeed);
    const TopSpeedAt top = topSpeedAway(frames_, profile.speed, kept.findings);
    kept.topSpeed = top.speed;
    kept.topSpeedFrame = top.frame;
    kept.topSpeedPlace = placeOfFrame(run, top.frame);
    // A run of another track: its laps mean nothing against the group's, so it is named as such, not a cut.
    const double offTrack = referenceLine_.empty() ? 0.0 : shareApart(referenceLine_, frames_);
    if (offTrack > mostOffTrack) {
      kept.findings.push_back(offTrackFinding(offTrack, group.laps));
      kept.notRanked = offTrackText;
    } else {
      const std::vector<DrivingFinding> cuts = cutFindings(run, profile.distance, group.referenceLength);
      kept.findings.insert(kept.findings.end(), cuts.begin(), cuts.end());
    }
    const std::vector<DrivingFinding> undriven = undrivenLapFindings(timed);
    kept.findings.insert(kept.findings.end(), undriven.begin(), undriven.end());
    for (const DrivingFinding& lap : undriven) {
      if (kept.notRanked.empty() && lap.from.lap <= group.laps)
        kept.notRanked = "lap " + std::to_string(lap.from.lap) + " cannot have been driven";
    }
    if (kept.notRanked.empty() && kept.raceSeconds && *kept.raceSeconds <= 0.0)
      kept.notRanked = "a race time of " + fixedText(*kept.raceSeconds, 3) + " s cannot have been driven";
    sortFindings(kept.findings);

    // Its line, thinned: a frame at least boardLineSpacingMs or lineSpacingUnits after the last one kept.
    std::vector<GhostFrame> line;
    std::size_t keptAt = 0;
    for (std::size_t i = 0; i < frames_.size(); ++i) {
      if (i == 0 || i + 1 == frames_.size() ||
          static_cast<std::int64_t>(frames_[i].time) - frames_[keptAt].time >= boardLineSpacingMs ||
          profile.distance[i] - profile.distance[keptAt] >= lineSpacingUnits) {
        line.push_back(frames_[i]);
        keptAt = i;
      }
    }
    if (isReference) referenceLine_ = line;
    kept.linePoints = encodePoints(line);
    kept.linePointCount = line.size();
    kept.lineBox = {line.front().x, line.front().y, line.front().x, line.front().y};
    std::int32_t latest = line.front().time;
    for (const GhostFrame& point : line) {
      kept.lineBox = {std::min<double>(kept.lineBox[0], point.x), std::min<double>(kept.lineBox[1], point.y),
                      std::max<double>(kept.lineBox[2], point.x), std::max<double>(kept.lineBox[3], point.y)};
      latest = std::max(latest, point.time);
    }
    kept.lineLatestSeconds = raceSecondsAt(line, latest);

    // Its race time and speed at every trace sample of the laps it completes.
    const int samples = group.sectors * traceSamplesPerSector;
    double before = 0.0;
    for (int lap = 1; lap <= laps; ++lap) {
      const PlacedLap& placed = run.laps[static_cast<std::size_t>(lap - 1)];
      for (int sample = 0; sample < samples; ++sample) {
        const double share = static_cast<double>(sample) / samples;
        kept.traceSeconds.push_back(static_cast<float>(before + placed.secondsAt(share)));
        kept.traceSpeed.push_back(static_cast<float>(placed.speedAt(share)));
      }
      before += placed.lapSeconds();
      if (lap == laps) {
        kept.traceSeconds.push_back(static_cast<float>(before));
        kept.traceSpeed.push_back(static_cast<float>(placed.speedAt(1.0)));
      }
    }
    return kept;
  }

  // A top speed far above the others': each run measured against the other runs' top speeds. A run not ranked (a
  // lap no car drove, a time of zero or less, another track) or without a top speed has no say.
  static void judgeTopSpeeds(BoardGroup& group) {
    for (std::size_t r = 0; r < group.runs.size(); ++r) {
      std::vector<double> others;
      for (std::size_t o = 0; o < group.runs.size(); ++o) {
        const BoardRun& other = group.runs[o];
        if (o != r && other.notRanked.empty() && hasSpeed(other.topSpeed)) others.push_back(other.topSpeed);
      }
      BoardRun& run = group.runs[r];
      if (const auto finding =
              topSpeedFinding({run.topSpeed, run.topSpeedFrame}, run.topSpeedPlace, std::move(others))) {
        run.findings.push_back(*finding);
        sortFindings(run.findings);
      }
    }
  }

  // Ranked by race time; runs level with the one ahead share its rank, in byte order of their paths. Runs that
  // do not complete their laps, or are not ranked for what notRanked says, follow, unranked, in file order.
  void rank(BoardGroup& group) const {
    std::stable_sort(group.runs.begin(), group.runs.end(), [](const BoardRun& a, const BoardRun& b) {
      if (a.rankable() != b.rankable()) return a.rankable();
      return a.rankable() && *a.raceSeconds < *b.raceSeconds;
    });
    std::size_t start = 0;
    while (start < group.runs.size() && group.runs[start].rankable()) {
      std::size_t end = start + 1;
      while (end < group.runs.size() && group.runs[end].rankable() &&
             *group.runs[end].raceSeconds - *group.runs[end - 1].raceSeconds < levelSeconds) {
        ++end;
      }
      std::stable_sort(group.runs.begin() + static_cast<std::ptrdiff_t>(start),
                       group.runs.begin() + static_cast<std::ptrdiff_t>(end),
                       [](const BoardRun& a, const BoardRun& b) { return a.file.path < b.file.path; });
      for (std::size_t i = start; i < end; ++i) {
        group.runs[i].rank = static_cast<int>(start) + 1;
        group.runs[i].tied = end - start > 1;
      }
      start = end;
    }
    for (std::size_t i = 0; i < group.runs.size(); ++i) {
      if (group.runs[i].framesHash == referenceRunHash_ && referenceLap_) {
        group.referenceLap = LapOfRun{i, referenceLap_->lap};
      }
    }
  }

  // The best of each sector over the runs without a finding (a finding puts the whole run in question: a top
  // speed far above the rest, a teleport that moves every place after it), every lap of the header's count. A
  // lap with a sector no car can have driven (under a quarter of that sector's median time over the group's laps,
  // as a lap is judged: a line that leaves the track where the placing loses it) lends none of its sectors.
  static void findBestSectors(BoardGroup& group) {
    const std::vector<double> medians = sectorMedians(group);
    for (std::size_t r = 0; r < group.runs.size(); ++r) {
      const BoardRun& run = group.runs[r];
      if (run.questionable() || !run.notRanked.empty()) continue;
      for (std::size_t lap = 1; lap <= run.sectorSeconds.size(); ++lap) {
        const std::vector<double>& sectors = run.sectorSeconds[lap - 1];
        bool driven = true;
        for (std::size_t s = 0; s < sectors.size() && s < medians.size(); ++s)
          driven = driven && judgeLap(sectors[s], medians[s]) == LapFault::none;
        if (!driven) continue;
        if (group.bestSectors.empty()) group.bestSectors.assign(sectors.size(), {-1.0, 0, 0});
        for (std::size_t s = 0; s < sectors.size() && s < group.bestSectors.size(); ++s) {
          BoardBestSector& best = group.bestSectors[s];
          if (best.lap == 0 || sectors[s] < best.seconds) best = {sectors[s], r, static_cast<int>(lap)};
        }
      }
    }
    if (group.bestSectors.empty()) return;
    double sum = 0.0;
    for (const BoardBestSector& best : group.bestSectors) sum += best.seconds;
    group.theoreticalBest = sum;
  }

  // Each sector's median time over every lap of the group's ranked runs.
  static std::vector<double> sectorMedians(const BoardGroup& group) {
    std::vector<std::vector<double>> times;
    for (const BoardRun& run : group.runs) {
      if (!run.notRanked.empty()) continue;
      for (const std::vector<double>& sectors : run.sectorSeconds) {
        if (times.size() < sectors.size()) times.resize(sectors.size());
        for (std::size_t s = 0; s < sectors.size(); ++s) times[s].push_back(sectors[s]);
      }
    }
    std::vector<double> medians;
    medians.reserve(times.size());
    for (const std::vector<double>& sector : times) medians.push_back(medianLapSeconds(sector));
    return medians;
  }

  const BoardFiles& files_;
  const BoardOptions& options_;
  Board& board_;
  std::vector<GhostFrame>& frames_;
  std::vector<Measured> measured_;
  std::vector<std::size_t> unique_;  // the measured runs that repeat none, in file order
  bool circuit_ = false;
  double medianLap_ = 0.0;                // of every lap of the group: what a lap no car can have driven is judged by
  std::optional<LapOfRun> referenceLap_;  // run: index into unique_
  std::uint64_t referenceRunHash_ = 0;
  std::vector<GhostFrame> referenceLine_;  // the reference lap's run, thinned as its line: the group's track
};

// The page's own test of a header: its fields read in their places and a lap count a page can be set to.
bool onAPage(const BoardHeader& header) {
  if (!header.line) return false;
  const GhostHeaderFields& fields = header.fields;
  return headerFit(fields, fields.mapName, fields.lapCount.value) == HeaderFit::Fits &&
         raceLapCountAllowed(fields.lapCount.value);
}

// Why a file that is on no page is on no board: the first problem check finds in it.
std::string checkReason(const BoardSource& source) {
  const LoadResult loaded = loadGhost(source.path);
  if (!loaded.ghost) return loaded.error;
  // The header's problems first: they are why no page lists it.
  const std::vector<GhostProblem> problems = checkGhost(loaded.ghost->content, loaded.ghost->fileName);
  for (const std::size_t line : {std::size_t{1}, std::size_t{0}}) {
    for (const GhostProblem& problem : problems) {
      if (!problem.note && problem.line == line) return (line > 0 ? "line 1: " : "") + problem.reason;
    }
  }
  return "no page lists the file";
}

}  // namespace

Board buildBoard(const std::vector<std::string>& paths, const BoardOptions& options) {
  Board board;
  const BoardFiles files(paths);
  const std::optional<std::string> map = options.map ? std::optional(headerName(*options.map)) : std::nullopt;
  std::map<GroupKey, std::vector<Member>> groups;
  for (std::size_t s = 0; s < files.sources().size(); ++s) {
    const BoardSource& source = files.sources()[s];
    BoardHeader header = files.header(source);
    const bool other = (map && header.line && header.fields.mapName != *map) ||
                       (options.laps && header.line && header.fields.lapCount.error == NumberError::None &&
                        header.fields.lapCount.value != *options.laps);
    if (!header.opened) {
      // A folder's entry that is no regular file is passed over, as the page passes over it.
      if (!source.entry) board.unread.push_back({source.path, header.refusal});
    } else if (other) {
      ++board.filesOtherRaces;
    } else if (!onAPage(header)) {
      // A folder's other files (a note, a picture) are passed over; a ghost's that no page lists is named.
      if (!source.entry || endsInGhostExtension(source.fileName))
        board.unread.push_back({source.path, checkReason(source)});
    } else {
      groups[{header.fields.mapName, header.fields.lapCount.value}].push_back({s, std::move(header.fields)});
    }
  }
  // One list of frames serves every run in turn: the board holds the largest ghost's frames, never two.
  std::vector<GhostFrame> frames;
  for (auto& [key, members] : groups) {
    std::sort(members.begin(), members.end(), [&files](const Member& a, const Member& b) {
      return files.sources()[a.source].path < files.sources()[b.source].path;
    });
    GroupBuilder(files, options, board, frames).build(key, members);
  }
  return board;
}

}  // namespace lumaro_ghost
