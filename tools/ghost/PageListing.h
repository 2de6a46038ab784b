// Would the plugin's settings page list this ghost file, and if not, why. The decision is the page's own
// (ghostChoice); the reason names the first of the page's tests that the file fails.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lumaro_ghost {

struct PageListing {
  bool listed = false;
  std::string entry;   // when listed: the label the page shows
  std::string reason;  // when not listed
};

// headerLine: the file's first line, none for an empty file; fileName: its name with extension; mapName and
// lapCount: the map the player is on and the page's "Number of laps".
PageListing pageListing(const std::optional<std::string>& headerLine, std::string_view fileName,
                        std::string_view mapName, std::int32_t lapCount);

}  // namespace lumaro_ghost
