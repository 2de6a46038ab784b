// Every problem of a ghost file, each with its line (0 for the file as a whole) and a one-line reason: the
// frame lines the plugin's import skips or stops at, in its words; a header the settings page cannot use;
// times that go back; a header whose run time is not the run's.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tools/ghost/GhostFileContent.h"

namespace lumaro_ghost {

struct GhostProblem {
  std::size_t line = 0;
  std::string reason;
};

// fileName: the name the file would have in the ghost folder, for the page's rule on list values.
std::vector<GhostProblem> checkGhost(const GhostFileContent& content, std::string_view fileName);

}  // namespace lumaro_ghost
