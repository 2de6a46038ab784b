// The import's words for a ghost file it does not read to the end: what is wrong with a frame line, and the
// status lines that tell the player. The plugin's import and lumaro-ghost's reports both say it through here,
// so the tool never words a file's fault otherwise than the plugin does.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/NumberReading.h"

// What is wrong with a number field: "out of range", "not a finite number" (an infinity or a NaN where the
// field must be finite), or "not a number" (no number at all). Every report of a file's numbers, the header's
// included, words it so.
std::string_view numberFault(NumberError error);
// The same as a sentence's end: "is out of range".
std::string numberProblem(NumberError error);

// "the yaw value is not a number".
std::string badFieldReason(FrameField field, NumberError error);
// "the line is longer than 4096 bytes" (ghostLineLimit).
std::string longLineReason();
// "longer than the 4096 bytes the settings page reads": a header line no page lists, as the export, the
// page's reasons and both tools' reports say it.
std::string longHeaderReason();
// A frame line the import skips.
inline constexpr std::string_view tooFewFieldsReason = "fewer than seven fields";

// "(frames loaded: K)": what a stopped import keeps, as its status line and lumaro-ghost's check say it.
std::string framesLoadedText(std::size_t framesLoaded);
// "Stopped reading SELECTION at line N: REASON (frames loaded: K)."
std::string importStopMessage(std::string_view selection, std::size_t lineNumber, std::string_view reason,
                              std::size_t framesLoaded);
// "Skipped N lines of SELECTION with fewer than seven fields." ("line" for one).
std::string skippedLinesMessage(std::string_view selection, std::size_t skipped);
