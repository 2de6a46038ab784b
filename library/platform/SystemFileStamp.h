// File stamps from what the system says of a file: POSIX stat, or Windows file times (100-ns steps since 1601).
#pragma once

#include <cstdint>
#include <limits>

#include "library/platform/FileStamp.h"

#if defined(_WIN32)
#  include <windows.h>
#else
#  include <sys/stat.h>
#endif

#if defined(_WIN32)
// 100-ns steps from 1601 to 1970.
inline constexpr std::int64_t windowsToUnixEpoch = 116'444'736'000'000'000;

inline std::int64_t nanosecondsFromFileTime(std::int64_t fileTime) {
  // A time past 2262 (or one the system should never give, far below zero) is held at the stamp's range.
  if (fileTime < std::numeric_limits<std::int64_t>::min() + windowsToUnixEpoch)
    return std::numeric_limits<std::int64_t>::min();
  return nanosecondsSince1970(fileTime - windowsToUnixEpoch, 100, 0);
}

inline std::int64_t nanosecondsFromFileTime(const FILETIME& time) {
  return nanosecondsFromFileTime(
      static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime));
}
#else
inline FileStamp stampFromStat(const struct stat& information) {
  const auto nanoseconds = [](const timespec& time) {
    return nanosecondsSince1970(static_cast<std::int64_t>(time.tv_sec), 1'000'000'000, time.tv_nsec);
  };
  return {static_cast<std::uint64_t>(information.st_dev), static_cast<std::uint64_t>(information.st_ino),
          static_cast<std::uint64_t>(information.st_size), nanoseconds(information.st_mtim),
          nanoseconds(information.st_ctim)};
}
#endif
