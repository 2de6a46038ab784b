// Replaces the settings page file with a new text, the way an export replaces a ghost: a scratch file created
// beside it, written in one write and renamed over it (without waiting for the disk: the plugin writes the
// page again whenever it starts). A link or a second name planted at the page's name is replaced,
// never written through, and the page is never seen half written.
#pragma once

#include <filesystem>
#include <string_view>

// Whether the folder the page file lies in is itself a link (on Windows, any reparse point: a junction too).
// The page is never written through one, as no file of the plugin's is: it would land where the link leads.
bool pageFolderIsLink(const std::filesystem::path& file);

// False when the file could not be written, or its folder is a link (the page is then as it was).
bool writeSettingsPageFile(const std::filesystem::path& file, std::string_view text);
