// Loads a plugin library the way the host does: through its exported "exports" record alone. It reads
// the record, obtains the plugin object from the getter, hands it the console and game access objects of
// a game and runs onLoad; unloading runs onUnload, the release entry, and closes the library.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "host/Api.h"
#include "host/PluginExports.h"
#include "host/TessaroPlugin.h"
#include "sim/Game.h"

namespace sim {

class TESSARO_SDK_API LoadedPlugin {
public:
  // Throws std::runtime_error naming the library and what was missing.
  LoadedPlugin(const std::filesystem::path& library, Game& game);
  ~LoadedPlugin();
  LoadedPlugin(const LoadedPlugin&) = delete;
  LoadedPlugin& operator=(const LoadedPlugin&) = delete;

  const Tessaro::Plugin::PluginExports& exports() const { return *exports_; }
  Tessaro::Plugin::TessaroPlugin& plugin() { return *plugin_; }

  // Runs onUnload and the release entry, then drops the plugin's registrations from the game; the library
  // stays mapped until destruction.
  void unload();

private:
  Game* game_;
  void* library_ = nullptr;
  const Tessaro::Plugin::PluginExports* exports_ = nullptr;
  Tessaro::Plugin::TessaroPlugin* plugin_ = nullptr;
  bool loaded_ = false;
};

}  // namespace sim
