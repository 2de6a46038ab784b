#include "tools/ghost/GhostTool.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "library/GhostFileAccess.h"
#include "tools/ghost/CompareJson.h"
#include "tools/ghost/CompareReport.h"
#include "tools/ghost/GhostCheck.h"
#include "tools/ghost/InfoReport.h"
#include "tools/ghost/LappedRun.h"
#include "tools/ghost/ReplayPage.h"
#include "tools/ghost/RunComparison.h"
#include "tools/ghost/TerminalText.h"

namespace lumaro_ghost {

namespace {

constexpr const char* generalHelp =
    R"(lumaro-ghost: see what a Lumaro ghost file holds, whether the plugin lists and loads it, and where
one run beats another. Files are read with the plugin's own ghost codec.

Usage:
  lumaro-ghost info FILE... [--json] [--gap MS] [--map NAME] [--laps N]
  lumaro-ghost check FILE... [--map NAME] [--laps N]
  lumaro-ghost compare A B [--json]
  lumaro-ghost plot A [B...] -o PICTURE.svg
  lumaro-ghost html A [B...] -o REPLAY.html

Every subcommand explains itself with --help, for example: lumaro-ghost compare --help
Exit status: 0 done (check: no problem), 1 a file that cannot be read or used (check: problems found),
2 a command line not understood.
)";

constexpr const char* infoHelp = R"(lumaro-ghost info FILE... [--json] [--gap MS] [--map NAME] [--laps N]

For each ghost file: the header (map, player, run time as race text, laps, version), the frame count and
duration, the path length, the mean and top speed (the top speed over 100 ms of run time), the sample
interval (median and worst), irregularities (times out of order, repeated times, gaps, lines the import
skips or stops at), and whether the plugin's settings page would list the file, with the entry it would
show or the reason it would not.

  --json       one JSON object per file, in an array, for scripts
  --gap MS     an interval between frames longer than MS milliseconds counts as a gap (default 100)
  --map NAME   ask about the page on this map (default: the map the file names)
  --laps N     ask about the page set to N laps (default: the file's lap count)

Example:
  lumaro-ghost info tessaro/data/Ghosts/My-PB.ghost --map Speedway --laps 3
)";

constexpr const char* checkHelp = R"(lumaro-ghost check FILE... [--map NAME] [--laps N]

Every problem of each file, one per line: FILE:LINE: reason (FILE: reason for the file as a whole).
Frame lines are judged as the plugin's import reads them, in its words: a line with fewer than seven
fields is skipped, a field that is not a (finite) number ends the import. Also reported: a header the
settings page cannot read (fields out of place, an empty map name, a run time or lap count that is not a
number, a lap count the page cannot choose, a first line longer than the page reads), a file name the page
cannot list, a link that leads out of its folder, lines that end in a carriage return alone (the plugin
reads them as one line), and a file without frames. Notes, which pass: a header run time that is not the
last frame's time, times that go back, a carriage return in a header the page reads. A file the plugin
lists and loads cleanly passes. A pipe, device or folder is refused without being opened.

  --map NAME   also ask whether the page on this map lists the file (default: the map the file names)
  --laps N     also ask whether the page set to N laps lists it (default: the file's lap count)

Exit status: 0 no problem in any file, 1 problems found (or a file that cannot be read), 2 usage.

Example:
  lumaro-ghost check tessaro/data/Ghosts/*.ghost --map Speedway --laps 3
)";

constexpr const char* compareHelp = R"(lumaro-ghost compare A B [--json]

Where run B gains and loses time against run A. The runs are matched by distance along the path, not by
frame, so runs sampled at different rates compare correctly: each lap is measured from one lap line to
the next (a lap line is where the run crosses back over its start), and a point a share of the way
through a lap in A is matched with the point the same share through that lap in B. Printed: the total
difference (B's time less A's: below zero B is ahead), the difference at every tenth of each lap and at
each lap line with what B gained or lost over that tenth, and the tenths of the largest gain and loss.

  --json       for scripts: {"total_s", "laps": [{"lap", "a_s", "b_s", "delta_s"}...], "sectors": [{"lap",
               "from", "to", "delta_s"}...]}, seconds, from and to as shares of the lap, the sectors being
               the tenths of each lap; delta_s is B's time less A's (below zero B gained)

Example:
  lumaro-ghost compare My-PB.ghost My-PB-2.ghost
)";

constexpr const char* plotHelp = R"(lumaro-ghost plot A [B...] -o PICTURE.svg

Draws the runs as one self-contained SVG picture that opens in any browser: a top-down map of each run's
path (x to the right, y downward, one scale for all), coloured by speed on one shared colour scale, with
the start and the direction of travel marked; with two runs, a second panel shows B's time less A's along
the lap (matched by distance), the lap lines, the tenths of the largest gain and loss, and the difference
at the finish.

  -o FILE      where to write the picture ("-" for standard output; never over a ghost file)

Example:
  lumaro-ghost plot My-PB.ghost My-PB-2.ghost -o comparison.svg
)";

constexpr const char* htmlHelp = R"(lumaro-ghost html A [B...] -o REPLAY.html

Writes the runs as one self-contained web page that opens offline in any browser and fetches nothing:
the map with each run's line and a car marker moving in real time, play and pause, speed from 1/4x to 8x,
a scrub bar, steps to the previous or next sector and lap, B's time less A's and each run's speed along
A's path with a cursor at the current point, and the lap and sector table with the current sector marked.
Runs are matched as compare matches them; the sectors are the tenths of each lap. Names, maps and times
are shown as info prints them.

Keys: space plays or pauses; left and right arrows step by sector, with shift by lap; up and down change
the speed; Home and End go to the start and the finish.

  -o FILE      where to write the page ("-" for standard output; never over a ghost file)

Example:
  lumaro-ghost html My-PB.ghost My-PB-2.ghost -o replay.html
)";

struct CommandLine {
  std::vector<std::string> files;
  bool help = false;
  bool json = false;
  std::optional<std::string> output;
  std::optional<std::string> mapName;
  std::optional<std::int32_t> laps;
  std::int32_t gapMs = 100;
  std::string error;
};

std::optional<std::int32_t> wholeNumber(const std::string& text) {
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// valueOptions: the options this subcommand takes with a value.
CommandLine parse(const std::vector<std::string>& words, const std::vector<std::string>& valueOptions, bool takesJson) {
  CommandLine line;
  auto takes = [&](const std::string& word) {
    for (const std::string& option : valueOptions) {
      if (option == word) return true;
    }
    return false;
  };
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "-h" || word == "--help") {
      line.help = true;
    } else if (takesJson && word == "--json") {
      line.json = true;
    } else if (takes(word)) {
      if (i + 1 >= words.size()) {
        line.error = word + " needs a value";
        return line;
      }
      const std::string& value = words[++i];
      if (word == "-o") line.output = value;
      if (word == "--map") line.mapName = value;
      if (word == "--laps" || word == "--gap") {
        const std::optional<std::int32_t> number = wholeNumber(value);
        if (!number || *number < 0) {
          line.error = word + " takes a whole number, not \"" + value + "\"";
          return line;
        }
        // Two plain assignments: a conditional between an optional and an int would assign to a temporary.
        if (word == "--laps") {
          line.laps = *number;
        } else {
          line.gapMs = *number;
        }
      }
    } else if (word.size() > 1 && word[0] == '-') {
      line.error = "unknown option " + word;
      return line;
    } else {
      line.files.push_back(word);
    }
  }
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
      err << "lumaro-ghost " << command << ": " << file << " " << result.error << "\n";
      loaded.allRead = false;
    }
  }
  return loaded;
}

int usage(std::ostream& err, const std::string& command, const std::string& problem) {
  err << "lumaro-ghost " << command << ": " << problem << " (lumaro-ghost " << command << " --help)\n";
  return 2;
}

int info(const CommandLine& line, std::ostream& out, std::ostream& err) {
  if (line.files.empty()) return usage(err, "info", "name at least one ghost file");
  const Loaded loaded = loadAll(line.files, "info", err);
  InfoOptions options;
  options.gapMs = line.gapMs;
  options.mapName = line.mapName;
  options.lapCount = line.laps;
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

// The plugin reads a ghost file only where it lies inside its folder once every link is resolved.
bool leadsOutOfItsFolder(const std::string& shownName) {
  const std::filesystem::path file(reinterpret_cast<const char8_t*>(shownName.c_str()));
  const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
  return !GhostFileAccess(folder).mayRead(file);
}

int check(const CommandLine& line, std::ostream& out, std::ostream& err) {
  if (line.files.empty()) return usage(err, "check", "name at least one ghost file");
  const Loaded loaded = loadAll(line.files, "check", err);
  const PageQuestion page{line.mapName, line.laps};
  bool clean = loaded.allRead;
  for (const LoadedGhost& ghost : loaded.ghosts) {
    std::vector<GhostProblem> problems = checkGhost(ghost.content, ghost.fileName, page);
    if (leadsOutOfItsFolder(ghost.shownName)) {
      problems.insert(problems.begin(), {0, "a link that leads out of its folder: the plugin reads no file there"});
    }
    if (problems.empty()) out << ghost.shownName << ": no problem\n";
    for (const GhostProblem& problem : problems) {
      out << ghost.shownName;
      if (problem.line > 0) out << ":" << problem.line;
      out << ": " << (problem.note ? "note: " : "") << problem.reason << "\n";
    }
    clean = clean && !hasProblem(problems);
  }
  return clean ? 0 : 1;
}

bool usable(const LoadedGhost& ghost, const std::string& command, std::ostream& err) {
  if (ghost.content.frames.size() >= 2 && ghost.profile.length > 0.0) return true;
  const std::size_t frames = ghost.content.frames.size();
  err << "lumaro-ghost " << command << ": " << ghost.shownName << " holds no path to use: the import would load "
      << frames << (frames == 1 ? " frame" : " frames") << "\n";
  return false;
}

int compare(const CommandLine& line, std::ostream& out, std::ostream& err) {
  if (line.files.size() != 2) return usage(err, "compare", "name two ghost files, A and B");
  const Loaded loaded = loadAll(line.files, "compare", err);
  if (!loaded.allRead) return 1;
  const LoadedGhost& a = loaded.ghosts[0];
  const LoadedGhost& b = loaded.ghosts[1];
  if (!usable(a, "compare", err) || !usable(b, "compare", err)) return 1;
  if (line.json) {
    writeComparisonJson(out, replayData(loaded.ghosts));
    return 0;
  }
  const LappedRun lappedA = lapRun(a.content.frames, a.profile, a.laps());
  const LappedRun lappedB = lapRun(b.content.frames, b.profile, b.laps());
  writeComparison(out, a, lappedA, b, lappedB, compareRuns(lappedA, lappedB));
  return 0;
}

// Whether a made document would be written over a ghost file: one of the runs it is made from, or any file
// named as a ghost (a slip such as "html My-PB.ghost -o Friend.ghost" would lose Friend's run).
bool replacesAGhost(const CommandLine& line) {
  const std::string& output = *line.output;
  std::string ending = output.size() >= 6 ? output.substr(output.size() - 6) : "";
  for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ending == ".ghost") return true;
  const auto pathOf = [](const std::string& name) {
    return std::filesystem::path(reinterpret_cast<const char8_t*>(name.c_str()));
  };
  std::error_code error;
  return std::any_of(line.files.begin(), line.files.end(), [&](const std::string& file) {
    return std::filesystem::equivalent(pathOf(output), pathOf(file), error);
  });
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
  std::ofstream file(std::filesystem::path(reinterpret_cast<const char8_t*>(output.c_str())), std::ios::binary);
  file << document;
  file.close();
  if (!file) {
    err << "lumaro-ghost " << command << ": cannot write " << output << "\n";
    return 1;
  }
  return 0;
}

// The runs of a picture or page: every file read, each with a path to show.
std::optional<Loaded> loadDrawable(const CommandLine& line, const std::string& command, std::ostream& err) {
  Loaded loaded = loadAll(line.files, command, err);
  if (!loaded.allRead) return std::nullopt;
  for (const LoadedGhost& ghost : loaded.ghosts) {
    if (!usable(ghost, command, err)) return std::nullopt;
  }
  return loaded;
}

int plot(const CommandLine& line, std::ostream& out, std::ostream& err) {
  if (line.files.empty()) return usage(err, "plot", "name at least one ghost file");
  if (!line.output) return usage(err, "plot", "say where the picture goes with -o FILE.svg");
  const std::optional<Loaded> loaded = loadDrawable(line, "plot", err);
  if (!loaded) return 1;
  return writeOutput("plot", line, pictureSvg(ghostsPicture(loaded->ghosts)), out, err);
}

int html(const CommandLine& line, std::ostream& out, std::ostream& err) {
  if (line.files.empty()) return usage(err, "html", "name at least one ghost file");
  if (!line.output) return usage(err, "html", "say where the page goes with -o FILE.html");
  const std::optional<Loaded> loaded = loadDrawable(line, "html", err);
  if (!loaded) return 1;
  return writeOutput("html", line, replayPage(replayData(loaded->ghosts)), out, err);
}

}  // namespace

Picture ghostsPicture(const std::vector<LoadedGhost>& ghosts) {
  Picture picture;
  picture.title = ghosts.size() == 2 ? "Lumaro ghost comparison" : "Lumaro ghost runs";
  // Every map the runs name, in order, so that runs of different maps are not shown as one map's.
  std::vector<std::string> maps;
  for (const LoadedGhost& ghost : ghosts) {
    const std::string& map = ghost.header.mapName;
    if (!map.empty() && std::find(maps.begin(), maps.end(), map) == maps.end()) maps.push_back(map);
  }
  for (std::size_t i = 0; i < maps.size(); ++i) picture.title += (i == 0 ? ": " : ", ") + maps[i];
  for (std::size_t i = 0; i < ghosts.size(); ++i) {
    const LoadedGhost& ghost = ghosts[i];
    const std::string letter(1, static_cast<char>('A' + i % 26));
    picture.panels.push_back(
        runPanel(letter + ": " + ghost.fileName,
                 runCaption(ghost) + ", " + std::to_string(ghost.content.frames.size()) + " frames",
                 ghost.content.frames, ghost.profile));
  }
  if (ghosts.size() == 2) {
    const LappedRun a = lapRun(ghosts[0].content.frames, ghosts[0].profile, ghosts[0].laps());
    const LappedRun b = lapRun(ghosts[1].content.frames, ghosts[1].profile, ghosts[1].laps());
    DeltaPanel delta;
    delta.nameA = "(" + ghosts[0].fileName + ")";
    delta.nameB = "(" + ghosts[1].fileName + ")";
    delta.samples = deltaAlong(a, b, deltaSampleCount);
    delta.comparison = compareRuns(a, b);
    picture.delta = std::move(delta);
  }
  return picture;
}

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
  struct Subcommand {
    const char* name;
    const char* help;
    std::vector<std::string> valueOptions;
    bool json;
    bool report;  // its results are text for a terminal (plot's are a picture)
    int (*run)(const CommandLine&, std::ostream&, std::ostream&);
  };
  const Subcommand subcommands[] = {
      {"info", infoHelp, {"--gap", "--map", "--laps"}, true, true, info},
      {"check", checkHelp, {"--map", "--laps"}, false, true, check},
      {"compare", compareHelp, {}, true, true, compare},
      {"plot", plotHelp, {"-o"}, false, false, plot},
      {"html", htmlHelp, {"-o"}, false, false, html},
  };
  for (const Subcommand& subcommand : subcommands) {
    if (command != subcommand.name) continue;
    const CommandLine line = parse(rest, subcommand.valueOptions, subcommand.json);
    if (!line.error.empty()) return usage(err, command, line.error);
    if (line.help) {
      out << subcommand.help;
      return 0;
    }
    if (!subcommand.report) return subcommand.run(line, out, err);
    // A report quotes the files: it is written out once its control bytes are escaped.
    std::ostringstream report;
    const int status = subcommand.run(line, report, err);
    out << terminalText(report.str());
    return status;
  }
  err << "lumaro-ghost: unknown subcommand \"" << command << "\" (lumaro-ghost --help)\n";
  return 2;
}

}  // namespace lumaro_ghost
