// A scenario: a plain-text script of steps, one per line, each kept with the line it came from. The whole
// script is read before anything runs, and every line that cannot be understood is reported with its
// number, so a script with a mistake in it does nothing at all.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "sim/Driver.h"
#include "tools/host/TextMatcher.h"

namespace lumaro_host {

struct MapFile;
struct LoadMap {
  std::string file;
  // The map file found and read when the scenario was read (readScriptMaps); empty until then.
  std::filesystem::path path;
  std::shared_ptr<const MapFile> map;
};
struct LoadMainMenu {};
// A line typed into the console exactly as written.
struct TypeConsole {
  std::string line;
};
struct SetPlayer {
  std::string name;
};
// A drive that does not say otherwise varies its laps by this seed and rolls on this long after its last lap.
inline constexpr std::uint64_t defaultDriveSeed = 1;
inline constexpr double defaultRunOutSeconds = 0.5;

struct Drive {
  int laps = 0;                   // drive until this many laps are completed at the line ...
  double seconds = 0.0;           // ... or for this long, when laps is 0
  std::optional<double> lapTime;  // seconds per lap
  std::optional<double> speed;    // engine units per second
  double variationPercent = 0.0;
  std::uint64_t seed = defaultDriveSeed;
  double runOut = defaultRunOutSeconds;  // seconds the car rolls on past the line after the last lap
  // style racing|steady; none: the map's own (a line, lose or wide asks for the racing line)
  std::optional<bool> racing;
  std::optional<double> lineOffset;           // units to the left of the racing line
  std::vector<sim::PlantedMistake> mistakes;  // lose and wide, at most one of each per lap
  double phase = 0.0;                         // of a game tick, by which the car sets off late
  bool needsRacingLine() const { return lineOffset.has_value() || !mistakes.empty(); }
};
enum class GameEvent { ResetBall, Respawn, RemoveCar, RestoreCar, Pause, Unpause };
struct Happen {
  GameEvent event = GameEvent::ResetBall;
};
struct Wait {
  double seconds = 0.0;
  int ticks = 0;  // when not 0, the wait is counted in game ticks instead of seconds
};
struct CopyFile {
  std::string source;       // relative to the scenario's folder
  std::string destination;  // relative to the game root
};
// Picks an entry of the settings page's ghost list, as a player does in its drop-down.
struct PickGhost {
  std::string label;  // a piece of the entry's label
};
enum class Report { Page, Ghosts, Kismet, Car, Cvars };
struct Show {
  Report what = Report::Page;
};
struct Expect {
  enum class What {
    ConsoleLine,
    NoConsoleLine,
    CvarValue,
    FileExists,
    FileMissing,
    FirstLine,
    LastLine,
    AnyLine,
    NoLine,
    KismetValue,
    WriteCount
  };
  What what = What::ConsoleLine;
  bool onPage = false;  // the file is the plugin's settings page
  std::string subject;  // the variable's name, or the file's path relative to the game root
  TextMatcher matcher;
  std::vector<std::string> values;  // a Kismet variable's expected value, as words
  long count = 0;                   // the least number of writes
};

using Action =
    std::variant<LoadMap, LoadMainMenu, TypeConsole, SetPlayer, Drive, Happen, Wait, CopyFile, PickGhost, Show, Expect>;

struct Step {
  int line = 0;
  std::string text;  // the line as written, blanks at both ends removed
  Action action;
};

// A blank or comment line gives neither a step nor an error.
struct ParsedLine {
  std::optional<Step> step;
  std::string error;
};
ParsedLine parseStep(std::string_view line, int lineNumber);

// The step a line typed into the console is: the rest of the line is typed as it stands.
inline constexpr std::string_view consoleStep = "console";

// The words a scenario's steps are made of, as the parser knows them: each step's name, with the words after
// it that say what it does (expect console, show page, drive ... lap-time).
struct StepWords {
  std::string step;
  std::vector<std::string> words;
};
std::vector<StepWords> stepWords();

struct Script {
  std::string name;
  std::vector<Step> steps;
  std::vector<std::string> errors;  // "NAME:LINE: what is wrong", in line order
};
Script parseScript(std::string_view text, std::string name);

}  // namespace lumaro_host
