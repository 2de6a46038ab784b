// Numbers as the tool writes them for people: a fixed number of decimals, and time differences signed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lumaro_ghost {

std::string fixedText(double value, int decimals);

// Seconds are written for scripts and pages with this many decimals, in every JSON output and in the
// replay alike, so that a figure rounded to the millisecond where it is shown is the same everywhere.
inline constexpr int secondsDecimals = 6;

// A number for JSON with at most `decimals` decimals and no trailing zeros; null when it is not finite.
std::string jsonNumber(double value, int decimals = secondsDecimals);

// A count with its noun: "1 field", "3 fields".
std::string countText(std::size_t count, std::string_view one, std::string_view many);

// A file's size as a person reads it: "812 bytes" below a KB, "37 KB" (whole KB of 1024 bytes, rounded) below
// a MB, then "2.4 MB".
std::string sizeText(std::size_t bytes);

// Two runs are level where they differ by less than this, half a millisecond either way: the smallest
// difference a time written to the millisecond shows. compare's "level", the replay page's gains and losses.
inline constexpr double levelSeconds = 0.0005;

// A difference in seconds with its sign: "+0.250 s", "-1.000 s", and "0.000 s" when level (levelSeconds
// either way). minus: the sign to write (a picture uses the true minus sign). The replay page writes its
// differences from these parts, handed to it in its data.
inline constexpr int signedSecondsDecimals = 3;
inline constexpr std::string_view plusSign = "+";
inline constexpr std::string_view secondsUnit = " s";
std::string signedSeconds(double seconds, std::string_view minus = "-");

}  // namespace lumaro_ghost
