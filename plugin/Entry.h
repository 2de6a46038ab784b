// The plugin library's exported entry points: the description record the host reads, the getter that
// creates the single plugin object on first use, and the release entry.
#pragma once

#include <memory>

#include "host/Api.h"
#include "host/PluginExports.h"
#include "host/TessaroPlugin.h"

extern "C" {
TESSARO_PLUGIN_API extern Tessaro::Plugin::PluginExports exports;
TESSARO_PLUGIN_API std::shared_ptr<Tessaro::Plugin::TessaroPlugin>* getPlugin();
TESSARO_PLUGIN_API void deleteMe();
}
