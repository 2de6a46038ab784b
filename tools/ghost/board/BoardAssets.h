// The board page's own script, style and markup (tools/ghost/board/), built into the tool; it plays replays
// with the replay page's (tools/ghost/replay/ReplayAssets.h).
#pragma once

#include <string_view>

namespace lumaro_ghost {

extern const std::string_view boardScript;
extern const std::string_view boardStyle;
extern const std::string_view boardMarkup;

}  // namespace lumaro_ghost
