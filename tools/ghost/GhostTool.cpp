#include "tools/ghost/GhostTool.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <sstream>
#include <system_error>
#include <type_traits>
#include <utility>

#include "library/ghostfile/NumberReading.h"
#include "library/platform/FileStamp.h"
#include "plugin/HostNames.h"
#include "tools/ghost/DocumentOutput.h"
#include "tools/ghost/TextMarks.h"
#include "tools/ghost/analysis/AnalysisNotes.h"
#include "tools/ghost/analysis/DrivingFindings.h"
#include "tools/ghost/analysis/GhostFileContent.h"
#include "tools/ghost/analysis/GhostHeaderFields.h"
#include "tools/ghost/analysis/LapValidity.h"
#include "tools/ghost/analysis/LoadedGhost.h"
#include "tools/ghost/analysis/RunAnalysis.h"
#include "tools/ghost/analysis/RunProfile.h"
#include "tools/ghost/analysis/UnfinishedRuns.h"
#include "tools/ghost/board/BoardCommand.h"
#include "tools/ghost/picture/GhostFilesPicture.h"
#include "tools/ghost/picture/PictureSvg.h"
#include "tools/ghost/replay/ReplayData.h"
#include "tools/ghost/replay/ReplayPage.h"
#include "tools/ghost/report/CompareReport.h"
#include "tools/ghost/report/GhostCheck.h"
#include "tools/ghost/report/InfoReport.h"
#include "tools/ghost/report/TraceExport.h"
#include "tools/ghost/text/NumberText.h"
#include "tools/ghost/text/TextEscapes.h"

namespace lumaro_ghost {

namespace {

constexpr const char* generalHelp =
    R"(lumaro-ghost: see what a Lumaro ghost file holds, whether the plugin lists and loads it, where one
run beats another, and a ranked board of a folder of them. Files are read with the plugin's own ghost codec.

Usage:
  lumaro-ghost info FILE... [--json] [--gap MS] [--map NAME] [--laps N] [--sectors N]
  lumaro-ghost check FILE... [--map NAME] [--laps N] [--driving]
  lumaro-ghost board PATH... [-o BOARD.html | --json | --csv] [--map NAME] [--laps N] [--sectors N]
                     [--plausible-only]
  lumaro-ghost compare A [B] [--lap N | --lap RUN:N,RUN:N | --best] [--ref RUN:N] [--sectors N]
                       [--json | --csv] [--force]
  lumaro-ghost plot A [B...] -o PICTURE.svg [--lap N | --lap RUN:N,RUN:N | --best] [--ref RUN:N]
                    [--sectors N] [--force]
  lumaro-ghost html A [B...] -o REPLAY.html [--lap N | --lap RUN:N,RUN:N | --best] [--ref RUN:N]
                    [--sectors N] [--force]

Every subcommand explains itself with --help, for example: lumaro-ghost compare --help
Exit status: 0 done (check: no problem), 1 a file that cannot be read or used (check: problems found),
2 a command line not understood.
)";

constexpr const char* infoHelp = R"(lumaro-ghost info FILE... [--json] [--gap MS] [--map NAME] [--laps N] [--sectors N]

For each ghost file: the header (map, player, run time as race text, laps, version), the frame count and
duration, the path length, the mean and top speed (the top speed over 100 ms of run time), the sample
interval (median and worst), its lap times (at its start line: across the way it sets off, through its
first frame; each crossing interpolated between frames), its theoretical best lap (the best of each sector
over its laps), irregularities (times out of order, repeated times, gaps, lines the import skips or stops
at), and whether the plugin's settings page would list the file, with the entry it would show or the
reason it would not.

  --json       one JSON object per file, in an array, for scripts (docs/ghost-tool.md has the schema)
  --gap MS     an interval between frames longer than MS milliseconds counts as a gap (default 100)
  --map NAME   ask about the page on this map (default: the map the file names)
  --laps N     ask about the page set to N laps, {lap limits} (default: the file's lap count)
  --sectors N  sectors a lap is cut into, 1 to 100 (default 10)

Example:
  lumaro-ghost info tessaro/data/Ghosts/My-PB.ghost --map Speedway --laps 3
)";

constexpr const char* checkHelp = R"(lumaro-ghost check FILE... [--map NAME] [--laps N] [--driving]

Every problem of each file, one per line: FILE:LINE: reason (FILE: reason for the file as a whole). Frame
lines are judged as the plugin's import reads them, in its words: a line with fewer than seven fields is
skipped, a field that is not a (finite) number ends the import. Also reported: a header the settings page
cannot read (fields out of place or more than five, an empty map name, a run time or lap count that is not
a number, a run time below zero, a lap count the page cannot choose, a first line longer than the page
reads), a file name the page cannot list, lines that end in a carriage return alone (the plugin reads them
as one line), a file without frames, and a run that cannot be complete: its frames end more than a second
before its header's run time, or its path crosses its start line another number of times than its header's
lap count, or a lap cannot have been driven (timed at zero or less, or in under {least driven lap} of its
median lap). Notes, which pass: a header run time that is not the last frame's time otherwise, times that go
back, a carriage return in a header the page reads. A file the plugin lists and loads cleanly and whose
run can be complete passes. A pipe, device or folder is refused without being opened.

  --map NAME   also ask whether the page on this map lists the file (default: the map the file names)
  --laps N     also ask whether the page set to N laps ({lap limits}) lists it (default: the file's lap count)
  --driving    instead, what a car cannot do, as board looks for it in each file alone (timed at its own start
               line, its laps on its own median lap, its steps measured by its own top speed): a jump (a
               frame farther from the one before than {jump margin} times its top speed covers in the time
               between them), time that stands still while the car moves or runs backwards, a cut (a lap
               {cut share}% or more shorter than the median lap); FILE:LINE: the finding, LINE the frame's.
               Evidence to weigh, never a verdict. Exit status 1 when anything is found

Exit status: 0 no problem in any file, 1 problems found (or a file that cannot be read), 2 usage.

Example:
  lumaro-ghost check tessaro/data/Ghosts/*.ghost --map Speedway --laps 3
)";

constexpr const char* compareHelp =
    R"(lumaro-ghost compare A [B] [--lap N | --lap RUN:N,RUN:N | --best] [--ref RUN:N] [--sectors N]
                     [--json | --csv] [--force]

Where run B gains and loses time against run A, matched by track position. Both runs are timed at one
start line (across the way A sets off, through the rearmost of the runs' first frames), each crossing
interpolated between the frames on either side of it; every point of every lap is placed at the nearest
point of the reference lap (the lap whose length is the median of all laps of both runs, unless --ref
names one), so runs sampled at different rates, in another phase or on a line a car's width or two apart
compare correctly, and a lap that leaves the track is never the yardstick. Printed: the reference lap,
each run's lap times and best lap, the total difference (B's time less A's: below zero B is ahead), the
laps side by side, the ghost delta at every sector line of each lap (B's time less A's at the same place:
what the map's {ghost delta} shows when A is the ghost and B the player's run) with what B gained or lost
over that sector, the theoretical best lap (the best of each sector over every lap of both runs), and the
sectors of the largest gain and loss. Runs of different maps or lap counts are refused. A run that
completes fewer laps than its header names (one cut inside its first lap completes none) is compared over
the laps both complete, and over the lap it does not finish as far as it drove it (the ghost delta where
it ends); the report says so, and the exit status is 1 unless --force. A run that does not follow A's
track (runs of two maps under one map name) is said to be so, with the same exit status; a lap no car can
have driven (timed at zero or less, or in under {least driven lap} of the median lap) is named, and is never
a best lap. The first lap named is the reference side: --lap B:2,A:1 is A's lap 1 against B's lap 2.

  --lap N          compare lap N of each run only
  --lap RUN:N,RUN:N  compare the second lap named against the first, of either run or both of one run
                   (A:2,B:3 is B's lap 3 against A's lap 2; A:1,A:2 is A's lap 2 against its lap 1, and
                   then B may be left out; A:best,B:best the best laps; theoretical,B:3 B's lap 3 against
                   the theoretical best lap, B:3,theoretical the theoretical best lap against B's lap 3).
                   The first lap named is the reference side: B:2,A:1 is A's lap 1 against B's lap 2
  --best           compare A's best lap with B's best lap
  --ref RUN:N      place every lap on this lap (A:2 is A's second lap, A:best its best lap) rather than on
                   the median lap
  --sectors N      sectors a lap is cut into, 1 to 100 (default 10: tenths of the lap)
  --json           the comparison as one JSON object, for scripts (docs/ghost-tool.md has the schema)
  --csv            the trace along the reference lap as CSV: distance, each run's time and speed there and
                   the difference, at every sector line and 30 times within each sector
  --force          compare runs of different maps or lap counts, of two tracks, or cut short, all the same

Example:
  lumaro-ghost compare My-PB.ghost My-PB-2.ghost --sectors 5
)";

constexpr const char* plotHelp =
    R"(lumaro-ghost plot A [B...] -o PICTURE.svg [--lap N | --lap RUN:N,RUN:N | --best] [--ref RUN:N]
                  [--sectors N] [--force]

Draws the runs as one self-contained SVG picture that opens in any browser (x to the right, y downward).
Two runs make one picture of where B loses time: both lines on one map, B's coloured by whether it gains
or loses against A at that point of the track, the sector lines numbered and the sector of the largest
loss circled; below it both runs' speed along the lap, and B's time less A's (matched by track position,
as compare does) with the lap lines, the sectors of the largest gain and loss and the difference at the
finish. One run, or three or more, get a map each, coloured by speed on one shared scale that starts low
enough that a few per cent look alike. Runs of different maps or lap counts are refused.

  -o FILE      where to write the picture ("-" for standard output; never over a ghost file)
  --lap N      draw lap N only
  --lap RUN:N,RUN:N  draw the second lap named against the first, as compare takes them (A:2,B:3, A:1,A:3
               with one file, A:best,B:best, theoretical,B:3 or B:3,theoretical)
  --best       draw B's best lap against A's best lap
  --ref RUN:N  place every lap on this lap (A:2 is A's second lap, A:best its best lap) rather than on the
               median lap
  --sectors N  sectors a lap is cut into, 1 to 100 (default 10)
  --force      draw runs of different maps or lap counts, or runs cut short, all the same

Example:
  lumaro-ghost plot My-PB.ghost My-PB-2.ghost -o comparison.svg
)";

constexpr const char* htmlHelp = R"(lumaro-ghost html A [B...] -o REPLAY.html [--lap N | --lap RUN:N,RUN:N | --best]
                  [--ref RUN:N] [--sectors N] [--force]

Writes the runs as one self-contained web page that opens offline in any browser and fetches nothing:
the map with each run's line and a car marker moving in real time, play and pause, speed from 1/4x to 8x,
a scrub bar, steps to the previous or next sector and lap, B's time less A's and each run's speed along
the laps with a cursor at the current point, and the lap and sector table (each sector's time per run and
what it gained or lost, the theoretical best) with the current sector marked. A's line on the map is
coloured by B's pace against A; a click or drag on the map or on a trace seeks there.
Runs are timed and matched as compare times and matches them, so the figures are compare's; the clock is
race time, from where each run crosses A's start line, so the cars set off together. Names, maps and
times are shown as info prints them. Runs of different maps or lap counts are refused.

Keys: space plays or pauses; left and right arrows step by sector, with shift by lap; up and down change
the speed; Home and End go to the start and the finish; the wheel, + and - zoom the map, shift+drag and
alt+arrows pan it, 0 shows it whole again.

  -o FILE      where to write the page ("-" for standard output; never over a ghost file)
  --lap N      replay lap N of every run, the clock starting at its start
  --lap RUN:N,RUN:N  replay the second lap named against the first, as compare takes them (A:2,B:3, A:1,A:3
               with one file, A:best,B:best), each clock starting at its lap's start
  --best       replay B's best lap against A's best lap
  --ref RUN:N  place every lap on this lap (A:2 is A's second lap, A:best its best lap) rather than on the
               median lap
  --sectors N  sectors a lap is cut into, 1 to 100 (default 10)
  --force      replay runs of different maps or lap counts, or runs cut short, all the same (the laps all
               of them hold)

Example:
  lumaro-ghost html My-PB.ghost My-PB-2.ghost -o replay.html
)";

// A help text with the page's lap limits and the map's names, whose home is the host's names, and the share of
// the median lap under which a lap cannot have been driven, in place of their marks.
std::string helpText(std::string text) {
  return fillMarks(std::move(text), {{"{lap limits}", lapLimitsText()},
                                     {"{ghost delta}", names::kismet::ghostDelta},
                                     {"{jump margin}", fixedText(jumpMargin, 0)},
                                     {"{cut share}", fixedText(cutShare * 100.0, 0)},
                                     {"{speed share}", fixedText(speedShare * 100.0, 0)},
                                     {"{least driven lap}", fixedText(leastDrivenLapShare * 100.0, 0) + "%"}});
}

struct CommandLine {
  std::vector<std::string> files;
  bool help = false;
  bool json = false;
  bool force = false;
  bool best = false;
  bool csv = false;
  bool plausibleOnly = false;  // board --plausible-only
  bool driving = false;        // check --driving
  std::optional<std::string> output;
  std::optional<LapOfRun> reference;                     // --ref
  std::optional<std::pair<LapOfRun, LapOfRun>> lapPair;  // --lap RUN:N,RUN:N
  bool againstTheoretical = false;                       // --lap theoretical,RUN:N
  bool theoreticalSecond = false;                        // --lap RUN:N,theoretical
  std::optional<std::string> mapName;
  std::optional<std::int32_t> laps;
  std::optional<std::int32_t> lap;
  std::int32_t gapMs = 100;
  std::int32_t sectors = 10;
  std::string error;
};

struct Subcommand {
  const char* name;
  const char* help;
  std::vector<std::string> valueOptions;
  std::vector<std::string> flags;
  bool report;  // its results are text for a terminal (plot's are a picture)
  int (*run)(const CommandLine&, std::ostream&, std::ostream&);
};

std::optional<std::int32_t> wholeNumber(const std::string& text) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// A lap named as RUN:best, resolved once the runs are timed.
constexpr int bestLapOfRun = -1;

// "A:2": a run's letter and a lap number from 1; "A:best": the run's best lap.
std::optional<LapOfRun> lapOfRun(const std::string& text) {
  if (text.size() < 3 || text[1] != ':') return std::nullopt;
  const auto letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  const std::optional<std::int32_t> lap = text.substr(2) == "best" ? bestLapOfRun : wholeNumber(text.substr(2));
  if (letter < 'A' || letter > 'Z' || !lap || (*lap < 1 && *lap != bestLapOfRun)) return std::nullopt;
  return LapOfRun{static_cast<std::size_t>(letter - 'A'), *lap};
}

bool isOneOf(const std::string& word, const std::vector<std::string>& words) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

// A number option's value, within its range; an error otherwise.
struct NumberOption {
  const char* name;
  std::int32_t least;
  std::int32_t most;
  const char* what;  // "a number of laps", for the error
};
constexpr NumberOption numberOptions[] = {
    {"--gap", 0, INT32_MAX, "a whole number of milliseconds"},
    {"--laps", fewestLaps, mostLaps, "a number of laps"},
    {"--lap", 1, INT32_MAX, "a lap number"},
    {"--sectors", fewestSectors, mostSectors, "a number of sectors"},
};

std::string numberError(const NumberOption& option, const std::string& value) {
  if (option.most == INT32_MAX)
    return std::string(option.name) + " takes " + option.what + " from " + std::to_string(option.least) + ", not \"" +
           value + "\"";
  std::string error = std::string(option.name) + " takes " + option.what + " from " + std::to_string(option.least) +
                      " to " + std::to_string(option.most);
  // The page is set to fewestLaps to mostLaps (its Number of laps, which the host keeps within that range).
  if (std::string(option.name) == "--laps") error += ", as the settings page's Number of laps does";
  return error + ", not " + (wholeNumber(value) ? value : "\"" + value + "\"");
}

CommandLine parse(const std::vector<std::string>& words, const Subcommand& subcommand) {
  CommandLine line;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "-h" || word == "--help") {
      line.help = true;
    } else if (isOneOf(word, subcommand.flags)) {
      if (word == "--json") line.json = true;
      if (word == "--force") line.force = true;
      if (word == "--best") line.best = true;
      if (word == "--csv") line.csv = true;
      if (word == "--plausible-only") line.plausibleOnly = true;
      if (word == "--driving") line.driving = true;
    } else if (isOneOf(word, subcommand.valueOptions)) {
      if (i + 1 >= words.size()) {
        line.error = word + " needs a value";
        return line;
      }
      const std::string& value = words[++i];
      if (word == "-o") line.output = value;
      if (word == "--map") line.mapName = value;
      if (word == "--ref") {
        line.reference = lapOfRun(value);
        if (!line.reference) {
          line.error = "--ref takes a run's letter and a lap number or best, as A:2 or A:best, not \"" + value + "\"";
          return line;
        }
      }
      const std::size_t comma = value.find(',');
      if (word == "--lap" && comma != std::string::npos) {
        // The theoretical best lap on either side (it holds no run's lap: its place is a stand-in).
        line.againstTheoretical = value.substr(0, comma) == "theoretical";
        line.theoreticalSecond = !line.againstTheoretical && value.substr(comma + 1) == "theoretical";
        const auto first = line.againstTheoretical ? LapOfRun{0, 1} : lapOfRun(value.substr(0, comma));
        const auto second = line.theoreticalSecond ? LapOfRun{0, 1} : lapOfRun(value.substr(comma + 1));
        if (!first || !second) {
          line.error =
              "--lap takes a lap number, or two laps as A:2,B:3, A:best,B:best, theoretical,B:2 or B:2,theoretical, "
              "not \"" +
              value + "\"";
          return line;
        }
        line.lapPair = std::pair{*first, *second};
        continue;
      }
      for (const NumberOption& option : numberOptions) {
        if (word != option.name) continue;
        const std::optional<std::int32_t> number = wholeNumber(value);
        if (!number || *number < option.least || *number > option.most) {
          line.error = numberError(option, value);
          return line;
        }
        if (word == "--gap") line.gapMs = *number;
        if (word == "--laps") line.laps = *number;
        if (word == "--lap") line.lap = *number;
        if (word == "--sectors") line.sectors = *number;
      }
    } else if (word.size() > 1 && word[0] == '-') {
      line.error = "unknown option " + word;
      return line;
    } else {
      line.files.push_back(word);
    }
  }
  if ((line.lap || line.lapPair) && line.best) line.error = "give --lap or --best, not both";
  if (line.json && line.csv) line.error = "give --json or --csv, not both";
  return line;
}

struct Loaded {
  std::vector<LoadedGhost> ghosts;
  bool allRead = true;
};

Loaded loadAll(const std::vector<std::string>& files, const std::string& command, std::ostream& err) {
  Loaded loaded;
  for (const std::string& file : files) {
    LoadResult result = loadGhost(file);
    if (result.ghost) {
      loaded.ghosts.push_back(std::move(*result.ghost));
    } else {
      err << "lumaro-ghost " << command << ": " << lineText(file) << " " << result.error << "\n";
      loaded.allRead = false;
    }
  }
  return loaded;
}

int usage(std::ostream& err, const std::string& command, const std::string& problem) {
  err << "lumaro-ghost " << command << ": " << lineText(problem) << " (lumaro-ghost " << command << " --help)\n";
  return 2;
}

int info(const CommandLine& line, std::ostream& out, std::ostream& err) {
  if (line.files.empty()) return usage(err, "info", "name at least one ghost file");
  const Loaded loaded = loadAll(line.files, "info", err);
  InfoOptions options;
  options.gapMs = line.gapMs;
  options.mapName = line.mapName;
  options.lapCount = line.laps;
  options.sectors = line.sectors;
  std::vector<GhostInfo> infos;
  for (const LoadedGhost& ghost : loaded.ghosts) infos.push_back(describeGhost(ghost, options));
  if (line.json) {
    writeInfoJson(out, infos);
  } else {
    for (std::size_t i = 0; i < infos.size(); ++i) {
      if (i > 0) out << "\n";
      writeInfoText(out, infos[i], options);
    }
  }
  return loaded.allRead ? 0 : 1;
}

int check(const CommandLine& line, std::ostream& out, std::ostream& err) {
  if (line.files.empty()) return usage(err, "check", "name at least one ghost file");
  if (line.driving) return checkDriving(line.files, out, err);
  const Loaded loaded = loadAll(line.files, "check", err);
  const PageQuestion page{line.mapName, line.laps};
  bool clean = loaded.allRead;
  for (const LoadedGhost& ghost : loaded.ghosts) {
    const std::vector<GhostProblem> problems = checkGhost(ghost.content, ghost.fileName, page);
    if (problems.empty()) out << lineText(ghost.shownName) << ": no problem\n";
    for (const GhostProblem& problem : problems) {
      out << lineText(ghost.shownName);
      if (problem.line > 0) out << ":" << problem.line;
      out << ": " << (problem.note ? "note: " : "") << lineText(problem.reason) << "\n";
    }
    clean = clean && !hasProblem(problems);
  }
  return clean ? 0 : 1;
}

bool usable(const LoadedGhost& ghost, const std::string& command, std::ostream& err) {
  if (ghost.content.frames.size() >= 2 && ghost.profile.length > 0.0 && std::isfinite(ghost.profile.length)) {
    return true;
  }
  err << "lumaro-ghost " << command << ": " << lineText(ghost.shownName) << " "
      << noPathReason(ghost.content.frames.size()) << "\n";
  return false;
}

// Runs of one race: the same map and the same lap count as the first. Otherwise refused, or with --force
// named in notes and used all the same.
bool sameRace(const std::vector<LoadedGhost>& ghosts, const CommandLine& line, const std::string& command,
              std::vector<std::string>& notes, std::ostream& err) {
  const GhostHeaderFields& first = ghosts.front().header;
  bool same = true;
  for (std::size_t i = 1; i < ghosts.size(); ++i) {
    const GhostHeaderFields& other = ghosts[i].header;
    const std::string letter(1, static_cast<char>('A' + i % 26));
    std::vector<std::string> differences;
    if (!first.mapName.empty() && !other.mapName.empty() && first.mapName != other.mapName) {
      differences.push_back("A is a run on " + first.mapName + " and " + letter + " on " + other.mapName +
                            ": runs of different maps");
    }
    if (first.lapCount.error == NumberError::None && other.lapCount.error == NumberError::None &&
        first.lapCount.value != other.lapCount.value) {
      differences.push_back("A is a run of " +
                            countText(static_cast<std::size_t>(std::max(first.lapCount.value, 0)), "lap", "laps") +
                            " and " + letter + " of " +
                            countText(static_cast<std::size_t>(std::max(other.lapCount.value, 0)), "lap", "laps") +
                            ": runs of different lap counts");
    }
    // What the subcommand does with the runs: compares, draws or replays them.
    const bool drawn = command == "plot", replayed = command == "html";
    for (const std::string& difference : differences) {
      if (line.force) {
        notes.push_back(difference +
                        (drawn      ? ", drawn"
                         : replayed ? ", replayed"
                                    : ", compared") +
                        " all the same (--force)");
      } else {
        err << "lumaro-ghost " << command << ": " << lineText(difference)
            << (drawn      ? " are not drawn together (--force draws"
                : replayed ? " are not replayed together (--force replays"
                           : " are not compared (--force compares")
            << " them all the same)\n";
        same = false;
      }
    }
  }
  return same;
}

// The runs to compare or draw, read and checked: none when one cannot be used (the error is written).
std::optional<Loaded> loadRace(const CommandLine& line, const std::string& command, std::vector<std::string>& notes,
                               std::ostream& err) {
  Loaded loaded = loadAll(line.files, command, err);
  if (!loaded.allRead) return std::nullopt;
  for (const LoadedGhost& ghost : loaded.ghosts) {
    if (!usable(ghost, command, err)) return std::nullopt;
  }
  if (!sameRace(loaded.ghosts, line, command, notes, err)) return std::nullopt;
  return loaded;
}

// Whether every run holds the chosen lap; if not, the error is written.
bool holdsLap(const Analysis& analysis, std::optional<std::int32_t> lap, const std::string& command,
              std::ostream& err) {
  if (!lap) return true;
  for (std::size_t i = 0; i < analysis.runs.size(); ++i) {
    const int laps = analysis.runs[i].timed.laps();
    if (*lap > laps) {
      err << "lumaro-ghost " << command << ": there is no lap " << *lap << " in " << static_cast<char>('A' + i % 26)
          << ", which holds " << countText(static_cast<std::size_t>(laps), "lap", "laps") << "\n";
      return false;
    }
  }
  return true;
}

// Whether a lap named as RUN:N is one the runs hold; if not, the error is written. reference: it must also
// cross the start line once a lap, since the reference is the path of one lap between two crossings.
bool holdsNamedLap(const Analysis& analysis, const LapOfRun& lap, bool reference, const std::string& command,
                   std::ostream& err) {
  const char letter = static_cast<char>('A' + lap.run % 26);
  if (lap.run >= analysis.runs.size()) {
    err << "lumaro-ghost " << command << ": there is no run " << letter << ": "
        << countText(analysis.runs.size(), "file is", "files are") << " given\n";
    return false;
  }
  const TimedRun& run = analysis.runs[lap.run].timed;
  if (lap.lap < 1 || lap.lap > run.laps()) {
    err << "lumaro-ghost " << command << ": there is no lap " << lap.lap << " in " << letter << ", which holds "
        << countText(static_cast<std::size_t>(run.laps()), "lap", "laps") << "\n";
    return false;
  }
  if (reference && !run.lapLinesFound) {
    err << "lumaro-ghost " << command << ": " << letter
        << " does not cross the start line once a lap, so none of its laps can be the reference\n";
    return false;
  }
  return true;
}

// A lap named as RUN:best: the run's best lap, once the runs are timed (0 when it has none).
void resolveBest(const Analysis& analysis, std::optional<LapOfRun>& lap) {
  if (lap && lap->lap == bestLapOfRun && lap->run < analysis.runs.size())
    lap->lap = analysis.runs[lap->run].timed.bestLap();
}

// The analysis of the runs with the reference lap the command line names; none when a named lap is missing.
// Laps named as RUN:best are given their numbers in line.
std::optional<Analysis> analyseRace(const std::vector<LoadedGhost>& ghosts, CommandLine& line,
                                    const std::string& command, std::ostream& err) {
  Analysis analysis = analyseGhosts(ghosts, line.sectors, line.reference);
  if (line.reference && line.reference->lap == bestLapOfRun) {
    resolveBest(analysis, line.reference);
    analysis = analyseGhosts(ghosts, line.sectors, line.reference);
  }
  if (line.reference && !holdsNamedLap(analysis, *line.reference, true, command, err)) return std::nullopt;
  if (line.lapPair) {
    std::optional<LapOfRun> first = line.lapPair->first, second = line.lapPair->second;
    resolveBest(analysis, first), resolveBest(analysis, second);
    line.lapPair = std::pair{*first, *second};
  }
  if (line.lapPair &&
      ((!line.againstTheoretical && !holdsNamedLap(analysis, line.lapPair->first, false, command, err)) ||
       (!line.theoreticalSecond && !holdsNamedLap(analysis, line.lapPair->second, false, command, err)))) {
    return std::nullopt;
  }
  if (!holdsLap(analysis, line.lap, command, err)) return std::nullopt;
  return analysis;
}

// Runs of used that do not follow A's track, or do not complete the laps their headers name, are named in the
// notes, with what is done instead (compared: "laps 1 and 2, which every run completes, are compared"); the
// command then fails unless --force. Laps that cannot have been driven are named too. Returns the exit status
// the command ends with.
int noteUnfinishedRuns(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis,
                       const std::vector<std::size_t>& used, const std::string& compared, const CommandLine& line,
                       const std::string& command, std::vector<std::string>& notes, std::ostream& err) {
  const std::vector<std::string> offTrack = offTrackNotes(analysis, used);
  notes.insert(notes.end(), offTrack.begin(), offTrack.end());
  const std::vector<std::string> unfinished = unfinishedRunNotes(ghosts, analysis, used, compared);
  notes.insert(notes.end(), unfinished.begin(), unfinished.end());
  const std::vector<std::string> undriven = undrivenLapNotes(analysis, used);
  notes.insert(notes.end(), undriven.begin(), undriven.end());
  if ((unfinished.empty() && offTrack.empty()) || line.force) return 0;
  const std::string forced = std::string(" (--force ") +
                             (command == "plot"   ? "draws"
                              : command == "html" ? "replays"
                                                  : "compares") +
                             " them so and exits 0)\n";
  if (!offTrack.empty()) err << "lumaro-ghost " << command << ": the runs do not follow the same track" << forced;
  if (unfinished.empty()) return 1;
  err << "lumaro-ghost " << command << ": " << (unfinished.size() == 1 ? "a run does" : "runs do")
      << " not complete the laps " << (unfinished.size() == 1 ? "its header names" : "their headers name") << ": "
      << compared << forced;
  return 1;
}

std::vector<std::size_t> allRuns(const Analysis& analysis) {
  std::vector<std::size_t> every(analysis.runs.size());
  for (std::size_t r = 0; r < every.size(); ++r) every[r] = r;
  return every;
}

// The runs and laps the command line compares, for compare and plot alike: run a (the reference side, the
// first lap named) against run b. The theoretical best lap stands on its side in place of a run's lap.
ComparedLaps chosenLaps(const CommandLine& line) {
  ComparedLaps chosen;
  chosen.laps = LapChoice{line.lap, line.best, std::nullopt};
  if (!line.lapPair) return chosen;
  const auto& [first, second] = *line.lapPair;
  chosen.a = line.againstTheoretical ? second.run : first.run;
  chosen.b = line.theoreticalSecond ? first.run : second.run;
  chosen.laps.laps = std::pair{first.lap, second.lap};
  chosen.laps.theoretical = line.againstTheoretical;
  chosen.laps.theoreticalB = line.theoreticalSecond;
  return chosen;
}

// The runs whose laps a comparison uses: the theoretical best lap is every run's, through the laps each
// completes.
std::vector<std::size_t> usedRuns(const Comparison& comparison) {
  std::vector<std::size_t> used;
  if (!comparison.theoretical) used.push_back(comparison.a);
  if (!comparison.theoreticalB && comparison.b != comparison.a) used.push_back(comparison.b);
  return used;
}

// Whether the laps named are all of A's (or the theoretical best): one file is then enough.
bool oneRunNamed(const CommandLine& line) {
  return line.lapPair && (line.lapPair->first.run == 0 || line.againstTheoretical) &&
         (line.lapPair->second.run == 0 || line.theoreticalSecond);
}

// Runs cut short among those plot or html use (every run, or a lap pair's), named in the notes with what is
// done instead ("lap 2 is drawn", "B's lap 3 against A's lap 2 is replayed"); the exit status.
int noteChosenLaps(const std::vector<LoadedGhost>& ghosts, const Analysis& analysis, const CommandLine& line,
                   const ComparedLaps& chosen, const std::string& command, const std::string& done,
                   std::vector<std::string>& notes, std::ostream& err) {
  if (line.lapPair || line.best) {
    const Comparison comparison = compareRuns(analysis, chosen.a, chosen.b, chosen.laps);
    return noteUnfinishedRuns(ghosts, analysis, usedRuns(comparison),
                              comparisonHeading(comparison, chosen.laps) + " is " + done, line, command, notes, err);
  }
  const std::string compared =
      line.lap ? "lap " + std::to_string(*line.lap) + " is " + done : everyLapText(analysis, allRuns(analysis), done);
  return noteUnfinishedRuns(ghosts, analysis, allRuns(analysis), compared, line, command, notes, err);
}

int compare(const CommandLine& given, std::ostream& out, std::ostream& err) {
  CommandLine line = given;
  if (line.files.size() != 2 && !(oneRunNamed(line) && line.files.size() == 1)) {
    return usage(err, "compare", "name two ghost files, A and B (or one, with --lap A:N,A:M)");
  }
  std::vector<std::string> notes;
  const std::optional<Loaded> loaded = loadRace(line, "compare", notes, err);
  if (!loaded) return 1;
  const std::optional<Analysis> analysed = analyseRace(loaded->ghosts, line, "compare", err);
  if (!analysed) return 1;
  const Analysis& analysis = *analysed;
  const ComparedLaps chosen = chosenLaps(line);
  const LapChoice& choice = chosen.laps;
  const Comparison comparison = compareRuns(analysis, chosen.a, chosen.b, choice);
  const std::vector<std::size_t> used = usedRuns(comparison);
  const bool everyLap = !line.lap && !line.lapPair && !line.best;
  const std::string compared =
      everyLap ? everyLapText(analysis, used, "compared") : comparisonHeading(comparison, choice) + " is compared";
  const int status = noteUnfinishedRuns(loaded->ghosts, analysis, used, compared, line, "compare", notes, err);
  if (line.csv) {
    writeTraceCsv(out, analysis, comparison);
  } else if (line.json) {
    writeComparisonJson(out, loaded->ghosts, analysis, comparison, choice, notes);
  } else {
    writeComparison(out, loaded->ghosts, analysis, comparison, choice, notes);
  }
  return status;
}

// Writes a made document where -o says, "-" being standard output.
int writeOutput(const std::string& command, const CommandLine& line, const std::vector<LoadedGhost>& ghosts,
                const std::string& document, std::ostream& out, std::ostream& err) {
  const std::string& output = *line.output;
  if (output == "-") {
    out << document;
    return 0;
  }
  std::vector<FileStamp> inputs;
  for (const LoadedGhost& ghost : ghosts) {
    if (ghost.stamp) inputs.push_back(*ghost.stamp);
  }
  const std::optional<DocumentRefusal> refusal = writeDocument(output, document, inputs);
  if (refusal && refusal->ghostFile) {
    return usage(err, command,
                 "-o " + output + " is a ghost file: the " + (command == "html" ? "page" : "picture") +
                     " is never written over one");
  }
  if (refusal) {
    err << "lumaro-ghost " << command << ": cannot write " << lineText(output) << ": " << refusal->reason << "\n";
    return 1;
  }
  return 0;
}

int plot(const CommandLine& line, std::ostream& out, std::ostream& err) {
  if (line.files.empty()) return usage(err, "plot", "name at least one ghost file");
  if (!line.output) return usage(err, "plot", "say where the picture goes with -o FILE.svg");
  if ((line.lapPair || line.best) && line.files.size() > 2)
    return usage(err, "plot", "two laps are drawn against each other from one or two files, not more");
  if (line.lapPair && line.files.size() == 1 && !oneRunNamed(line))
    return usage(err, "plot", "name two ghost files, A and B (or one, with --lap A:N,A:M)");
  std::vector<std::string> notes;
  const std::optional<Loaded> loaded = loadRace(line, "plot", notes, err);
  if (!loaded) return 1;
  CommandLine named = line;
  const std::optional<Analysis> analysis = analyseRace(loaded->ghosts, named, "plot", err);
  if (!analysis) return 1;
  const ComparedLaps chosen = chosenLaps(named);
  const int status = noteChosenLaps(loaded->ghosts, *analysis, named, chosen, "plot", "drawn", notes, err);
  const int written = writeOutput("plot", line, loaded->ghosts,
                                  pictureSvg(ghostsPicture(loaded->ghosts, *analysis, chosen, notes)), out, err);
  return written != 0 ? written : status;
}

int html(const CommandLine& line, std::ostream& out, std::ostream& err) {
  if (line.files.empty()) return usage(err, "html", "name at least one ghost file");
  if (!line.output) return usage(err, "html", "say where the page goes with -o FILE.html");
  if ((line.lapPair || line.best) && line.files.size() > 2)
    return usage(err, "html", "two laps are replayed against each other from one or two files, not more");
  if (line.lapPair && line.files.size() == 1 && !oneRunNamed(line))
    return usage(err, "html", "name two ghost files, A and B (or one, with --lap A:N,A:M)");
  if (line.againstTheoretical || line.theoreticalSecond)
    return usage(err, "html", "the theoretical best lap is no run's lap to replay (compare and plot take it)");
  std::vector<std::string> notes;
  const std::optional<Loaded> loaded = loadRace(line, "html", notes, err);
  if (!loaded) return 1;
  CommandLine named = line;
  const std::optional<Analysis> analysis = analyseRace(loaded->ghosts, named, "html", err);
  if (!analysis) return 1;
  const ComparedLaps chosen = chosenLaps(named);
  const int status = noteChosenLaps(loaded->ghosts, *analysis, named, chosen, "html", "replayed", notes, err);
  ReplayData data = replayData(loaded->ghosts, *analysis, chosen);
  data.notes = notes;
  if (data.laps.empty()) data.notes.emplace_back(nothingCompared);
  const int written = writeOutput("html", line, loaded->ghosts, replayPage(data), out, err);
  return written != 0 ? written : status;
}

int board(const CommandLine& line, std::ostream& out, std::ostream& err) {
  if (line.files.empty()) return usage(err, "board", "name at least one ghost file or folder");
  BoardRequest request;
  request.paths = line.files;
  request.map = line.mapName;
  request.laps = line.laps;
  request.sectors = line.sectors;
  request.json = line.json;
  request.csv = line.csv;
  request.plausibleOnly = line.plausibleOnly;
  request.page = line.output;
  return runBoard(request, out, err);
}

const Subcommand subcommands[] = {
    {"info", infoHelp, {"--gap", "--map", "--laps", "--sectors"}, {"--json"}, true, info},
    {"check", checkHelp, {"--map", "--laps"}, {"--driving"}, true, check},
    {"board", boardHelp, {"-o", "--map", "--laps", "--sectors"}, {"--json", "--csv", "--plausible-only"}, true, board},
    {"compare", compareHelp, {"--lap", "--ref", "--sectors"}, {"--best", "--json", "--csv", "--force"}, true, compare},
    {"plot", plotHelp, {"-o", "--lap", "--ref", "--sectors"}, {"--best", "--force"}, false, plot},
    {"html", htmlHelp, {"-o", "--lap", "--ref", "--sectors"}, {"--best", "--force"}, false, html},
};

int runSubcommand(const std::string& command, const std::vector<std::string>& rest, std::ostream& out,
                  std::ostream& err) {
  for (const Subcommand& subcommand : subcommands) {
    if (command != subcommand.name) continue;
    const CommandLine line = parse(rest, subcommand);
    if (line.help) {
      out << helpText(subcommand.help);
      return 0;
    }
    if (!line.error.empty()) return usage(err, command, line.error);
    if (!subcommand.report) return subcommand.run(line, out, err);
    std::ostringstream report;
    const int status = subcommand.run(line, report, err);
    out << terminalText(report.str());
    return status;
  }
  err << "lumaro-ghost: unknown subcommand \"" << lineText(command) << "\" (lumaro-ghost --help)\n";
  return 2;
}

}  // namespace

int runGhostTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  if (arguments.empty()) {
    err << generalHelp;
    return 2;
  }
  const std::string& command = arguments.front();
  const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
  if (command == "-h" || command == "--help" || command == "help") {
    out << generalHelp;
    return 0;
  }
  // What the tool says on either stream quotes the files and the command line: it is written out once its
  // control bytes are escaped (a picture or page is not text for a terminal and goes out as made).
  std::ostringstream errors;
  const int status = runSubcommand(command, rest, out, errors);
  err << terminalText(errors.str());
  return status;
}

}  // namespace lumaro_ghost
