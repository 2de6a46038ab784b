#include "library/FolderOpener.h"

#include "host/FolderOpener.h"
#include "plugin/HostSdkSymbol.h"

#if defined(_WIN32)
#  include <windows.h>
#  include <shellapi.h>
#else
#  include "library/DetachedProcess.h"
#endif

namespace {

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
  static const auto hostOpener =
      reinterpret_cast<Tessaro::HostOpenFolderFunction>(findHostSdkSymbol(Tessaro::hostOpenFolderSymbol));
  if (hostOpener != nullptr) {
    hostOpener(utf8Path.c_str());
  } else {
    openWithPlatformBrowser(utf8Path);
  }
}
