// Replaces the settings page file with a new text. The file is overwritten in place and then cut to the new
// length rather than truncated to nothing first: on journalling file systems a file emptied and written
// again is flushed when it closes, which stalls every regeneration by milliseconds.
#pragma once

#include <filesystem>
#include <string_view>

// False when the file could not be written (the page is then lost; the caller says nothing).
bool writeSettingsPageFile(const std::filesystem::path& file, std::string_view text);
