// The plugin's console variables read, and the two it sets, each as the type it is registered with and
// through its name in plugin/HostNames.h: the one place where a setting's name meets its reading. Every read
// asks the host afresh, since the player may change a value at the console at any time.
#pragma once

#include <cstdint>
#include <string>

#include "host/Values.h"

class CVarManagerWrapper;

namespace settings {

// lm_lapNbr: the laps a race is run over, kept by the host within fewestLaps..mostLaps.
std::int32_t lapCount(CVarManagerWrapper& console);
// lm_ghostfilepath: the player's pick of a ghost (UTF-8; see library/ghostfile/GhostFileName.h for what it names).
std::string ghostSelection(CVarManagerWrapper& console);
// lm_export_filename: the name an export gives its file, before the name rule.
std::string exportFileName(CVarManagerWrapper& console);
// lm_log: the latest status message.
std::string status(CVarManagerWrapper& console);
// lm_isrecording, lm_autorecord, lm_autoexport: the switches.
bool isRecording(CVarManagerWrapper& console);
bool autoRecord(CVarManagerWrapper& console);
bool autoExport(CVarManagerWrapper& console);
// lm_maxsecs: the slowest run, in whole seconds, that an automatic export writes.
std::int32_t maxSeconds(CVarManagerWrapper& console);
// lm_color: the ghost car's colour.
LinearColor color(CVarManagerWrapper& console);

// The values are set through console commands, so that the host's change handlers run as for a player's.
// The message goes between the quotes unescaped: how the console cuts the line is the host's affair.
void setStatus(CVarManagerWrapper& console, const std::string& message);
void setRecording(CVarManagerWrapper& console, bool on);

}  // namespace settings
