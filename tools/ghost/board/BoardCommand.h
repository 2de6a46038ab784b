// lumaro-ghost board and check --driving as commands: their help, and their runs over the board's builder, its
// texts and the driving findings. The command line itself is read by the tool's (GhostTool.cpp); this is what
// the words ask for, once read.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace lumaro_ghost {

extern const char* const boardHelp;

struct BoardRequest {
  std::vector<std::string> paths;
  std::optional<std::string> map;
  std::optional<int> laps;
  int sectors = 10;
  bool json = false;
  bool csv = false;
  bool plausibleOnly = false;
  std::optional<std::string> page;  // -o
};

// The board on out; errors on err. Exit status: 0 a board made, 1 a file given that could not be read or no
// ghost at all, 2 what the command line asks cannot be done.
int runBoard(const BoardRequest& request, std::ostream& out, std::ostream& err);

// check --driving: each file's driving findings, one a line ("FILE:LINE: lap 2, 45%: a jump of ..."), or that
// none was found. Exit status: 0 nothing found in any file, 1 a finding (or a file that cannot be read or used).
int checkDriving(const std::vector<std::string>& files, std::ostream& out, std::ostream& err);

}  // namespace lumaro_ghost
