// The settings page's ghost list: which ghost files belong on it and how each one is offered. An entry is
// "<lap field> in <race time> by <player>(<file name>)@<file name>", made from the file's first line when that
// line names the current map and lap count. The whole list, read from the ghost folder, is ui/GhostChoiceList.h.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The text with every byte removed that a ghost list entry cannot hold (ui/PageBytes.h): "|", "&" and "@"
// (the page's separators), and the control bytes below 0x20 and 0x7F (CR and LF among them).
std::string pageSafeText(std::string_view text);

// Whether a file name can stand as a list value: it must hold only ghost name bytes (library/ghostfile/GhostFileName.h,
// the rule an export names its file by), or choosing it would name another file, and it must not be one of
// the values that stand for no ghost (" " and "none").
bool isListableFileName(std::string_view fileName);

// A ghost's label on the list, from its parts as the list shows them: "<lap field> in <race time> by
// <player>(<file name>)". The parts are taken as they are; ghostChoice makes them page safe first.
std::string ghostChoiceLabel(std::string_view lapField, std::string_view raceTime, std::string_view playerName,
                             std::string_view fileName);
// How a ghost's label ends, by which a reader of the list tells a ghost's entry: "(<file name>)", the file name
// as the label shows it (labelledFileName).
std::string ghostChoiceLabelEnd(std::string_view fileName);
// A ghost's file name as its label shows it: the code points that reorder or hide text (library/ghostfile/
// HiddenCodePoints.h) as escapes ("\u202e"), so an entry is never shown reversed. The entry's value is the name
// as it is, which loads the file.
std::string labelledFileName(std::string_view fileName);

// The list entry for one ghost file, or nothing when it does not belong on the list: a file name that is not
// listable, or a header that does not fit the map and lap count (library/ghostfile/GhostHeaderLine.h: its fields read
// in their places, four or five of them, the run time not below zero). The lap field is shown as written;
// the player name loses every byte of 128 or more. In the label, the code points that reorder or hide text
// (library/ghostfile/HiddenCodePoints.h) are shown as escapes ("\u202e"); the value is the file name as it is.
std::optional<std::string> ghostChoice(std::string_view headerLine, std::string_view fileName, std::string_view mapName,
                                       std::int32_t lapCount);
