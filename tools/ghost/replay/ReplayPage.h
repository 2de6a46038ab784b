// The replay of runs as one self-contained HTML page: the map with every run's line and a car marker each,
// play, pause, speed, scrub and steps by sector and lap, the difference and speed traces with a cursor, and
// the lap and sector table. Its script and style are inline and its data embedded; its
// Content-Security-Policy names that script and style by their hashes and allows nothing else, so the page
// fetches nothing and runs no other script, whatever the ghost files hold.
#pragma once

#include <string>
#include <string_view>

#include "tools/ghost/replay/ReplayData.h"

namespace lumaro_ghost {

std::string replayPage(const ReplayData& data);

// Text from a file as the page shows it: as `info` prints it (control bytes as escapes such as \x1b), bytes
// that are not UTF-8 as U+FFFD; written as a JSON string in which < > & are escapes too, so that it cannot
// end the script element that holds it.
std::string pageTextJson(std::string_view text);

}  // namespace lumaro_ghost
