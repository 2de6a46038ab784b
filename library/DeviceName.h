// Names that Windows opens as devices rather than as files, in any folder: CON, PRN, AUX, NUL, CONIN$,
// CONOUT$, COM1 to COM9 and LPT1 to LPT9 (and COM or LPT with a superscript one, two or three), in any case,
// with any extension, and with blanks before the extension or trailing dots and blanks. Opening one can act
// on the device (a serial port is set up, a console read waits), so such a name is refused before any open,
// on every platform alike: a ghost under such a name could never be shared with a Windows player anyway.
#pragma once

#include <filesystem>
#include <string_view>

// Whether a file name (one component, UTF-8) is a Windows device's.
bool isWindowsDeviceName(std::string_view name);

// Whether the last component of a path is a Windows device's name.
bool namesWindowsDevice(const std::filesystem::path& file);

// Why such a name is refused, as the plugin and lumaro-ghost say it.
inline constexpr std::string_view deviceNameReason =
    "the name is a Windows device's (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9), which is never opened";
