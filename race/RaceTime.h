// Race time text: milliseconds as minutes:seconds:milliseconds, 83456 giving "01:23:456". Minutes have at
// least two digits, seconds exactly two, milliseconds exactly three; the last separator is a colon too.
#pragma once

#include <cstdint>
#include <string>

std::string formatRaceTime(std::int32_t milliseconds);
