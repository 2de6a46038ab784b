// The record a plugin library exports under the name "exports". The host reads it by this fixed binary
// layout (64 bytes, little-endian, 8-byte pointers) to find the plugin's getter and release functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "host/TessaroPlugin.h"

namespace Tessaro::Plugin {

using PluginGetter = std::shared_ptr<TessaroPlugin>* (*)();
using PluginRelease = void (*)();

struct PluginExports {
  std::int32_t hostApiBuild;
  const char* sourcePath;
  const char* classTitle;
  const char* displayTitle;
  const char* versionText;
  std::int32_t kindFlags;
  PluginGetter getterEntry;
  PluginRelease releaseEntry;
};

static_assert(sizeof(void*) == 8, "the host loads 64-bit plugins only");
static_assert(offsetof(PluginExports, hostApiBuild) == 0);
static_assert(offsetof(PluginExports, sourcePath) == 8);
static_assert(offsetof(PluginExports, classTitle) == 16);
static_assert(offsetof(PluginExports, displayTitle) == 24);
static_assert(offsetof(PluginExports, versionText) == 32);
static_assert(offsetof(PluginExports, kindFlags) == 40);
static_assert(offsetof(PluginExports, getterEntry) == 48);
static_assert(offsetof(PluginExports, releaseEntry) == 56);
static_assert(sizeof(PluginExports) == 64);

// The names under which the host looks the entry points up.
inline constexpr const char* exportsSymbol = "exports";
inline constexpr const char* getterSymbol = "getPlugin";
inline constexpr const char* releaseSymbol = "deleteMe";

}  // namespace Tessaro::Plugin
