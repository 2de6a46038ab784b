// The numbers of a scenario or a map file, each read whole and checked against the range stated for it when
// the file is read. The ranges are what keep a file from making one step run for days of game time, one
// tick do unbounded work, or a time overflow on its way to the clock: every range a file's number has lives
// here.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace lumaro_host {

// A number that is no number, or out of its range; the message says which, and what the range is.
struct BadNumber : std::invalid_argument {
  using std::invalid_argument::invalid_argument;
};

struct NumberRange {
  double least;
  double most;
  const char* unit;  // after the range in a message: " s", " units/s", "" for a count
};

// Seconds of game time a wait or a timed drive lasts.
inline constexpr NumberRange gameSeconds{0.001, 3600.0, " s"};
// A lap's time, in a drive step or as a map's own.
inline constexpr NumberRange lapSeconds{1.0, 3600.0, " s"};
// The car's speed in engine units per second.
inline constexpr NumberRange carSpeed{1.0, 100'000.0, " units/s"};
// How long the car rolls on after the last lap.
inline constexpr NumberRange runOutSeconds{0.0, 60.0, " s"};
// A coordinate of a map's track, in engine units.
inline constexpr NumberRange trackCoordinate{-1'000'000.0, 1'000'000.0, ""};
// One lap of a map's track, in engine units: a shorter one would be crossed many times in a tick.
inline constexpr NumberRange trackLapLength{100.0, 100'000'000.0, " units"};
// The game time a drive of laps may take, all its numbers together (a day).
inline constexpr double longestDrive = 86'400.0;
// A racing drive: its line to the side of the racing line, a planted loss of time, how far a wide line
// swings out, the phase of the car against the game's ticks, and a stretch of a lap in per cent.
inline constexpr NumberRange lineOffset{-1000.0, 1000.0, " units"};
inline constexpr NumberRange lostSeconds{0.001, 60.0, " s"};
inline constexpr NumberRange wideUnits{1.0, 1000.0, " units"};
inline constexpr NumberRange tickPhase{0.0, 1.0, " (of a game tick)"};
inline constexpr NumberRange lapShare{0.0, 100.0, "%"};
// A drive's variation in per cent: from 0 up to, not including, this.
inline constexpr double variationPercentBelow = 100.0;
// Whole numbers.
inline constexpr NumberRange lapCount{1, 1000, ""};
inline constexpr NumberRange tickCount{1, 1'000'000, ""};
inline constexpr NumberRange writeCount{0, 1'000'000'000, ""};
// The command line's milliseconds: a game tick (--tick-ms), the virtual time a host call takes (--host-call-ms).
inline constexpr NumberRange tickMilliseconds{0.1, 1000.0, ""};
inline constexpr NumberRange hostCallMilliseconds{0.0, 100.0, ""};
// The steps of a chaos run (lumaro-host --steps).
inline constexpr NumberRange chaosStepCount{1, 1'000'000, ""};

// The word as a decimal number within range (read as sim/KismetWords.h reads a decimal word); what: how the
// message names it ("the lap time").
double numberIn(const std::string& word, const std::string& what, const NumberRange& range);
// The word as a whole number within range: digits only, no sign or blanks.
std::int64_t wholeNumberIn(const std::string& word, const std::string& what, const NumberRange& range);
// The word as any unsigned 64-bit number (a seed): digits only, no sign or blanks.
std::uint64_t seedNumber(const std::string& word, const std::string& what);
// The largest seed, "18446744073709551615".
std::string largestSeedText();

// A value of a Kismet variable as the game keeps it, whether a map file starts the variable at it or a scenario
// expects it: an int is an optional sign and decimal digits within 32 bits, a float a decimal word (above)
// within single precision. No blanks, no hexadecimal, no "inf" or "nan": the message says "\"W\" is not a
// whole number", "is not a number", or that the value is out of an int's or a float's range.
std::int32_t kismetInt(const std::string& word);
float kismetFloat(const std::string& word);
// An expected float holds within this share of its size (of 1 at the least): the plugin computes in single
// precision, so a value it wrote differs from the decimal a scenario gives in its last places.
inline constexpr float kismetFloatTolerance = 1e-5f;

// "from 1 to 3600 s".
std::string rangeText(const NumberRange& range);
// "1 to 3600": the bounds alone, as the help writes them.
std::string boundsText(const NumberRange& range);
// A number as a range or the help writes it: "0.001", "3600", "100000".
std::string numberText(double value);

}  // namespace lumaro_host
