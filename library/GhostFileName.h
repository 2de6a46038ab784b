// Where an export puts its ghost: the export file name with every character that could leave the ghost
// folder or upset a file system turned into a blank, under "./tessaro/data/Ghosts/" with ".ghost" added.
#pragma once

#include <string>
#include <string_view>

// The nine characters an export file name may not hold: \ / : ? " < > | and the full stop.
inline constexpr std::string_view illegalFileNameChars = "\\/:?\"<>|.";

// The character itself, or a blank when it is one of illegalFileNameChars.
char replaceIllegalChar(char c);

// The relative path text of the ghost an export writes for this export file name. Nothing else of the name
// changes: no trimming, no length limit; an empty name gives ".ghost".
std::string ghostPathText(std::string_view exportFileName);
