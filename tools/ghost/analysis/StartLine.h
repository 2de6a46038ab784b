// Where the map's own start line lies, as the runs' first frames bound it: every run is timed at the rearmost
// first frame, across A's heading, and how far behind it the map's line may lie is said as time at A's pace.
// Runs are given one at a time (A first), so that a caller holding one run's frames at a time can estimate it.
//
// A recording's first frame is taken on the first game tick after the car crossed the map's line: the line lies
// at or behind each run's first frame, and at most that run's first step (one tick's travel) behind it. The
// rearmost first frame is the nearest point to it the files hold, and the one a run whose first frame fell on the
// line (a car crossing on the tick) places exactly; the line may lie behind it by what the bounds leave. Nothing
// later in a file marks a crossing: the lap counter is not recorded, so the frames on either side of a later lap's
// crossing straddle any line placed between them and tell nothing of where the map's line is.
#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <span>

#include "library/ghostfile/GhostFrame.h"
#include "track/RaceLine.h"

namespace lumaro_ghost {

// The line runs are timed at, and how far from the map's line it may lie.
struct StartLine {
  RaceLine line;
  // How far behind the line the map's own may lie: the width of what the runs' bounds leave, in units along the
  // line's heading and in seconds at A's pace over its first step; none when the bounds contradict each other (a
  // run of another track, a teleport).
  std::optional<double> mayLieBehind;
  std::optional<double> mayLieBehindSeconds;
};

// An uncertainty below this is not worth a reader's attention (seconds): the files' times are whole milliseconds.
inline constexpr double noticeableLineUncertainty = 0.001;

class StartLineBounds {
public:
  // A's frames: the line runs across the direction A sets off in (raceLineOf).
  explicit StartLineBounds(std::span<const GhostFrame> a);
  // Each run in turn, A first: only its first frames and the way it sets off are looked at. A run that sets off
  // another way than A, or whose first frame lies beyond the line's reach to the side, bounds nothing.
  void add(std::span<const GhostFrame> frames);
  // None when A does not move.
  std::optional<StartLine> estimate() const;

private:
  std::optional<RaceLine> line_;  // through A's first frame
  double aFirstStep_ = 0.0;       // A's first step along the heading
  double aPace_ = 0.0;            // over it, units per second (0 when it has no time)
  // What the runs' first frames leave of where the line may be, along the heading from A's first frame.
  double behind_ = -std::numeric_limits<double>::infinity();
  double ahead_ = std::numeric_limits<double>::infinity();
  double rearmost_ = 0.0;  // the rearmost first frame within A's first step behind A's: where the line stands
};

// Where a run starts, for choosing the run whose line a group is timed at: the line through its first frame,
// across the way it sets off (raceLineOf).
struct RunStart {
  RaceLine line;
  GhostFrame first;
};

// Whether other started where run did: other sets off the same way and its first frame lies on run's line, within
// its reach to the side and within a tick's travel of it along the heading (either run's first frame may be up to
// a tick past the map's line).
bool startsAlike(const RunStart& run, const RunStart& other);

// The run most of the others started alike with (the index of the start whose line the most other runs' first
// frames lie on; of equals, the first): no single file, whatever its name, sets the line a group is timed at.
// None for no starts.
std::optional<std::size_t> mostAgreedStart(std::span<const RunStart> starts);

}  // namespace lumaro_ghost
