#include "library/platform/FolderOpener.h"

#include <string>

#include "host/FolderOpener.h"
#include "library/platform/PathText.h"
#include "plugin/HostSdkSymbol.h"

#if defined(_WIN32)
#  include <windows.h>
#  include <shellapi.h>
#else
#  include "library/platform/DetachedProcess.h"
#endif

namespace {

bool openWithPlatformBrowser(const std::filesystem::path& folder) {
#if defined(_WIN32)
  // The ANSI entry point would read the path in the ANSI code page and miss a folder named in any other.
  const std::u16string utf16 = utf16FromPath(folder);
  const std::wstring wide(utf16.begin(), utf16.end());
  const HINSTANCE result = ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWDEFAULT);
  return shellAcceptedRequest(reinterpret_cast<std::intptr_t>(result));
#elif defined(__APPLE__)
  return startDetached({"open", utf8FromPath(folder)});
#else
  return startDetached({"xdg-open", utf8FromPath(folder)});
#endif
}

}  // namespace

bool shellAcceptedRequest(std::intptr_t shellResult) { return shellResult > 32; }

bool openFolderInBrowser(const std::filesystem::path& folder) {
  static const auto hostOpener =
      reinterpret_cast<Tessaro::HostOpenFolderFunction>(findHostSdkSymbol(Tessaro::hostOpenFolderSymbol));
  if (hostOpener == nullptr) return openWithPlatformBrowser(folder);
  hostOpener(utf8FromPath(folder).c_str());
  return true;
}
