#include "library/FolderOpener.h"

#include "host/FolderOpener.h"

#if defined(_WIN32)
#  include <windows.h>
#  include <shellapi.h>
#else
#  include <dlfcn.h>

#  include "library/DetachedProcess.h"
#endif

namespace {

Tessaro::HostOpenFolderFunction findHostOpener() {
#if defined(_WIN32)
  HMODULE sdk = GetModuleHandleA("pluginsdk.dll");
  if (sdk == nullptr) return nullptr;
  return reinterpret_cast<Tessaro::HostOpenFolderFunction>(
      reinterpret_cast<void*>(GetProcAddress(sdk, Tessaro::hostOpenFolderSymbol)));
#else
  if (void* found = dlsym(RTLD_DEFAULT, Tessaro::hostOpenFolderSymbol)) {
    return reinterpret_cast<Tessaro::HostOpenFolderFunction>(found);
  }
  // A host program that loads the plugin without the SDK library in its global scope: ask the SDK library
  // itself, which is loaded already since the plugin links against it.
  void* sdk = dlopen("libpluginsdk.so", RTLD_LAZY | RTLD_NOLOAD);
  if (sdk == nullptr) return nullptr;
  void* found = dlsym(sdk, Tessaro::hostOpenFolderSymbol);
  dlclose(sdk);
  return reinterpret_cast<Tessaro::HostOpenFolderFunction>(found);
#endif
}

void openWithPlatformBrowser(const std::string& utf8Path) {
#if defined(_WIN32)
  ShellExecuteA(nullptr, "open", utf8Path.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
#elif defined(__APPLE__)
  startDetached({"open", utf8Path});
#else
  startDetached({"xdg-open", utf8Path});
#endif
}

}  // namespace

void openFolderInBrowser(const std::string& utf8Path) {
  static const Tessaro::HostOpenFolderFunction hostOpener = findHostOpener();
  if (hostOpener != nullptr) {
    hostOpener(utf8Path.c_str());
  } else {
    openWithPlatformBrowser(utf8Path);
  }
}
