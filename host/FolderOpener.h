// A host may show folders to the user itself (the stand-in host records each request instead of opening a
// window). It then exports, from its SDK library, a C function of this name taking the folder's path as
// NUL-terminated UTF-8 text. A host that does not export it leaves plugins to open the file browser themselves.
#pragma once

namespace Tessaro {

inline constexpr const char* hostOpenFolderSymbol = "TessaroHostOpenFolder";
using HostOpenFolderFunction = void (*)(const char* utf8Path);

}  // namespace Tessaro
