// Names that Windows opens as devices rather than as files, in any folder: CON, PRN, AUX, NUL, CONIN$,
// CONOUT$, COM1 to COM9 and LPT1 to LPT9 (and COM or LPT with a superscript one, two or three), in any case,
// with any extension, and with blanks before the extension or trailing dots and blanks. Opening one can act
// on the device (a serial port is set up, a console read waits), so such a name is refused before any open,
// on every platform alike: a ghost under such a name could never be shared with a Windows player anyway.
// Paths in Windows' device namespace ("\\.\", "\\?\GLOBALROOT\" and the like) lead to devices whatever their
// last component, and are refused the same way.
#pragma once

#include <filesystem>
#include <string_view>

// Whether a file name (one component, UTF-8) is a Windows device's, or starts a device-namespace path.
bool isWindowsDeviceName(std::string_view name);

// Whether a path (UTF-8) is in Windows' device namespace: "\\.\" followed by anything (a device, a pipe, a
// disk), or "\\?\" or "\??\" followed by anything but a drive ("C:"), "UNC" or a volume ("Volume{"), such as
// "\\?\GLOBALROOT\Device\Null". Either slash counts, as Windows reads them alike.
bool isDeviceNamespacePath(std::string_view path);

// Whether a path is in the device namespace, or its last component is a Windows device's name.
bool namesWindowsDevice(const std::filesystem::path& file);

// Why such a name is refused, as the plugin and lumaro-ghost say it.
inline constexpr std::string_view deviceNameReason =
    "the name is a Windows device's (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1 to COM9, LPT1 to LPT9), which is never "
    "opened";
inline constexpr std::string_view deviceNamespaceReason =
    "the path is in Windows' device namespace (\\\\.\\ or \\\\?\\GLOBALROOT\\), which is never opened";

// The reason a path that namesWindowsDevice is refused for.
std::string_view deviceRefusalReason(const std::filesystem::path& file);
