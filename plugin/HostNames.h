// The names the host and the map know the plugin by: its console commands and variables, the map's Kismet
// variables, the game events it hooks, and the limits of its settings. Every registration, read, page line and
// tool names them through these constants, so a misspelt name does not compile instead of reading as empty.
// Pure: the standard library only, for the plugin, the tools and the tests alike.
#pragma once

#include <cstdint>
#include <string_view>

namespace names {

// Console commands, in the order they are registered.
namespace command {
inline constexpr std::string_view record = "lm_record";
inline constexpr std::string_view play = "lm_play";
inline constexpr std::string_view stop = "lm_stop";
inline constexpr std::string_view challenge = "lm_challenge";
inline constexpr std::string_view exportGhost = "lm_export";
inline constexpr std::string_view importGhost = "lm_import";
inline constexpr std::string_view openFolder = "lm_open_folder";
inline constexpr std::string_view updateList = "lm_update_list";
}  // namespace command

// Console variables.
namespace cvar {
inline constexpr std::string_view ghostFilePath = "lm_ghostfilepath";
inline constexpr std::string_view exportFileName = "lm_export_filename";
inline constexpr std::string_view lapCount = "lm_lapNbr";
inline constexpr std::string_view isRecording = "lm_isrecording";
inline constexpr std::string_view log = "lm_log";
inline constexpr std::string_view autoRecord = "lm_autorecord";
inline constexpr std::string_view maxSeconds = "lm_maxsecs";
inline constexpr std::string_view autoExport = "lm_autoexport";
inline constexpr std::string_view color = "lm_color";
}  // namespace cvar

// Variables of the map's main Kismet sequence.
namespace kismet {
inline constexpr std::string_view lapCounter = "LapNb";
inline constexpr std::string_view mapName = "MapName";
inline constexpr std::string_view ghostPosition = "GhostPosition";
inline constexpr std::string_view ghostRotation = "GhostRotation";
inline constexpr std::string_view ghostColor = "GhostColor";
// Optional: the live difference to the ghost a challenge races, for the map's own display.
inline constexpr std::string_view ghostDelta = "GhostDelta";
}  // namespace kismet

// The game events the plugin hooks.
namespace event {
inline constexpr std::string_view mapLoad = "Function TAGame.GFxData_MenuStack_TA.HandleMapLoad";
inline constexpr std::string_view playerSpawn = "Function TAGame.PlayerSpawnSystem_TA.HandlePlayerSpawnStart";
}  // namespace event

}  // namespace names

// The laps a race may be set to (the host keeps lm_lapNbr within them; the page offers them).
inline constexpr std::int32_t fewestLaps = 1;
inline constexpr std::int32_t mostLaps = 6;

// The version text every exported ghost file is written with.
inline constexpr std::string_view writtenGhostVersion = "1.1";
