// Replaces the settings page file with a new text, the way an export replaces a ghost: a scratch file created
// beside it, written in one write and renamed over it (without waiting for the disk: the plugin writes the
// page again whenever it starts). The page's folders are followed wherever they lead, as every folder on the
// plugin's paths is (library/ghostfile/GhostFileWrite.h); a link or a second name planted at the page's own
// name is replaced, never written through, and the page is never seen half written.
#pragma once

#include <filesystem>
#include <string_view>

// False when the file could not be written (the page is then as it was).
bool writeSettingsPageFile(const std::filesystem::path& file, std::string_view text);
