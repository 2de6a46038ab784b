// lumaro-ghost: the command line over the ghost tool's pieces. Subcommands info, check, board, compare, plot
// and html (tools/ghost/command/), each with --help; --version; results on out, errors on err. A command line not
// understood is said in one form, "lumaro-ghost COMMAND: what is wrong (lumaro-ghost COMMAND --help)". Exit
// status: 0 done (check: no problem), 1 a file that cannot be read or used, or runs of different maps or lap
// counts without --force (check: problems found), 2 a command line not understood.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace lumaro_ghost {

// arguments: the words after the program's name.
int runGhostTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// The words lumaro-ghost takes, as its parser holds them: each subcommand's name and options, the tool's own
// options under the name "".
struct CommandWords {
  std::string subcommand;
  std::vector<std::string> options;
};
std::vector<CommandWords> commandWords();

}  // namespace lumaro_ghost
