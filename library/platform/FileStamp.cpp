#include "library/platform/FileStamp.h"

#include <algorithm>
#include <chrono>
#include <limits>

std::int64_t nanosecondsSince1970(std::int64_t steps, std::int64_t nanosecondsPerStep, std::int64_t pastTheStep) {
  constexpr std::int64_t most = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t least = std::numeric_limits<std::int64_t>::min();
  if (steps > (most - pastTheStep) / nanosecondsPerStep) return most;
  if (steps < least / nanosecondsPerStep) return least;
  return steps * nanosecondsPerStep + pastTheStep;
}

bool isSettled(const FileStamp& stamp, std::int64_t moment) {
  const std::int64_t latest = std::max(stamp.modified, stamp.changed);
  // The distance is taken unsigned: from a time long before 1970 to a late moment it exceeds the int64 range.
  return latest <= moment && static_cast<std::uint64_t>(moment) - static_cast<std::uint64_t>(latest) >=
                                 static_cast<std::uint64_t>(stampSettlingNanoseconds);
}

std::int64_t fileClockNow() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}
