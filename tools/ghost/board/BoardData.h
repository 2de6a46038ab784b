// What `lumaro-ghost board` keeps of a pile of ghost files, and all that its outputs (the terminal table, JSON,
// CSV, and a page) are made from: groups by map and lap count, each run of a group ranked, with its laps, its
// sectors on the group's reference lap, what it cannot have driven, a thinned line and its time along the laps.
// No ghost is held here: a run keeps what a board or a page shows of it, some kilobytes, whatever its length.
//
// Times are in seconds, distances in the game's units, places as shares of a lap (0 at the start line, 1 back at
// it) measured along the group's reference lap. A run's race time is its time from its start crossing.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/ghost/analysis/DrivingFindings.h"
#include "tools/ghost/analysis/RunAnalysis.h"
#include "track/RaceLine.h"

namespace lumaro_ghost {

// One file of a run: where it was found (the path as given, or the folder's path joined with the entry's name)
// and its name alone, as the plugin's page would take it.
struct BoardFile {
  std::string path;
  std::string fileName;
  std::string player;  // its header's player name (the same frames may be shared under another name)
};

struct BoardRun {
  BoardFile file;                    // the file listed (of the same run shared more than once: the first by path)
  std::vector<BoardFile> sameRun;    // the other files that hold the very same frames
  std::uint64_t framesHash = 0;      // of every frame's seven values: what "the same run" means
  std::int32_t headerRunTimeMs = 0;  // the run time its header names

  // The rank among the runs shown, from 1; runs level with the one ahead (less than half a millisecond
  // apart) share its rank and are tied. 0: not ranked (it does not complete the laps its header names, or
  // notRanked says why not).
  int rank = 0;
  bool tied = false;
  // Why a run that completes its laps is not ranked, never the group's best and lends no sector: a lap no car
  // can have driven, a race time of zero or less, a run of another track. Empty for a run that can be ranked.
  std::string notRanked;
  bool rankable() const { return raceSeconds && notRanked.empty(); }

  // Timed at the group's start line: the run time of its start crossing, and every lap it completes.
  double startSeconds = 0.0;
  std::vector<double> lapSeconds;
  bool lapLinesFound = false;  // false: the laps are equal shares of its path (no start line crossed again)
  // Its race time: the sum of its laps, when it completes all its header names; none otherwise.
  std::optional<double> raceSeconds;
  std::vector<std::vector<double>> sectorSeconds;  // [lap - 1][sector - 1]
  double topSpeed = 0.0;  // units per second over 100 ms, away from its jumps and its time's faults
  std::size_t topSpeedFrame = 0;
  LapPlace topSpeedPlace;

  // What a car cannot do, found in this run (empty: nothing found). Questionable when not empty.
  std::vector<DrivingFinding> findings;
  bool questionable() const { return !findings.empty(); }
  // A lap (from 1) a finding lies in or across: it counts towards no best lap and no best sector.
  bool lapHasFinding(int lap) const {
    return std::any_of(findings.begin(), findings.end(),
                       [lap](const DrivingFinding& f) { return f.from.lap <= lap && f.to.lap >= lap; });
  }
  // Its best lap among those without a finding: a lap it could have driven (none when every lap has one).
  std::optional<double> bestLap() const {
    std::optional<double> best;
    for (std::size_t lap = 1; lap <= lapSeconds.size(); ++lap) {
      if (!lapHasFinding(static_cast<int>(lap)) && (!best || lapSeconds[lap - 1] < *best)) best = lapSeconds[lap - 1];
    }
    return best;
  }

  // For a page: the line as driven, a frame at least every boardLineSpacingMs (and the last), in the replay
  // page's point code (tools/ghost/replay/PointCode.h, times from the first frame); and along the laps it
  // completes, at every trace sample of every lap (sectors x traceSamplesPerSector a lap, then the end of the
  // last), its race time and speed there. One run's time less another's at the same sample is the ghost delta
  // between them, as compare and the replay page give it.
  std::string linePoints;
  std::size_t linePointCount = 0;
  std::array<double, 4> lineBox{};  // the box its line lies in: least x, least y, greatest x, greatest y
  double lineLatestSeconds = 0.0;   // the latest time among its line's points, from its first frame
  std::vector<float> traceSeconds;
  std::vector<float> traceSpeed;
};

// A frame is kept in a run's line when at least this long after the last one kept: 40 points a second, which
// draws a racing line and replays a car smoothly at a tenth of the bytes of every frame.
inline constexpr std::int32_t boardLineSpacingMs = 25;

// The best time of a sector over the laps of the group's runs without a finding, and its holder.
struct BoardBestSector {
  double seconds = 0.0;
  std::size_t run = 0;  // index into BoardGroup::runs
  int lap = 0;
};

// Where a sector line crosses the reference lap, for a page to draw: the point, and the direction of travel.
struct BoardSectorMark {
  MapPoint at;
  MapPoint heading;
};

struct BoardGroup {
  std::string map;  // as the headers name it
  int laps = 1;
  int sectors = 10;
  std::vector<BoardRun> runs;  // ranked runs in rank order, then the runs not ranked in file order

  // The group's start line (as compare places it, A being the run most of the group started alike with:
  // StartLine.h's mostAgreedStart) and its reference lap: the lap of median length of every lap of every run, as
  // compare chooses it. None without a lap line.
  std::optional<RaceLine> line;
  std::optional<LapOfRun> referenceLap;  // run: index into runs
  double referenceLength = 0.0;
  std::vector<BoardSectorMark> sectorMarks;  // at the start of each sector

  // The median of the runs' top speeds: what the jump rule measures a step by.
  double topSpeed = 0.0;
  std::vector<BoardBestSector> bestSectors;  // empty when no lap counts
  std::optional<double> theoreticalBest;     // their sum
};

// A file that is on no board, with the reason check gives (or the reason it could not be read at all).
struct BoardUnread {
  std::string path;
  std::string reason;
};

struct Board {
  std::vector<BoardGroup> groups;   // by map name (byte order), then lap count
  std::vector<BoardUnread> unread;  // in the order found
  std::size_t filesRead = 0;        // files whose frames were read
  std::size_t filesOtherRaces = 0;  // files of another map or lap count than --map and --laps ask for
};

}  // namespace lumaro_ghost
