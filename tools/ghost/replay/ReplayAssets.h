// The replay page's own script, style and markup (tools/ghost/replay/), built into the tool.
#pragma once

#include <string_view>

namespace lumaro_ghost {

extern const std::string_view replayScript;
extern const std::string_view replayStyle;
extern const std::string_view replayMarkup;

}  // namespace lumaro_ghost
