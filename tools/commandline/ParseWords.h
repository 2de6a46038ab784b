// The tools' command lines read through CLI11, and what CLI11 finds wrong said in the tools' words ("--gap
// needs a value", "unknown option --fast"). A value wrong for its option is for the option's reader to word:
// it throws UsageError from the option's callback, which runs as the option is met, so the first mistake on
// the line is the one reported.
#pragma once

#include <CLI/App.hpp>
#include <CLI/CLI.hpp>
#include <CLI/Error.hpp>
#include <optional>
#include <string>
#include <vector>

#include "tools/commandline/UsageError.h"

namespace lumaro_tools {

// Reads words (the arguments after the program's name) into app. Throws UsageError, or CLI11's CallForHelp
// and CallForVersion when the words ask for the help or the version.
inline void parseWords(CLI::App& app, const std::vector<std::string>& words) {
  // CLI11 built for Windows reads "/x" as an option; to the tools it is a path ("/tmp/run.ghost", "//./NUL").
  app.allow_windows_style_options(false);
  for (CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
    command->allow_windows_style_options(false);
  }
  try {
    app.parse(std::vector<std::string>(words.rbegin(), words.rend()));  // CLI11 takes them last first
  } catch (const CLI::ArgumentMismatch&) {
    // CLI11 takes whatever word follows an option as its value: only an option at the end can lack one.
    const std::string& last = words.back();
    throw UsageError(last.substr(0, last.find('=')) + " needs a value");
  } catch (const CLI::Success&) {
    throw;
  } catch (const CLI::ParseError& error) {
    throw UsageError(error.what());
  }
}

// The first word app (which allows extras) did not take: an option it does not know. A "--" alone ends the
// options, as on any command line (what follows it is a file even if it starts with "-"): CLI11 honours it and
// leaves it among the words not taken.
inline std::optional<std::string> wordNotTaken(const CLI::App& app) {
  for (const std::string& word : app.remaining()) {
    if (word != "--") return word;
  }
  return std::nullopt;
}

}  // namespace lumaro_tools
