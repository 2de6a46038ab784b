// The names the host and the map know the plugin by: its console commands and variables, the map's Kismet
// variables, the game events it hooks, and the limits of its settings. Every registration, read, page line and
// tool names them through these constants, so a misspelt name does not compile instead of reading as empty.
// Pure: the standard library only, for the plugin, the tools and the tests alike.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/GameNames.h"  // IWYU pragma: export
#include "plugin/JoinedText.h"

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

// The variables of the map's main Kismet sequence, the game events the plugin hooks, and the host's own
// commands the page refresh and the unload send: the game's names, as the host knows them.
namespace kismet = Tessaro::gameNames::kismet;
namespace event = Tessaro::gameNames::event;
namespace hostCommand = Tessaro::gameNames::hostCommand;
namespace folder = Tessaro::gameNames::folder;

// The plugin's name, which the host shows and names its settings page after; the page's file, in the host's
// folder of settings pages; the ghost folder, in the host's data folder.
inline constexpr std::string_view pluginName = "Lumaro";
inline constexpr std::string_view settingsPageFile = JoinedText<pluginName, folder::settingsPageExtension>::text;
inline constexpr std::string_view ghostFolderName = "Ghosts";

// The ghost folder's place, folder by folder from the game's folder: the host's folder, its data folder, the
// ghost folder. Its paths and the texts that show it are joined from these parts, and only here.
inline constexpr std::array<std::string_view, 3> ghostFolderPlace = {folder::host, folder::data, ghostFolderName};

// The ghost folder in the host's data folder (the data folder as the host gives it).
template <class Path>
Path ghostFolderIn(const Path& dataFolder) {
  return dataFolder / Path(ghostFolderPlace.back());
}

// The plugin's settings page file in the host's folder: in its plugins' folder's folder of settings pages.
template <class Path>
Path settingsPageIn(const Path& hostFolder) {
  return hostFolder / Path(folder::plugins) / Path(folder::settingsPages) / Path(settingsPageFile);
}

// The ghost folder as a text path: lead, then each folder of its place followed by '/'.
inline std::string ghostFolderText(std::string_view lead) {
  std::string text(lead);
  for (const std::string_view part : ghostFolderPlace) {
    text += part;
    text += '/';
  }
  return text;
}

}  // namespace names

// The laps a race may be set to (the host keeps lm_lapNbr within them; the page offers them).
inline constexpr std::int32_t fewestLaps = 1;
inline constexpr std::int32_t mostLaps = 6;

// Whether a race may be set to that many laps: the page lists only ghosts of the laps it is set to, so a ghost
// of any other count is on no page.
inline constexpr bool raceLapCountAllowed(std::int32_t laps) { return laps >= fewestLaps && laps <= mostLaps; }

// The laps a race may be set to, as the tools' texts give them: "1 to 6".
inline std::string lapLimitsText() { return std::to_string(fewestLaps) + " to " + std::to_string(mostLaps); }

// The version text every exported ghost file is written with.
inline constexpr std::string_view writtenGhostVersion = "1.1";
