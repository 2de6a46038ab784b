#include "tools/ghost/GhostTool.h"

#include <CLI/App.hpp>
#include <CLI/Error.hpp>
#include <CLI/Option.hpp>
#include <algorithm>
#include <cstddef>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <sstream>
#include <string_view>
#include <utility>

#include "tools/commandline/HelpPage.h"
#include "tools/commandline/ParseWords.h"
#include "tools/commandline/ToolVersion.h"
#include "tools/commandline/UsageError.h"
#include "tools/ghost/command/CommandLine.h"
#include "tools/ghost/command/RaceRuns.h"
#include "tools/ghost/command/Subcommand.h"
#include "tools/ghost/text/TextEscapes.h"

namespace lumaro_ghost {

namespace {

// Every subcommand, in the order the help lists them.
constexpr const Subcommand* subcommandTable[] = {
    &subcommands::info,    &subcommands::check, &subcommands::board,
    &subcommands::compare, &subcommands::plot,  &subcommands::html,
};

// Where the text beside an option's or a subcommand's name starts in the help.
constexpr std::size_t nameColumn = 16;

constexpr std::string_view toolAbout =
    R"(lumaro-ghost: see what a Lumaro ghost file holds, whether the plugin lists and loads it, where one
run beats another, and a ranked board of a folder of them. Files are read with the plugin's own ghost codec.
)";

constexpr std::string_view toolFoot =
    R"(Every subcommand explains itself with --help, for example: lumaro-ghost compare --help
Exit status: 0 done (check: no problem), 1 a file that cannot be read or used (check: problems found),
2 a command line not understood.
)";

// The tool's help: what it is, how each subcommand is typed, the subcommands and the tool's own options.
std::string toolHead() {
  std::string head = std::string(toolAbout) + "\nUsage:\n";
  for (const Subcommand* subcommand : subcommandTable) head += "  " + std::string(subcommand->usage) + "\n";
  return head + "  lumaro-ghost --version\n  lumaro-ghost --help | help [SUBCOMMAND]\n";
}

// The tool's command line as CLI11 reads it: a subcommand for each of the table, each with the options it
// lists, whose values go into line as they are met.
struct Parser {
  CLI::App tool{"", "lumaro-ghost"};
  CommandLine line;
  const Subcommand* chosen = nullptr;  // the subcommand whose words are being read
  // The tool's --help or --version, whichever came first: the first one asked for is answered.
  bool helpFirst = false;
  bool versionFirst = false;
  std::set<GhostOption> valuesGiven;  // the options of one value met so far

  Parser() {
    tool.formatter(std::make_shared<lumaro_tools::HelpPage>(toolHead(), nameColumn));
    tool.footer(std::string(toolFoot));
    // The tool's help is of the subcommand named after it (--help compare), so it is answered once all is read.
    tool.set_help_flag();
    tool.add_flag_callback(
            "-h,--help", [this] { helpFirst = helpFirst || !versionFirst; }, "this text")
        ->trigger_on_parse();
    tool.add_flag_callback(
            "--version", [this] { versionFirst = versionFirst || !helpFirst; }, "the version")
        ->trigger_on_parse();
    tool.allow_extras();
    for (const Subcommand* subcommand : subcommandTable) add(*subcommand);
  }

  void add(const Subcommand& subcommand) {
    CLI::App* command = tool.add_subcommand(std::string(subcommand.name), std::string(subcommand.summary));
    const std::string head = std::string(subcommand.usage) + "\n\n" + std::string(subcommand.about);
    command->formatter(std::make_shared<lumaro_tools::HelpPage>(head, nameColumn));
    command->footer(std::string(subcommand.foot));
    command->allow_extras();
    // The help is asked for where --help stands: before a mistake further on, after one before it.
    command->set_help_flag();
    command
        ->add_flag_callback(
            "-h,--help", [] { throw CLI::CallForHelp(); }, "this text")
        ->trigger_on_parse();
    command->add_option("FILE", line.files)->group("");
    for (const OptionHelp& option : subcommand.options) {
      const std::string name(optionName(option.option));
      const std::string help(option.help);
      CLI::Option* added = takesValue(option.option)
                               ? command->add_option_function<std::string>(
                                     name,
                                     [this, which = option.option, name](const std::string& value) {
                                       // An option of one value given again would silently override the first.
                                       if (!valuesGiven.insert(which).second)
                                         throw lumaro_tools::UsageError(name + " given twice");
                                       readOption(line, which, value);
                                     },
                                     help)
                               : command->add_flag_callback(
                                     name, [this, which = option.option] { readOption(line, which); }, help);
      added->option_text(std::string(option.value))->trigger_on_parse();
    }
    command->preparse_callback([this, &subcommand](std::size_t) { chosen = &subcommand; });
  }

  // The help of the subcommand being read, or the tool's.
  std::string help() const {
    if (chosen == nullptr) return tool.help();
    return tool.get_subcommand(std::string(chosen->name))->help();
  }
};

// The subcommand of the table named so; null when there is none.
const Subcommand* subcommandNamed(std::string_view name) {
  for (const Subcommand* subcommand : subcommandTable) {
    if (subcommand->name == name) return subcommand;
  }
  return nullptr;
}

// A command line the tool cannot read before a subcommand is known: "lumaro-ghost: what (lumaro-ghost --help)".
int toolUsage(std::ostream& err, const std::string& problem) {
  err << "lumaro-ghost: " << problem << " (lumaro-ghost --help)\n";
  return 2;
}

// help, or help SUBCOMMAND: the tool's help or the subcommand's.
int helpWord(const Parser& parser, const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  if (arguments.size() == 1) {
    out << parser.help();
    return 0;
  }
  const Subcommand* named = subcommandNamed(arguments[1]);
  if (named == nullptr) return toolUsage(err, "unknown subcommand \"" + lineText(arguments[1]) + "\"");
  if (arguments.size() > 2) return toolUsage(err, "help takes one subcommand, not \"" + lineText(arguments[2]) + "\"");
  out << parser.tool.get_subcommand(std::string(named->name))->help();
  return 0;
}

// --version, answered alone: any other word but the help's is a mistake.
int versionWord(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  for (const std::string& word : arguments) {
    if (word != "--version" && word != "--help" && word != "-h") {
      return toolUsage(err, "give --version alone, not with \"" + lineText(word) + "\"");
    }
  }
  out << "lumaro-ghost " << lumaro_tools::toolVersion << "\n";
  return 0;
}

// Runs the command line; what it says on err is written as a terminal shows it by the caller.
int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  Parser parser;
  if (arguments.front() == "help") return helpWord(parser, arguments, out, err);
  std::optional<std::string> problem;
  bool subcommandHelp = false;
  try {
    lumaro_tools::parseWords(parser.tool, arguments);
  } catch (const CLI::CallForHelp&) {
    subcommandHelp = true;
  } catch (const lumaro_tools::UsageError& error) {
    problem = error.what();
  }
  // The tool's --help or --version, where it stands before the words that follow.
  if (parser.versionFirst) return versionWord(arguments, out, err);
  if (parser.helpFirst || subcommandHelp) {
    out << parser.help();
    return 0;
  }
  // A subcommand comes first.
  if (parser.chosen == nullptr || arguments.front() != parser.chosen->name) {
    const std::string& first = arguments.front();
    if (first.size() > 1 && first.front() == '-') return toolUsage(err, "unknown option " + lineText(first));
    return toolUsage(err, "unknown subcommand \"" + lineText(first) + "\"");
  }
  if (problem) return usage(err, parser.chosen->name, *problem);
  const CLI::App& command = *parser.tool.get_subcommand(std::string(parser.chosen->name));
  const std::optional<std::string> unknown = lumaro_tools::wordNotTaken(command);
  const std::optional<std::string> stray = lumaro_tools::wordNotTaken(parser.tool);
  if (unknown || stray) return usage(err, parser.chosen->name, "unknown option " + (unknown ? *unknown : *stray));
  try {
    checkTogether(parser.line);
  } catch (const lumaro_tools::UsageError& error) {
    return usage(err, parser.chosen->name, error.what());
  }
  if (!parser.chosen->report) return parser.chosen->run(parser.line, out, err);
  std::ostringstream report;
  const int status = parser.chosen->run(parser.line, report, err);
  out << terminalText(report.str());
  return status;
}

}  // namespace

int runGhostTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  if (arguments.empty()) {
    err << Parser().help();
    return 2;
  }
  // What the tool says on either stream quotes the files and the command line: it is written out once its
  // control bytes are escaped (a picture or page is not text for a terminal and goes out as made).
  std::ostringstream errors;
  const int status = runCommandLine(arguments, out, errors);
  err << terminalText(errors.str());
  return status;
}

std::vector<CommandWords> commandWords() {
  const Parser parser;
  std::vector<const CLI::App*> commands{&parser.tool};
  for (const CLI::App* command : parser.tool.get_subcommands([](const CLI::App*) { return true; }))
    commands.push_back(command);
  std::vector<CommandWords> words;
  for (const CLI::App* command : commands) {
    CommandWords entry{command == &parser.tool ? "" : command->get_name(), {}};
    for (const CLI::Option* option : command->get_options()) {
      for (const std::string& name : option->get_lnames()) entry.options.push_back("--" + name);
      for (const std::string& name : option->get_snames()) entry.options.push_back("-" + name);
    }
    words.push_back(std::move(entry));
  }
  return words;
}

}  // namespace lumaro_ghost
