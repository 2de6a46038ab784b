// Race time text: milliseconds as minutes:seconds:milliseconds, 83456 giving "01:23:456". Minutes have at
// least two digits, seconds exactly two, milliseconds exactly three; the last separator is a colon too.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// The milliseconds each group of the text counts, largest first: a minute, a second, a millisecond. Each
// group but the first holds what is left of the one before (the replay page splits its clock by them).
inline constexpr std::array<std::int32_t, 3> raceTimeGroupMilliseconds = {60000, 1000, 1};

std::string formatRaceTime(std::int32_t milliseconds);
