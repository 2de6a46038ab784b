#include "sim/PluginLoader.h"

#include <memory>
#include <stdexcept>
#include <string>

#if defined(_WIN32)
#  include <windows.h>
#else
#  include <dlfcn.h>
#endif

namespace sim {
namespace {

void* openLibrary(const std::filesystem::path& path) {
#if defined(_WIN32)
  // LoadLibraryW wants backslashes in a path.
  return reinterpret_cast<void*>(LoadLibraryW(std::filesystem::path(path).make_preferred().wstring().c_str()));
#else
  return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
}

void* findSymbol(void* library, const char* name) {
#if defined(_WIN32)
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
#else
  return dlsym(library, name);
#endif
}

void closeLibrary(void* library) {
#if defined(_WIN32)
  FreeLibrary(static_cast<HMODULE>(library));
#else
  dlclose(library);
#endif
}

std::string lastLoadError() {
#if defined(_WIN32)
  return "error " + std::to_string(GetLastError());
#else
  // NOLINTNEXTLINE(concurrency-mt-unsafe): the loader runs on the host's one thread, right after the failed call
  const char* error = dlerror();
  return error ? error : "unknown error";
#endif
}

// The library's path in a message, as UTF-8 whatever its letters (narrow text would be the ANSI code page's on
// Windows, which cannot spell every name).
std::string shown(const std::filesystem::path& library) {
  const std::u8string text = library.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

LoadedPlugin::LoadedPlugin(const std::filesystem::path& library, Game& game) : game_(&game) {
  library_ = openLibrary(library);
  if (library_ == nullptr) {
    throw std::runtime_error("cannot load plugin " + shown(library) + ": " + lastLoadError());
  }
  exports_ = static_cast<const Tessaro::Plugin::PluginExports*>(findSymbol(library_, Tessaro::Plugin::exportsSymbol));
  if (exports_ == nullptr || exports_->getterEntry == nullptr) {
    closeLibrary(library_);
    throw std::runtime_error(shown(library) + " exports no plugin record");
  }
  std::shared_ptr<Tessaro::Plugin::TessaroPlugin>* slot = exports_->getterEntry();
  plugin_ = slot ? slot->get() : nullptr;
  if (plugin_ == nullptr) {
    closeLibrary(library_);
    throw std::runtime_error(shown(library) + " gave no plugin object");
  }
  plugin_->cvarManager = game.cvarManagerWrapper();
  plugin_->gameWrapper = game.gameWrapper();
  loaded_ = true;
  plugin_->onLoad();
}

void LoadedPlugin::unload() {
  if (!loaded_) return;
  loaded_ = false;
  plugin_->onUnload();
  exports_->releaseEntry();
  plugin_ = nullptr;
  game_->dropPluginCallbacks();
}

LoadedPlugin::~LoadedPlugin() {
  unload();
  closeLibrary(library_);
}

}  // namespace sim
