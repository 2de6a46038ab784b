// Where an export puts its ghost, and which names the settings page can offer: one rule for both, so that
// every exported ghost is listed and every listed ghost can be picked. The export file name has every
// character that could leave the ghost folder, upset a file system or break the page's list turned into a
// blank, and lands under "./tessaro/data/Ghosts/" with ".ghost" added.
#pragma once

#include <string>
#include <string_view>

// The nine characters an export file name may not hold: \ / : ? " < > | and the full stop.
inline constexpr std::string_view illegalFileNameChars = "\\/:?\"<>|.";

// Whether a byte can stand in a file name that the settings page's list offers: not one of the list's
// separators "|", "&" and "@", not a control byte (below 0x20, and 0x7F), and not the double quote, since a
// picked name comes back inside a quoted console command.
bool isGhostNameByte(char c);

// The character itself, or a blank when it is one of illegalFileNameChars or no ghost name byte.
char replaceIllegalChar(char c);

// The relative path text (UTF-8) of the ghost an export writes for this export file name. Nothing else of
// the name changes: no trimming, no length limit; an empty name gives ".ghost".
std::string ghostPathText(std::string_view exportFileName);
