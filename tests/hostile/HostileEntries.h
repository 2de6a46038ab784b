// The hostile-input catalogue: ghost files and folder entries as strangers and broken tools make them, each
// made at test time in the ghost folder (large ones sparse or generated, none stored in the repository) with
// the outcome the plugin must give written beside it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

struct HostileEntry {
  std::string name;  // the entry's name in the ghost folder, and the selection that picks it
  // Makes the entry; outside is a folder beside the ghost folder that nothing may change.
  std::function<void(const std::filesystem::path& entry, const std::filesystem::path& outside)> make;
  bool listed = false;                   // offered in the page's ghost list on "TestMap" with 1 lap
  std::vector<std::string> importLines;  // the console lines of picking it, in order
  std::size_t frames = 0;                // the loaded ghost's frames afterwards
  std::string label;                     // when listed and not empty: the list entry's label
};

// Every entry of the catalogue, in the order they are tried.
std::vector<HostileEntry> hostileCatalogue();

// Selections that name no entry of the folder but point out of it: read when they name a regular file.
std::vector<std::string> hostileSelections(const std::filesystem::path& outside);
