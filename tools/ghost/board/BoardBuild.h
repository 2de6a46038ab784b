// Builds a board from files and folders: every ghost grouped by map name and lap count as the plugin's page
// groups them (a header the page reads, a lap count it can be set to), each group's runs timed at one start
// line, placed on the group's reference lap, judged for what a car cannot do, ranked, and kept as BoardData.h
// says, one ghost in memory at a time. A group is read twice: once to measure every lap (the reference lap is
// the median of them all) and the runs' top speeds, once to place each run and keep what a board shows of it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/ghost/board/BoardData.h"

namespace lumaro_ghost {

struct BoardOptions {
  std::optional<std::string> map;  // only this map's groups (as a header holds the name)
  std::optional<int> laps;         // only groups of this lap count
  int sectors = 10;
  bool plausibleOnly = false;  // runs with a finding left out (and the ranks counted without them)
};

Board buildBoard(const std::vector<std::string>& paths, const BoardOptions& options = {});

}  // namespace lumaro_ghost
