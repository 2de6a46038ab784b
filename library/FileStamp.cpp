#include "library/FileStamp.h"

#include <algorithm>
#include <chrono>

bool isSettled(const FileStamp& stamp, std::int64_t moment) {
  const std::int64_t latest = std::max(stamp.modified, stamp.changed);
  return latest <= moment && moment - latest >= stampSettlingNanoseconds;
}

std::int64_t fileClockNow() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}
