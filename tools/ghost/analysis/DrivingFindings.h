// What a car cannot do, found in a run: evidence for a reader to weigh, never a verdict of cheating. A frame far
// from the one before for the time between them (a jump), time that stands still while the car moves or that
// runs backwards, a lap far shorter than the reference lap (a cut, with where the line leaves the common track
// and where it comes back), and a top speed far above every other run of its group. Each finding
// names its lap, its place (a share of the lap, along the reference lap) and its size. A lap no car can have
// driven (LapValidity.h) is one too. A recording, a file
// edited by hand and a file damaged in transit can all show them; only the reader can say which it was.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "library/ghostfile/GhostFrame.h"
#include "tools/ghost/analysis/LapValidity.h"
#include "tools/ghost/analysis/LoadedGhost.h"
#include "tools/ghost/analysis/RunAnalysis.h"

namespace lumaro_ghost {

// A step is a jump when it is longer than this many times the distance the group's top speed covers in the time
// between its two frames (and the millisecond a whole-millisecond time stamp can lose).
inline constexpr double jumpMargin = 3.0;
// Steps no longer than this are never judged: a car at rest has some jitter in its last decimals (units).
inline constexpr double stepJitter = 1.0;
// A lap this share or more shorter than the reference lap's path is a cut: well beyond an honest line inside the
// others' (a lane 400 units in on a large oval makes a lap some 8% shorter).
inline constexpr double cutShare = 0.15;
// A run's top speed this share or more above every other run's of its group is a finding, judged only against at
// least fewestOtherRunsForSpeed other runs (with fewer, one beginner would be the yardstick). Above every other
// run's, not their median: a group of beginners and two fast drivers must not make the fast ones suspects, so two
// sped-up copies of one run pass as two fast drivers would.
inline constexpr double speedShare = 0.25;
inline constexpr std::size_t fewestOtherRunsForSpeed = 3;

enum class FindingKind {
  Jump,             // size: units between the frames
  TimeStandsStill,  // size: units driven while the time stays as it is
  TimeRunsBack,     // size: seconds the time goes back
  Cut,              // size: units the lap is shorter than the reference lap
  TopSpeed,         // size: the run's top speed, units per second
  UndrivenLap,      // a lap no car can have driven (LapValidity.h); size: its time in seconds
  OffTrack,         // the run does not follow its group's track (SameTrack.h); size: the share of its path off it
};

// Where a finding lies: a lap from 1 (0: before the run's start crossing; one past its last lap: the lap it
// does not finish) and a share of that lap.
struct LapPlace {
  int lap = 0;
  double share = 0.0;
};

struct DrivingFinding {
  FindingKind kind = FindingKind::Jump;
  LapPlace from;  // where it starts; a cut: where the line leaves the common track
  LapPlace to;    // where it ends; a cut: where the line comes back (the same as from for a single step)
  double size = 0.0;
  std::size_t frame = 0;  // the first frame it concerns (index into the run's frames): a step ends there
  std::size_t steps = 1;  // the steps between frames it gathers (a jump, the time)
  double seconds = 0.0;   // a jump: the time its steps take
  // What it is measured against: a jump, time that stands still: the most the group's top speed allows over its
  // steps (units); a cut: the reference lap's length; a top speed: the median of the other runs' of the group;
  // off the track: the distance from the group's track beyond which a point is off it.
  double against = 0.0;
  LapFault lapFault = LapFault::none;  // an undriven lap: what is wrong with its time (against: the median lap time)
};

// The laps of a timed run that no car can have driven, as its lap faults judge them (RunAnalysis.h's judgeLaps).
std::vector<DrivingFinding> undrivenLapFindings(const TimedRun& run);

// One line in words: "lap 2, 45%: a jump of 1300 units in 0.008 s, where the top speed allows 62".
std::string findingText(const DrivingFinding& finding);
// The kind in one word, for a column or a key: jump, time-stands-still, time-runs-back, cut, top-speed,
// undriven-lap, off-track.
std::string findingKindWord(FindingKind kind);

// Where a frame of an analysed run lies: its lap, and its share of the lap as placed on the reference.
LapPlace placeOfFrame(const AnalysedRun& run, std::size_t frame);

// The steps between frames that no car drives at topSpeed (the group's): jumps, time that stands still, time
// that runs back; consecutive steps of one kind gathered into one finding. distance: the run's path per frame.
std::vector<DrivingFinding> stepFindings(const AnalysedRun& run, std::span<const double> distance, double topSpeed);

// The run's laps that are far shorter than the reference lap (referenceLength units): the stretch where its
// line gains most on the reference is where it leaves the common track and comes back. distance: per frame.
std::vector<DrivingFinding> cutFindings(const AnalysedRun& run, std::span<const double> distance,
                                        double referenceLength);

// A run's top speed away from its step findings: the highest speed (per frame, over 100 ms of run time) at the
// frames more than 100 ms from any of them; with the frame it is at.
struct TopSpeedAt {
  double speed = 0.0;
  std::size_t frame = 0;
};
TopSpeedAt topSpeedAway(std::span<const GhostFrame> frames, std::span<const double> speed,
                        const std::vector<DrivingFinding>& steps);

// The top speed a group's steps are measured by: the median of its runs' top speeds (of an even count, the lower
// middle one), so that one run's jumps or haste do not move it.
double groupTopSpeed(std::vector<double> runTopSpeeds);

// A run's own top speed, for a run judged alone or for its group's median: its top speed away from the steps
// that it cannot drive even at the speed most of its frames stay under (typicalSpeedShare of them: a jump
// inflates the speed only of the frames within 100 ms of it).
inline constexpr double typicalSpeedShare = 0.95;
double ownTopSpeed(const AnalysedRun& run, std::span<const double> distance, std::span<const double> speed);

// A top speed speedShare or more above every one of othersTop, the top speeds of the other runs of the group:
// a finding at its place; none otherwise, and none with fewer than fewestOtherRunsForSpeed other runs.
std::optional<DrivingFinding> topSpeedFinding(const TopSpeedAt& top, LapPlace place, std::vector<double> othersTop);

// A run that does not follow the group's track (shareOff of its path lies off it): it spans every lap of the
// run's laps, and stands instead of any cut, which means nothing against another track.
inline constexpr const char* offTrackText = "does not follow the group's track";
DrivingFinding offTrackFinding(double shareOff, int laps);

// Findings in the order of their places along the run.
void sortFindings(std::vector<DrivingFinding>& findings);

// Everything found in one run judged alone, as check --driving judges a file: timed at its own start line, its
// laps placed on its own median lap, its steps measured by its own top speed (no top speed finding: there is
// no other run).
std::vector<DrivingFinding> drivingFindingsAlone(const LoadedGhost& ghost);

}  // namespace lumaro_ghost
