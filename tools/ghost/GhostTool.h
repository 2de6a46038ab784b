// lumaro-ghost: the command line over the ghost tool's pieces. Subcommands info, check, compare, plot and html,
// each with --help; results on out, errors on err. Exit status: 0 done (check: no problem), 1 a file that
// cannot be read or used, or runs of different maps or lap counts without --force (check: problems
// found), 2 a command line not understood.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace lumaro_ghost {

// arguments: the words after the program's name.
int runGhostTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace lumaro_ghost
