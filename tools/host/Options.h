// lumaro-host's command line, read through CLI11: which scenario to run (a file, "-" for standard input, or
// none for the interactive mode), where the plugin and the game root are, virtual or real time, and what to
// show at the end. A command line not understood is said as "lumaro-host: what is wrong (lumaro-host --help)".
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/HostClock.h"
#include "tools/host/ScenarioTick.h"
namespace lumaro_host {

// The steps of a chaos run when --steps gives none.
inline constexpr int defaultChaosSteps = 300;

struct Options {
  std::optional<std::string> script;  // a file, or "-" for standard input
  bool interactive = false;
  std::optional<std::filesystem::path> plugin;
  std::optional<std::filesystem::path> root;
  bool keepRoot = false;    // --keep: the fresh temporary root stays after the run
  bool removeRoot = false;  // --remove-root: what happens anyway without --keep (accepted for older scripts)
  bool realtime = false;
  double tickMilliseconds = Tessaro::millisecondsOfTicks(scenarioTickLength);
  double hostCallMilliseconds = 0.0;  // virtual time each host call of the plugin takes
  bool page = false;
  bool rawPage = false;  // --raw: the page file's lines rather than the page as a player sees it
  std::optional<std::filesystem::path> trace;
  std::optional<std::filesystem::path> svg;
  bool listGhosts = false;
  bool verbose = false;
  bool help = false;
  bool version = false;
  std::optional<std::uint64_t> chaosSeed;  // --chaos SEED: a chaos run instead of a scenario (Chaos.h)
  int chaosSteps = defaultChaosSteps;
  // --check-map FILE [FILE...]: the map files' contract checked, nothing run. The option takes every word after
  // it up to the next option.
  std::vector<std::string> checkMaps;
};

struct ParsedOptions {
  Options options;
  std::string error;  // empty when the command line was understood
};

// arguments: the words after the program's name.
ParsedOptions parseOptions(const std::vector<std::string>& arguments);

// The text of --help: the options, every step with an example, the map file format and the exit codes.
std::string helpText();
// The parts of the help around the options (Help.cpp): what lumaro-host is and how it is typed; the scenario
// language, every step with an example, the map file format and the exit codes.
std::string helpHead();
std::string helpFoot();
// The text of --version: "lumaro-host 1.0", the product's version, and a line end.
std::string versionText();
// Every option the command line takes, as its parser holds them ("--root", "-i").
std::vector<std::string> optionNames();
// The short list of steps the interactive mode shows for "help".
std::string stepSummary();

}  // namespace lumaro_host
