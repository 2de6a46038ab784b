// Symbol visibility for the two libraries that meet at the host boundary.
// TESSARO_SDK_API marks what the host SDK library (pluginsdk) exports to plugins and to the host program;
// TESSARO_PLUGIN_API marks what a plugin library exports to the host (its entry points and base class).
#pragma once

#if defined(_WIN32)
#  define TESSARO_EXPORT_ATTR __declspec(dllexport)
#  define TESSARO_IMPORT_ATTR __declspec(dllimport)
#else
#  define TESSARO_EXPORT_ATTR __attribute__((visibility("default")))
#  define TESSARO_IMPORT_ATTR __attribute__((visibility("default")))
#endif

#if defined(TESSARO_BUILDING_SDK)
#  define TESSARO_SDK_API TESSARO_EXPORT_ATTR
#else
#  define TESSARO_SDK_API TESSARO_IMPORT_ATTR
#endif

#if defined(TESSARO_BUILDING_PLUGIN)
#  define TESSARO_PLUGIN_API TESSARO_EXPORT_ATTR
#elif defined(_WIN32)
#  define TESSARO_PLUGIN_API
#else
#  define TESSARO_PLUGIN_API TESSARO_EXPORT_ATTR
#endif
