// The names the game and a workshop map give to what a plugin uses of them: the variables of the map's main
// Kismet sequence, the game events a plugin hooks, and the console commands the host runs itself. The
// stand-in host makes its maps, fires its events and answers its commands by these names, and the plugin
// looks them up by the same (plugin/HostNames.h), so the two cannot drift apart.
#pragma once

#include <cstdint>
#include <string_view>

namespace Tessaro::gameNames {

// Variables of a workshop map's main Kismet sequence.
namespace kismet {
inline constexpr std::string_view lapCounter = "LapNb";
// The lap counter's value while no race is under way: before the start line is first crossed, and after a
// ball reset.
inline constexpr std::int32_t lapCounterNoRace = -1;
inline constexpr std::string_view mapName = "MapName";
inline constexpr std::string_view ghostPosition = "GhostPosition";
inline constexpr std::string_view ghostRotation = "GhostRotation";
inline constexpr std::string_view ghostColor = "GhostColor";
// Optional: the live difference to the ghost a challenge races, for the map's own display.
inline constexpr std::string_view ghostDelta = "GhostDelta";
}  // namespace kismet

// Game events a plugin may hook.
namespace event {
inline constexpr std::string_view mapLoad = "Function TAGame.GFxData_MenuStack_TA.HandleMapLoad";
inline constexpr std::string_view playerSpawn = "Function TAGame.PlayerSpawnSystem_TA.HandlePlayerSpawnStart";
}  // namespace event

// The host's own console commands: reload the plugins' settings pages; close a menu, named by the word after
// it.
namespace hostCommand {
inline constexpr std::string_view refreshPluginPages = "cl_settings_refreshplugins";
inline constexpr std::string_view closeMenu = "closemenu";
}  // namespace hostCommand

// The menu of the plugins' settings pages, as closeMenu names it.
inline constexpr std::string_view settingsMenu = "settings";

// The host's folders under the game's own: its folder, and within it its data folder (GetDataFolder) and its
// plugins' folder, whose folder of settings pages holds each plugin's page, a file named after the plugin
// with this extension.
namespace folder {
inline constexpr std::string_view host = "tessaro";
inline constexpr std::string_view data = "data";
inline constexpr std::string_view plugins = "plugins";
inline constexpr std::string_view settingsPages = "settings";
inline constexpr std::string_view settingsPageExtension = ".set";
}  // namespace folder

}  // namespace Tessaro::gameNames
