// The automatic export rule at the end of a race: a run is exported when its time is strictly below the
// limit, a whole number of seconds. The limit is scaled to milliseconds in 64 bits, so every setting,
// however large, gives a limit instead of an overflow.
#pragma once

#include <cstdint>

bool isUnderExportLimit(std::int32_t raceMilliseconds, std::int32_t limitSeconds);
