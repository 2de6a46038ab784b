// Would the plugin's settings page list this ghost file, and if not, why. The decision is the page's own
// (ghostChoice); the reason names the first of the page's tests that the file fails.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tools/ghost/analysis/GhostFileContent.h"

namespace lumaro_ghost {

struct PageListing {
  bool listed = false;
  std::string entry;   // when listed: the label the page shows
  std::string reason;  // when not listed
};

// Why the page cannot offer a file name in its list.
inline constexpr std::string_view unlistableFileName =
    "its file name is one the page cannot offer in its list: it holds |, & or @, a double quote or a control "
    "character, or it is \" \" or \"none\", which stand for no ghost";

// content: the file as read; fileName: its name with extension; mapName and lapCount: the map the player is
// on and the page's "Number of laps".
PageListing pageListing(const GhostFileContent& content, std::string_view fileName, std::string_view mapName,
                        std::int32_t lapCount);

}  // namespace lumaro_ghost
