// A subcommand of lumaro-ghost: its name, its help, the options it takes and what it does. The tool reads its
// command line from these (tools/ghost/GhostTool.cpp lists them); a new subcommand is a file of its own that
// defines one, named in that list and in Subcommands below.
#pragma once

#include <ostream>
#include <span>
#include <string_view>

#include "tools/ghost/command/CommandLine.h"

namespace lumaro_ghost {

// One option as a subcommand's help shows it: what its value is called ("N", empty for a flag) and what it
// does there.
struct OptionHelp {
  GhostOption option;
  std::string_view value;
  std::string_view help;
};

struct Subcommand {
  std::string_view name;
  std::string_view summary;  // one line, in the tool's list of subcommands
  std::string_view usage;    // how it is typed: "lumaro-ghost info FILE... [--json] ..."
  std::string_view about;    // what it does, in paragraphs
  std::span<const OptionHelp> options;
  std::string_view foot;  // after the options: the example, the exit status
  bool report;            // its results are text for a terminal (a picture or page is not)
  // Runs it on a command line understood; returns the exit status.
  int (*run)(const CommandLine& line, std::ostream& out, std::ostream& err);
};

// The subcommands, each defined in its own file.
namespace subcommands {
extern const Subcommand info;
extern const Subcommand check;
extern const Subcommand board;
extern const Subcommand compare;
extern const Subcommand plot;
extern const Subcommand html;
}  // namespace subcommands

}  // namespace lumaro_ghost
