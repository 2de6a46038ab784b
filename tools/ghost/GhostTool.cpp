#include "tools/ghost/GhostTool.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>
#include <utility>

#include "library/GhostFileWrite.h"
#include "library/NumberReading.h"
#include "tools/ghost/CompareReport.h"
#include "tools/ghost/GhostCheck.h"
#include "tools/ghost/GhostFileContent.h"
#include "tools/ghost/GhostHeaderFields.h"
#include "tools/ghost/GhostPictures.h"
#include "tools/ghost/InfoReport.h"
#include "tools/ghost/LoadedGhost.h"
#include "tools/ghost/NumberText.h"
#include "tools/ghost/ReplayData.h"
#include "tools/ghost/ReplayPage.h"
#include "tools/ghost/RunAnalysis.h"
#include "tools/ghost/RunPicture.h"
#include "tools/ghost/RunProfile.h"
#include "tools/ghost/TextEscapes.h"

namespace lumaro_ghost {

namespace {

constexpr const char* generalHelp =
    R"(lumaro-ghost: see what a Lumaro ghost file holds, whether the plugin lists and loads it, and where
one run beats another. Files are read with the plugin's own ghost codec.

Usage:
  lumaro-ghost info FILE... [--json] [--gap MS] [--map NAME] [--laps N] [--sectors N]
  lumaro-ghost check FILE... [--map NAME] [--laps N]
  lumaro-ghost compare A B [--lap N | --best] [--sectors N] [--json] [--force]
  lumaro-ghost plot A [B...] -o PICTURE.svg [--lap N] [--sectors N] [--force]
  lumaro-ghost html A [B...] -o REPLAY.html [--sectors N] [--force]

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
  --laps N     ask about the page set to N laps, 1 to 6 (default: the file's lap count)
  --sectors N  sectors a lap is cut into, 1 to 100 (default 10)

Example:
  lumaro-ghost info tessaro/data/Ghosts/My-PB.ghost --map Speedway --laps 3
)";

constexpr const char* checkHelp = R"(lumaro-ghost check FILE... [--map NAME] [--laps N]

Every problem of each file, one per line: FILE:LINE: reason (FILE: reason for the file as a whole).
Frame lines are judged as the plugin's import reads them, in its words: a line with fewer than seven
fields is skipped, a field that is not a (finite) number ends the import. Also reported: a header the
settings page cannot read (fields out of place or more than five, an empty map name, a run time or lap
count that is not a number, a run time below zero, a lap count the page cannot choose, a first line
longer than the page reads), a file name the page cannot list, lines that end in a carriage return alone
(the plugin reads them as one line), a file without frames, and a run that cannot be complete: its frames
end more than a second before its header's run time, or its path crosses its start line another number of
times than its header's lap count. Notes, which pass: a header run time that is not the last frame's time
otherwise, times that go back, a carriage return in a header the page reads. A file the plugin lists and
loads cleanly and whose run can be complete passes. A pipe, device or folder is refused without being
opened.

  --map NAME   also ask whether the page on this map lists the file (default: the map the file names)
  --laps N     also ask whether the page set to N laps (1 to 6) lists it (default: the file's lap count)

Exit status: 0 no problem in any file, 1 problems found (or a file that cannot be read), 2 usage.

Example:
  lumaro-ghost check tessaro/data/Ghosts/*.ghost --map Speedway --laps 3
)";

constexpr const char* compareHelp = R"(lumaro-ghost compare A B [--lap N | --best] [--sectors N] [--json] [--force]

Where run B gains and loses time against run A, matched by track position. Both runs are timed at A's
start line (through A's first frame, across the way A sets off), each crossing interpolated between the
frames on either side of it; every point of B is placed at the nearest point of A's first lap, so runs
sampled at different rates, in another phase or on a line a car's width or two apart compare correctly.
Printed: each run's lap times and best lap, the total difference (B's time less A's: below zero B is
ahead), the laps side by side, the difference at every sector line of each lap with what B gained or lost
over that sector, the theoretical best lap (the best of each sector over every lap of both runs), and
the sectors of the largest gain and loss. Runs of different maps or lap counts are refused.

  --lap N      compare lap N of each run only
  --best       compare A's best lap with B's best lap
  --sectors N  sectors a lap is cut into, 1 to 100 (default 10: tenths of the lap)
  --json       the comparison as one JSON object, for scripts (docs/ghost-tool.md has the schema)
  --force      compare runs of different maps or lap counts all the same (the laps both hold)

Example:
  lumaro-ghost compare My-PB.ghost My-PB-2.ghost --sectors 5
)";

constexpr const char* plotHelp = R"(lumaro-ghost plot A [B...] -o PICTURE.svg [--lap N] [--sectors N] [--force]

Draws the runs as one self-contained SVG picture that opens in any browser (x to the right, y downward).
Two runs make one picture of where B loses time: both lines on one map, B's coloured by whether it gains
or loses against A at that point of the track, the sector lines numbered and the sector of the largest
loss circled; below it both runs' speed along the lap, and B's time less A's (matched by track position,
as compare does) with the lap lines, the sectors of the largest gain and loss and the difference at the
finish. One run, or three or more, get a map each, coloured by speed on one shared scale that starts low
enough that a few per cent look alike. Runs of different maps or lap counts are refused.

  -o FILE      where to write the picture ("-" for standard output; never over a ghost file)
  --lap N      draw lap N only
  --sectors N  sectors a lap is cut into, 1 to 100 (default 10)
  --force      draw runs of different maps or lap counts all the same

Example:
  lumaro-ghost plot My-PB.ghost My-PB-2.ghost -o comparison.svg
)";

constexpr const char* htmlHelp = R"(lumaro-ghost html A [B...] -o REPLAY.html [--sectors N] [--force]

Writes the runs as one self-contained web page that opens offline in any browser and fetches nothing:
the map with each run's line and a car marker moving in real time, play and pause, speed from 1/4x to 8x,
a scrub bar, steps to the previous or next sector and lap, B's time less A's and each run's speed along
the laps with a cursor at the current point, and the lap and sector table with the current sector marked.
Runs are timed and matched as compare times and matches them, so the figures are compare's; the clock is
race time, from where each run crosses A's start line, so the cars set off together. Names, maps and
times are shown as info prints them. Runs of different maps or lap counts are refused.

Keys: space plays or pauses; left and right arrows step by sector, with shift by lap; up and down change
the speed; Home and End go to the start and the finish.

  -o FILE      where to write the page ("-" for standard output; never over a ghost file)
  --sectors N  sectors a lap is cut into, 1 to 100 (default 10)
  --force      replay runs of different maps or lap counts all the same (the laps all of them hold)

Example:
  lumaro-ghost html My-PB.ghost My-PB-2.ghost -o replay.html
)";

struct CommandLine {
  std::vector<std::string> files;
  bool help = false;
  bool json = false;
  bool force = false;
  bool best = false;
  std::optional<std::string> output;
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
  // The page is set to 1 to 6 laps (its Number of laps, which the host keeps within that range).
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
    } else if (isOneOf(word, subcommand.valueOptions)) {
      if (i + 1 >= words.size()) {
        line.error = word + " needs a value";
        return line;
      }
      const std::string& value = words[++i];
      if (word == "-o") line.output = value;
      if (word == "--map") line.mapName = value;
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
  if (line.lap && line.best) line.error = "give --lap N or --best, not both";
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
  const std::size_t frames = ghost.content.frames.size();
  err << "lumaro-ghost " << command << ": " << lineText(ghost.shownName)
      << " holds no path to use: the import would load " << countText(frames, "frame", "frames") << "\n";
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

int compare(const CommandLine& line, std::ostream& out, std::ostream& err) {
  if (line.files.size() != 2) return usage(err, "compare", "name two ghost files, A and B");
  std::vector<std::string> notes;
  const std::optional<Loaded> loaded = loadRace(line, "compare", notes, err);
  if (!loaded) return 1;
  const Analysis analysis = analyseGhosts(loaded->ghosts, line.sectors);
  if (!holdsLap(analysis, line.lap, "compare", err)) return 1;
  const LapChoice choice{line.lap, line.best};
  const Comparison comparison = compareRuns(analysis, 0, 1, choice);
  if (line.json) {
    writeComparisonJson(out, loaded->ghosts, analysis, comparison, choice, notes);
  } else {
    writeComparison(out, loaded->ghosts, analysis, comparison, choice, notes);
  }
  return 0;
}

std::filesystem::path pathOf(const std::string& name) {
  return std::filesystem::path(reinterpret_cast<const char8_t*>(name.c_str()));
}

// The file a name would write: Windows drops the dots and blanks that end a name ("Friend.ghost." is
// Friend.ghost there), taken so on every system, and links followed to what they lead to.
std::filesystem::path writtenFile(const std::string& output) {
  std::filesystem::path file = pathOf(output);
  std::u8string name = file.filename().u8string();
  if (name != u8"." && name != u8"..") {
    while (!name.empty() && (name.back() == u8'.' || name.back() == u8' ')) name.pop_back();
    if (!name.empty()) file.replace_filename(name);
  }
  std::error_code error;
  const std::filesystem::path resolved = std::filesystem::weakly_canonical(file, error);
  return error ? file : resolved;
}

// Whether a made document would be written over a ghost file: one of the runs it is made from, or any file
// named as a ghost (a slip such as "html My-PB.ghost -o Friend.ghost" would lose Friend's run), judged by the
// file the name would write rather than by its spelling.
bool replacesAGhost(const CommandLine& line) {
  const std::filesystem::path target = writtenFile(*line.output);
  std::u8string name = target.filename().u8string();
  std::string ending = name.size() >= 6 ? std::string(name.end() - 6, name.end()) : "";
  for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ending == ".ghost") return true;
  std::error_code error;
  return std::any_of(line.files.begin(), line.files.end(),
                     [&](const std::string& file) { return std::filesystem::equivalent(target, pathOf(file), error); });
}

// Writes the document to the file. A file (or nothing) at the name is replaced the way the plugin replaces a
// ghost, through a scratch file renamed over it, so a link or a second name there is never written through;
// a device or pipe there (a viewer reading a pipe) is written to as it is. A Windows device's name is refused.
std::optional<std::string> writeDocument(const std::string& output, const std::string& document) {
  const std::filesystem::path file = pathOf(output);
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(file, error);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    std::ofstream out(file, std::ios::binary);
    out << document;
    out.close();
    if (!out) return std::string("the file could not be written");
    return std::nullopt;
  }
  return writeFileThroughScratch(file, [&](std::ostream& out) { out << document; });
}

// Writes a made document where -o says, "-" being standard output.
int writeOutput(const std::string& command, const CommandLine& line, const std::string& document, std::ostream& out,
                std::ostream& err) {
  const std::string& output = *line.output;
  if (output == "-") {
    out << document;
    return 0;
  }
  if (replacesAGhost(line)) {
    return usage(err, command,
                 "-o " + output + " is a ghost file: the " + (command == "html" ? "page" : "picture") +
                     " is never written over one");
  }
  if (const std::optional<std::string> failure = writeDocument(output, document)) {
    err << "lumaro-ghost " << command << ": cannot write " << lineText(output) << ": " << *failure << "\n";
    return 1;
  }
  return 0;
}

int plot(const CommandLine& line, std::ostream& out, std::ostream& err) {
  if (line.files.empty()) return usage(err, "plot", "name at least one ghost file");
  if (!line.output) return usage(err, "plot", "say where the picture goes with -o FILE.svg");
  std::vector<std::string> notes;
  const std::optional<Loaded> loaded = loadRace(line, "plot", notes, err);
  if (!loaded) return 1;
  const Analysis analysis = analyseGhosts(loaded->ghosts, line.sectors);
  if (!holdsLap(analysis, line.lap, "plot", err)) return 1;
  return writeOutput("plot", line, pictureSvg(ghostsPicture(loaded->ghosts, analysis, line.lap)), out, err);
}

int html(const CommandLine& line, std::ostream& out, std::ostream& err) {
  if (line.files.empty()) return usage(err, "html", "name at least one ghost file");
  if (!line.output) return usage(err, "html", "say where the page goes with -o FILE.html");
  std::vector<std::string> notes;
  const std::optional<Loaded> loaded = loadRace(line, "html", notes, err);
  if (!loaded) return 1;
  ReplayData data = replayData(loaded->ghosts, line.sectors);
  data.notes = notes;
  return writeOutput("html", line, replayPage(data), out, err);
}

const Subcommand subcommands[] = {
    {"info", infoHelp, {"--gap", "--map", "--laps", "--sectors"}, {"--json"}, true, info},
    {"check", checkHelp, {"--map", "--laps"}, {}, true, check},
    {"compare", compareHelp, {"--lap", "--sectors"}, {"--best", "--json", "--force"}, true, compare},
    {"plot", plotHelp, {"-o", "--lap", "--sectors"}, {"--force"}, false, plot},
    {"html", htmlHelp, {"-o", "--sectors"}, {"--force"}, false, html},
};

int runSubcommand(const std::string& command, const std::vector<std::string>& rest, std::ostream& out,
                  std::ostream& err) {
  for (const Subcommand& subcommand : subcommands) {
    if (command != subcommand.name) continue;
    const CommandLine line = parse(rest, subcommand);
    if (line.help) {
      out << subcommand.help;
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
