// Where ghosts live, where an export puts its ghost, which file a selection names, and which names the settings
// page can offer: one rule for export and listing, so that every exported ghost is listed and every listed ghost
// can be picked. The export file name has every character that could leave the ghost folder, upset a file
// system or break the page's list turned into a blank, and lands under "./tessaro/data/Ghosts/" with ".ghost"
// added.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "plugin/HostNames.h"
#include "ui/PageBytes.h"

// The ghost folder: this sub-folder of the host's data folder (names::ghostFolderIn joins it). The export
// names it by its relative path text (names::ghostFolderText), which the host resolves to the same folder.
using names::ghostFolderName;

// The values of lm_ghostfilepath that stand for no ghost: the page's blank entry and the variable's default.
// They name no file, whatever the folder holds, and no file is listed under them.
// The ending of every ghost file's name: an export's, and the name a document is never written to.
inline constexpr std::string_view ghostExtension = ".ghost";
// Whether a file name ends in ghostExtension, in any case of its letters (".GHOST" as Windows sees it).
bool endsInGhostExtension(std::string_view fileName);

inline constexpr std::string_view blankGhostChoice = " ";
inline constexpr std::string_view defaultGhostSelection = "none";
bool namesNoGhost(std::string_view selection);

// The file a selection (the UTF-8 value of lm_ghostfilepath) names, as the import rules give it: an absolute
// path (or a path in Windows' device namespace) as it is, anything else joined to the ghost folder (sub-folders and
// ".." included). Nothing for a value that stands for no ghost, or text that names no path (not UTF-8, on Windows).
std::optional<std::filesystem::path> selectedGhostFile(const std::filesystem::path& ghostFolder,
                                                       std::string_view selection);

// The nine characters an export file name may not hold: \ / : ? " < > | and the full stop.
inline constexpr std::string_view illegalFileNameChars = "\\/:?\"<>|.";

// Whether a byte can stand in a file name that the settings page's list offers: a byte the list keeps in an
// entry (ui/PageBytes.h: no separator, no control byte), and not the double quote, since a picked name comes
// back inside a quoted console command.
constexpr bool isGhostNameByte(char c) { return isPageListByte(c) && c != '"'; }

// The character itself, or a blank when it is one of illegalFileNameChars or no ghost name byte.
char replaceIllegalChar(char c);

// Why an export file name is refused before anything is written, or nothing. The asterisk is kept by
// replaceIllegalChar but no Windows file name holds one, so a name with it is refused on every system alike,
// with this reason: a ghost under it could never be written on Windows nor shared with a Windows player.
inline constexpr std::string_view asteriskReason = "the name holds \"*\", which no Windows file name can hold";
std::optional<std::string_view> exportNameRefusal(std::string_view exportFileName);

// The relative path text (UTF-8) of the ghost an export writes for this export file name. Nothing else of
// the name changes: no trimming, no length limit; an empty name gives ".ghost".
std::string ghostPathText(std::string_view exportFileName);
