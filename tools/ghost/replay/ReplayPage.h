// The replay of runs as one self-contained HTML page: the map with every run's line and a car marker each,
// play, pause, speed, scrub and steps by sector and lap, the difference and speed traces with a cursor, and
// the lap and sector table. Its script and style are inline and its data embedded; its
// Content-Security-Policy names that script and style by their hashes and allows nothing else, so the page
// fetches nothing and runs no other script, whatever the ghost files hold.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "tools/ghost/replay/ReplayData.h"

namespace lumaro_ghost {

std::string replayPage(const ReplayData& data);

// Text from a file as the page shows it: as `info` prints it (control bytes as escapes such as \x1b), bytes
// that are not UTF-8 as U+FFFD; written as a JSON string in which < > & are escapes too, so that it cannot
// end the script element that holds it.
std::string pageTextJson(std::string_view text);

// What another page's script needs to write times and read points as the replay does, as the members of a
// JSON object without its braces: the clock's layout (clock, clockGroups), the level and signs of a difference
// (level, levelText, signedDecimals, plus, secondsUnit) and the points' units (pointTimesPerSecond,
// pointPlacesPerUnit).
std::string replayUnitsJson();
// The picture's palette of pace against A and its steps, as a JSON object (colours, limits).
std::string replayPaceJson();
// The runs' own colours (the replay's markers, names, traces; the board's lines), as a JSON array.
std::string replayRunColoursJson();

// A script's or style's hash as a Content-Security-Policy names it: 'sha256-...'.
std::string hashSource(std::string_view text);

// A self-contained page up to its body's opening: its Content-Security-Policy allows the inline scripts and
// styles given, by their hashes, and nothing else (no request of any kind, no other script, no base or form
// target); its title (from a file: as the terminal shows it, as markup text); the styles themselves.
std::string selfContainedHead(std::string_view title, std::initializer_list<std::string_view> scripts,
                              std::initializer_list<std::string_view> styles);

}  // namespace lumaro_ghost
