// What tells one version of a file from another without reading it: the file's identity (its device and its
// number there), its size, and the times its content was last written and it was last changed in any way,
// content, name or times (nanoseconds since 1970, UTC). Any write gives a file a new change time, which no
// program can set back; the times are stamped from the system's clock, in its steps (a tick, or two seconds
// on some file systems), so two writes within one step may leave the same stamp. A stamp taken well after
// its times can therefore be trusted to change with the file; a fresh one cannot.
#pragma once

#include <cstdint>

struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t file = 0;
  std::uint64_t size = 0;
  std::int64_t modified = 0;
  std::int64_t changed = 0;
  bool operator==(const FileStamp&) const = default;
};

// Nanoseconds since 1970 from a count of steps of nanosecondsPerStep and the nanoseconds past the last step
// (0 to one step), held at the int64 range: a file dated past 2262 or before 1678 cannot overflow a stamp.
std::int64_t nanosecondsSince1970(std::int64_t steps, std::int64_t nanosecondsPerStep, std::int64_t pastTheStep);

// How long after its times a stamp is trusted: more than the coarsest step a file system stamps in (two
// seconds) and the lag of the clock it stamps from, with room for a shared folder's clock running a little
// behind this machine's.
inline constexpr std::int64_t stampSettlingNanoseconds = 5'000'000'000;

// Whether a file whose stamp was read at moment (or later) can only have been written since if its stamp
// changed: its times are at least stampSettlingNanoseconds before moment. A time after moment (a clock set
// back, a file from elsewhere) never settles.
bool isSettled(const FileStamp& stamp, std::int64_t moment);

// The system's clock as file times are stamped from it, in nanoseconds since 1970 (UTC): a page's moment.
std::int64_t fileClockNow();
