// The settings page's ghost list: which ghost files belong on it and how each one is offered. An entry is
// "<lap field> in <race time> by <player>(<file name>)@<file name>", made from the file's first line when that
// line names the current map and lap count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The text with every byte removed that the page format gives a meaning to or that is not text: "|" and "&"
// and "@" (the page's separators), and the control bytes below 0x20 and 0x7F (CR and LF among them).
std::string pageSafeText(std::string_view text);

// Whether a file name can stand as a list value: it must hold only ghost name bytes (library/GhostFileName.h,
// the rule an export names its file by), or choosing it would name another file.
bool isListableFileName(std::string_view fileName);

// How much of a ghost file the page reads for its first line. A header holds two names and three short
// fields; a file whose first line does not end within this is not listed.
inline constexpr std::size_t headerLineLimit = 4096;

// The list entry for one ghost file, or nothing when it does not belong on the list: a first line with fewer
// than four fields, another map name, a lap count or run time that is not a number or another lap count, or a
// file name that is not listable. The lap field is shown as written; the player name loses every byte of
// 128 or more. Names are written into the header unquoted: when the fields in their places do not fit, a
// header that starts with the map name and a comma is read from the right (version, lap count, run time),
// and what lies between is the player's name, commas and all.
std::optional<std::string> ghostChoice(std::string_view headerLine, std::string_view fileName, std::string_view mapName,
                                       std::int32_t lapCount);

// The entries for every ghost file of the folder, in byte order of the (UTF-8) file names. Only what
// GhostFileAccess lets the plugin read is opened, and only its first headerLineLimit bytes are read; other
// entries, files that cannot be read and a folder that cannot be listed give no entries.
std::vector<std::string> ghostChoices(const std::filesystem::path& ghostFolder, std::string_view mapName,
                                      std::int32_t lapCount);

// The run time the list shows for the ghost file at file (a path in ghostFolder), when the list offers that
// file for this map and lap count; nothing otherwise, and for a file the plugin may not read.
std::optional<std::int32_t> listedRunTime(const std::filesystem::path& ghostFolder, const std::filesystem::path& file,
                                          std::string_view mapName, std::int32_t lapCount);
