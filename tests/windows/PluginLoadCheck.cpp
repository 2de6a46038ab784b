#include "PluginLoadCheck.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "Checks.h"
#include "NativeLibrary.h"
#include "host/HostClock.h"
#include "host/PluginExports.h"
#include "host/TessaroPlugin.h"
#include "sim/Console.h"
#include "sim/Game.h"
#include "sim/PluginLoader.h"

namespace {

using Tessaro::Plugin::TessaroPlugin;
using Getter = std::shared_ptr<TessaroPlugin>* (*)();
using Release = void (*)();

// Fields are read from the record's bytes at fixed offsets, not through the PluginExports struct, so a
// layout the compiler chose differently on this platform shows up here.
template <class T>
T fieldAt(const unsigned char* record, std::size_t offset) {
  T value;
  std::memcpy(&value, record + offset, sizeof value);
  return value;
}

bool zeroBytes(const unsigned char* record, std::size_t offset, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (record[offset + i] != 0) return false;
  }
  return true;
}

std::string textAt(const unsigned char* record, std::size_t offset) {
  const char* text = fieldAt<const char*>(record, offset);
  return text == nullptr ? "(null)" : text;
}

bool endsWithFileName(std::string_view path, std::string_view name) {
  if (path.size() <= name.size() || path.substr(path.size() - name.size()) != name) return false;
  const char before = path[path.size() - name.size() - 1];
  return before == '/' || before == '\\';
}

void checkRecord(const unsigned char* record, const NativeLibrary& library, Checks& checks) {
  checks.expect(fieldAt<std::int32_t>(record, 0) == 95, "hostApiBuild at offset 0 is 95");
  checks.expect(zeroBytes(record, 4, 4), "bytes 4..7 are zero padding");
  const std::string source = textAt(record, 8);
  checks.expect(endsWithFileName(source, "Lumaro.cpp"), "sourcePath at offset 8 names Lumaro.cpp: " + source);
  checks.expect(textAt(record, 16) == "Lumaro", "classTitle at offset 16 is \"Lumaro\"");
  checks.expect(textAt(record, 24) == "Lumaro", "displayTitle at offset 24 is \"Lumaro\"");
  checks.expect(textAt(record, 32) == "1.0", "versionText at offset 32 is \"1.0\"");
  checks.expect(fieldAt<std::int32_t>(record, 40) == 32, "kindFlags at offset 40 is 32");
  checks.expect(zeroBytes(record, 44, 4), "bytes 44..47 are zero padding");
  void* getter = library.symbol("getPlugin");
  void* release = library.symbol("deleteMe");
  checks.expect(getter != nullptr, "getPlugin is exported under its plain name");
  checks.expect(release != nullptr, "deleteMe is exported under its plain name");
  checks.expect(fieldAt<void*>(record, 48) == getter, "getterEntry at offset 48 is the address of getPlugin");
  checks.expect(fieldAt<void*>(record, 56) == release, "releaseEntry at offset 56 is the address of deleteMe");
}

void checkLifecycle(const unsigned char* record, const std::filesystem::path& root, Checks& checks) {
  const auto getPlugin = fieldAt<Getter>(record, 48);
  const auto deleteMe = fieldAt<Release>(record, 56);
  sim::Game game(root);

  std::shared_ptr<TessaroPlugin>* slot = getPlugin();
  if (!checks.expect(slot != nullptr && *slot, "getPlugin gives a plugin object")) return;
  TessaroPlugin* plugin = slot->get();
  checks.expect(getPlugin() == slot && slot->get() == plugin, "a second getPlugin gives the same object");
  checks.expect(!plugin->cvarManager && !plugin->gameWrapper, "the host pointers are empty before the host fills them");

  plugin->cvarManager = game.cvarManagerWrapper();
  plugin->gameWrapper = game.gameWrapper();
  plugin->onLoad();
  checks.expect(game.console().commands().size() == 8, "onLoad registers eight commands");
  checks.expect(game.console().variables().size() == 9, "onLoad registers nine console variables");
  checks.expect(game.console().commands().count("lm_record") == 1, "lm_record is registered");
  checks.expect(std::filesystem::is_directory(game.ghostFolder()), "onLoad creates the ghost folder");

  // The plugin finds the host's virtual clock by this name in pluginsdk.dll; without it the plugin
  // would time runs on the wall clock.
  const auto hostClock = reinterpret_cast<Tessaro::HostClockFunction>(sdkSymbol(Tessaro::hostClockSymbol));
  checks.expect(hostClock != nullptr && hostClock() == game.now(),
                "the SDK library offers the game's clock to plugins");
  game.runFor(0.5);

  const std::size_t commandsBefore = game.console().commandsRun().size();
  plugin->onUnload();
  checks.expect(game.console().commandsRun().size() == commandsBefore + 1 &&
                    game.console().commandsRun().back() == "closemenu settings",
                "onUnload runs exactly the command \"closemenu settings\"");

  deleteMe();
  checks.expect(!*slot, "deleteMe empties the library's shared pointer");
  deleteMe();
  checks.expect(!*slot, "a second deleteMe does nothing");
  // The object is gone: drop what it registered before anything can call it.
  game.dropPluginCallbacks();
}

// The stand-in host's own loader, which the host programs use, reaches the same library.
void checkStandInLoader(const std::filesystem::path& plugin, const std::filesystem::path& root, Checks& checks) {
  sim::Game game(root);
  sim::LoadedPlugin loaded(std::filesystem::absolute(plugin), game);
  checks.expect(loaded.exports().hostApiBuild == 95 && game.console().commands().size() == 8,
                "the stand-in host's loader loads the library and runs onLoad");
  loaded.unload();
  checks.expect(game.menuCloses() == 1, "the stand-in host's loader runs onUnload");

  // Each binary has its own copy of the C++ runtime: an error thrown in the SDK library must still be
  // caught here by its type.
  try {
    sim::LoadedPlugin missing(std::filesystem::absolute(plugin).parent_path() / "NoSuchPlugin.dll", game);
    checks.fail("loading a missing library throws");
  } catch (const std::runtime_error& error) {
    checks.expect(std::string(error.what()).rfind("cannot load plugin ", 0) == 0,
                  "an error thrown by the SDK library is caught by its type across the library boundary");
  }
}

}  // namespace

void checkPluginLoad(const std::filesystem::path& plugin, const std::filesystem::path& root, Checks& checks) {
  {
    NativeLibrary library(plugin);
    const auto* record = static_cast<const unsigned char*>(library.symbol("exports"));
    if (!checks.expect(record != nullptr, "\"exports\" is exported under its plain name")) return;
    checkRecord(record, library, checks);
    checkLifecycle(record, root / "direct", checks);
  }
  checkStandInLoader(plugin, root / "loader", checks);
}
