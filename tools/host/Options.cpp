#include "tools/host/Options.h"

#include <CLI/App.hpp>
#include <CLI/Error.hpp>
#include <CLI/Option.hpp>
#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <set>
#include <string_view>
#include <utility>

#include "library/platform/PathText.h"
#include "tools/commandline/HelpPage.h"
#include "tools/commandline/ParseWords.h"
#include "tools/commandline/ToolVersion.h"
#include "tools/commandline/UsageError.h"
#include "tools/host/NumberWords.h"

namespace lumaro_host {
namespace {

using lumaro_tools::UsageError;

// Where the text beside an option's name starts in the help.
constexpr std::size_t nameColumn = 20;

// A whole text read as a number of milliseconds within range.
double milliseconds(const std::string& option, const std::string& text, const NumberRange& range) {
  try {
    return numberIn(text, "", range);
  } catch (const BadNumber&) {
    throw UsageError(option + " takes a number of milliseconds " + rangeText(range));
  }
}

// lumaro-host's command line as CLI11 reads it: each option's value goes into options as it is met, and a
// value the option does not take stops the reading there.
struct Parser {
  CLI::App app{"", "lumaro-host"};
  Options& options;
  bool stepsGiven = false;
  bool versionFirst = false;  // --version came before any --help: the first one asked for is answered
  std::set<std::string> valuesGiven;

  explicit Parser(Options& read) : options(read) {
    app.formatter(std::make_shared<lumaro_tools::HelpPage>(helpHead(), nameColumn));
    app.footer(helpFoot());
    app.allow_extras();
    app.add_option("SCENARIO", options.script)->group("");
    value("--plugin", "PATH", "the plugin library to load (default: the Lumaro library beside lumaro-host)",
          [this](const std::string& text) { options.plugin = pathFromUtf8(text); });
    value("--root", "DIR",
          "the game root: tessaro/, tessaro/data/Ghosts and the settings page live in it; kept\n"
          "as it is, so ghosts in it stay from one run to the next (default: a fresh temporary\n"
          "folder, whose name is printed, removed when the run ends whatever its outcome,\n"
          "Ctrl-C, SIGTERM and SIGHUP included)",
          [this](const std::string& text) { options.root = pathFromUtf8(text); });
    flag("--keep", "keep the fresh temporary game root after the run", options.keepRoot);
    flag("--remove-root", "remove the fresh temporary game root at the end (the default; for older scripts)",
         options.removeRoot);
    flag("--realtime",
         "run against the wall clock: each tick sleeps until it is due, and the game clock\n"
         "moves by the wall time that really passed (default: virtual time, as fast as it goes)",
         options.realtime);
    value("--tick-ms", "MS", "the length of a game tick (default 8)", [this](const std::string& text) {
      options.tickMilliseconds = milliseconds("--tick-ms", text, tickMilliseconds);
    });
    value("--host-call-ms", "MS",
          "every call the plugin makes to the host moves the virtual clock on by MS (default\n"
          "0), so that what the plugin reads before or after it takes the time shows",
          [this](const std::string& text) {
            options.hostCallMilliseconds = milliseconds("--host-call-ms", text, hostCallMilliseconds);
          });
    flag("--page",
         "print the settings page at the end, as the player sees it: a row of text for each\n"
         "row of controls, each with its console variable's value",
         options.page);
    flag("--raw", "print the settings page (--page, show page) as the page file's lines instead", options.rawPage);
    value("--trace", "FILE.csv",
          "write every Kismet write to a CSV file: time_ms,variable,x,y,z,value (time since\n"
          "the start; x, y, z for a vector, value for a float); the file is opened before the\n"
          "run starts, so a place that cannot be written stops lumaro-host at once",
          [this](const std::string& text) { options.trace = pathFromUtf8(text); });
    flag("--list-ghosts", "list the ghost folder at the end: each file's size, frames and header line",
         options.listGhosts);
    value("--svg", "FILE.svg",
          "draw the scenario at the end: the track, each ghost file of the ghost folder coloured\n"
          "by speed, and the ghost car's path (compare two runs with lumaro-ghost compare/plot)",
          [this](const std::string& text) { options.svg = pathFromUtf8(text); });
    app.add_option_function<std::vector<std::string>>(
           "--check-map",
           [this](const std::vector<std::string>& files) {
             options.checkMaps.insert(options.checkMaps.end(), files.begin(), files.end());
           },
           "check map files and run nothing (above): every word up to the next option is one")
        ->option_text("FILE...")
        ->trigger_on_parse();
    value("--chaos", "SEED", "a chaos run of seeded random steps instead of a scenario (above)",
          [this](const std::string& text) {
            // Digits only: a blank or sign before them, or a seed past the largest, is a mistake, not a number.
            try {
              options.chaosSeed = seedNumber(text, "the seed");
            } catch (const BadNumber&) {
              throw UsageError("--chaos takes a seed, a whole number from 0 to " + largestSeedText());
            }
          });
    value("--steps", "N", "the steps of a chaos run (default 300, at most 1000000)", [this](const std::string& text) {
      try {
        options.chaosSteps = static_cast<int>(wholeNumberIn(text, "", chaosStepCount));
      } catch (const BadNumber&) {
        throw UsageError("--steps takes a number " + rangeText(chaosStepCount));
      }
      stepsGiven = true;
    });
    flag("-i,--interactive",
         "type steps at a prompt (also when no scenario is given and standard input is a\n"
         "terminal): help lists the steps, quit or exit ends the session",
         options.interactive);
    flag("-v,--verbose", "also report each expectation that holds", options.verbose);
    // The help is given where --help stands: before a mistake further on, after one before it. After --version
    // it is not: the version is, once every word is known to be one of the two.
    app.set_help_flag();
    app.add_flag_callback(
           "-h,--help",
           [this] {
             if (!versionFirst) throw CLI::CallForHelp();
           },
           "this text")
        ->trigger_on_parse();
    app.add_flag_callback(
           "--version", [this] { versionFirst = true; }, "the version")
        ->trigger_on_parse();
  }

  void flag(const std::string& name, const std::string& help, bool& set) {
    app.add_flag_callback(
           name, [&set] { set = true; }, help)
        ->trigger_on_parse();
  }

  // An option of one value; given again it would silently override the first, so it is refused.
  template <class Read>
  void value(const std::string& name, const std::string& valueName, const std::string& help, Read read) {
    app.add_option_function<std::string>(
           name,
           [this, name, read](const std::string& text) {
             if (!valuesGiven.insert(name).second) throw UsageError(name + " given twice");
             read(text);
           },
           help)
        ->option_text(valueName)
        ->trigger_on_parse();
  }
};

// The first of the words given that a kind of run does not take, as the user typed it; empty when none was.
struct Given {
  bool given;
  const char* word;
};
std::string firstGiven(std::initializer_list<Given> words) {
  for (const Given& word : words) {
    if (word.given) return word.word;
  }
  return "";
}

// Options given together that do not go together; empty when they do. Each message names the word that clashes.
std::string contradiction(const Options& options, bool stepsGiven) {
  std::string error;
  if (options.removeRoot && options.keepRoot) error = "--keep and --remove-root contradict each other";
  if (options.removeRoot && options.root) error = "--remove-root removes only a fresh temporary root, not --root";
  if (options.chaosSeed) {
    const std::string clash = firstGiven(
        {{options.script.has_value(), "scenario"}, {options.interactive, "-i"}, {options.realtime, "--realtime"}});
    if (!clash.empty())
      error = "--chaos makes up its own steps and runs in virtual time: give no " + clash + " with it";
  }
  if (stepsGiven && !options.chaosSeed) error = "--steps is the length of a chaos run; give --chaos SEED too";
  if (!options.checkMaps.empty()) {
    const std::string clash = firstGiven({{options.script.has_value(), "scenario"},
                                          {options.interactive, "-i"},
                                          {options.chaosSeed.has_value(), "--chaos"},
                                          {options.page, "--page"},
                                          {options.listGhosts, "--list-ghosts"},
                                          {options.trace.has_value(), "--trace"},
                                          {options.svg.has_value(), "--svg"},
                                          {options.root.has_value(), "--root"},
                                          {options.keepRoot, "--keep"},
                                          {options.realtime, "--realtime"}});
    if (!clash.empty()) error = "--check-map checks map files and runs nothing: give no " + clash + " with it";
  }
  if (options.interactive && options.script) error = "-i reads the steps from the terminal; give no scenario";
  return error;
}

}  // namespace

ParsedOptions parseOptions(const std::vector<std::string>& arguments) {
  ParsedOptions parsed;
  Parser parser(parsed.options);
  try {
    lumaro_tools::parseWords(parser.app, arguments);
  } catch (const CLI::CallForHelp&) {
    parsed.options.help = true;
    return parsed;
  } catch (const UsageError& error) {
    parsed.error = error.what();
    return parsed;
  }
  if (parser.versionFirst) {
    // --version is answered alone: any other word but the help's is a mistake.
    for (const std::string& word : arguments) {
      if (word != "--version" && word != "--help" && word != "-h") {
        parsed.error = "give --version alone, not with \"" + word + "\"";
        return parsed;
      }
    }
    parsed.options.version = true;
    return parsed;
  }
  if (const auto word = lumaro_tools::wordNotTaken(parser.app)) {
    // A word that is no option is a second scenario ("-" alone stands for standard input).
    const bool option = word->size() > 1 && word->front() == '-';
    parsed.error = option ? "unknown option " + *word
                          : "one scenario at a time (" + parsed.options.script.value_or("") + " and " + *word + ")";
    return parsed;
  }
  parsed.error = contradiction(parsed.options, parser.stepsGiven);
  return parsed;
}

std::string helpText() {
  Options options;
  return Parser(options).app.help();
}

std::string versionText() { return "lumaro-host " + std::string(lumaro_tools::toolVersion) + "\n"; }

std::vector<std::string> optionNames() {
  Options options;
  const Parser parser(options);
  std::vector<std::string> names;
  for (const CLI::Option* option : parser.app.get_options()) {
    for (const std::string& name : option->get_lnames()) names.push_back("--" + name);
    for (const std::string& name : option->get_snames()) names.push_back("-" + name);
  }
  return names;
}

}  // namespace lumaro_host
