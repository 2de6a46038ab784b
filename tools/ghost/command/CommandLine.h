// What a lumaro-ghost command line asks for once it is read: the files, each option's value, the laps named.
// Every option the tool knows is a GhostOption; readOption takes one's value as typed and says in the tool's
// words what is wrong with it (UsageError), so each subcommand only lists the options it takes. A new option
// is a GhostOption, its form in CommandLine.cpp's table, its place in CommandLine that readOption fills, and
// a row of help in each subcommand that takes it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/ghost/analysis/RunAnalysis.h"

namespace lumaro_ghost {

// A lap named as RUN:best, given its number once the runs are timed.
inline constexpr int bestLapOfRun = -1;

// What a command line without the option gets.
inline constexpr std::int32_t defaultGapMs = 100;
inline constexpr std::int32_t defaultSectors = 10;

struct CommandLine {
  std::vector<std::string> files;
  bool json = false;
  bool force = false;
  bool best = false;
  bool csv = false;
  bool plausibleOnly = false;                            // board: runs with a driving finding left out
  bool driving = false;                                  // check: what a car cannot do, instead
  std::optional<std::string> output;                     // -o
  std::optional<LapOfRun> reference;                     // --ref
  std::optional<std::pair<LapOfRun, LapOfRun>> lapPair;  // --lap RUN:N,RUN:N
  bool againstTheoretical = false;                       // --lap theoretical,RUN:N
  bool theoreticalSecond = false;                        // --lap RUN:N,theoretical
  std::optional<std::string> mapName;
  std::optional<std::int32_t> laps;
  std::optional<std::int32_t> lap;
  std::int32_t gapMs = defaultGapMs;
  std::int32_t sectors = defaultSectors;
};

enum class GhostOption { Json, Csv, Force, Best, Output, Gap, Map, Laps, Lap, Ref, Sectors, PlausibleOnly, Driving };

// "--gap", "-o": the option as it is typed.
std::string_view optionName(GhostOption option);
// Whether the option takes a value (otherwise it is a flag).
bool takesValue(GhostOption option);

// The option's value (or, for a flag, its presence) into line; throws lumaro_tools::UsageError when the value
// is not one the option takes.
void readOption(CommandLine& line, GhostOption option, const std::string& value = {});
// Throws lumaro_tools::UsageError when options were given together that do not go together.
void checkTogether(const CommandLine& line);

}  // namespace lumaro_ghost
