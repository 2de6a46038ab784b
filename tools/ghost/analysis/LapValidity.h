// Whether a lap's time is one a car can have driven. A lap timed at zero or less (its frames' times stand still
// or run backwards) or in less than a quarter of the median lap time of the laps it is judged with (frames that
// jump ahead, or drop back behind the line to cross it again) cannot have been driven: it is never a best lap,
// a best sector, a part of the theoretical best or the reference lap, and every report names it.
#pragma once

#include <span>
#include <string>

namespace lumaro_ghost {

// A lap that takes less than this share of the median lap time is far too quick to have been driven. Real laps
// of one track differ by seconds, and a lap spoilt by a spin or a crash can take twice the others' time, so
// the bound lies well below any lap a car drove and well above the few hundredths a forged lap takes.
inline constexpr double leastDrivenLapShare = 0.25;

enum class LapFault {
  none,         // a lap a car can have driven
  noTime,       // zero or less: the frames' times stand still or run backwards
  farTooQuick,  // less than leastDrivenLapShare of the median lap time
};

// The median of lap times in seconds (of an even count the longer middle one, so that of a driven lap and a
// forged one the driven lap is the yardstick); 0 without laps.
double medianLapSeconds(std::span<const double> lapSeconds);

// A lap's time judged against the median lap time of the laps it is judged with.
LapFault judgeLap(double seconds, double medianSeconds);

// What is wrong with a lap, for every report: "lap 2 cannot have been driven: it takes 0.028 s, less than 25%
// of the median lap time (20.012 s)", "... it takes 0.000 s (its frames' times stand still)", "... it
// takes -20.000 s (its frames' times run backwards)". Empty for a lap without fault.
std::string lapFaultText(int lap, double seconds, LapFault fault, double medianSeconds);

}  // namespace lumaro_ghost
