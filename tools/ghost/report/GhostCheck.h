// Every problem of a ghost file, each with its line (0 for the file as a whole) and a one-line reason: the
// frame lines the plugin's import skips or stops at, in its words; a header the settings page cannot use; a
// page that would not list the file; a run that cannot be complete (its frames end more than a second
// before its header's run time, or its path crosses its start line another number of times than its
// header's lap count); a lap that cannot have been driven (LapValidity.h). Times that go back and a header whose run
// time is otherwise not the run's are notes: the plugin lists and loads such a file all the same.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/ghost/analysis/GhostFileContent.h"

namespace lumaro_ghost {

struct GhostProblem {
  std::size_t line = 0;
  std::string reason;
  bool note = false;  // a remark only: the plugin lists and loads the file all the same
};

// The page a file is checked against: by default the map and lap count its header names.
struct PageQuestion {
  std::optional<std::string> mapName;
  std::optional<std::int32_t> lapCount;
};

// fileName: the name the file would have in the ghost folder, for the page's rule on list values.
std::vector<GhostProblem> checkGhost(const GhostFileContent& content, std::string_view fileName,
                                     const PageQuestion& page = {});

// Whether any problem is more than a note.
bool hasProblem(const std::vector<GhostProblem>& problems);

}  // namespace lumaro_ghost
