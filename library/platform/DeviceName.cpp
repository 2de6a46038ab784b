#include "library/platform/DeviceName.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <exception>
#include <string>

namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameLetters(std::string_view text, std::string_view upperCase) {
  return text.size() == upperCase.size() &&
         std::equal(text.begin(), text.end(), upperCase.begin(), [](char a, char b) { return upper(a) == b; });
}

// A port's number: one digit from 1 to 9, or the superscript one, two or three (U+00B9, U+00B2, U+00B3).
bool isPortNumber(std::string_view text) {
  if (text.size() == 1) return text[0] >= '1' && text[0] <= '9';
  return text == "\xC2\xB9" || text == "\xC2\xB2" || text == "\xC2\xB3";
}

bool isSlash(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool isDeviceNamespacePath(std::string_view path) {
  // "\\.\" or "\\?\" (and "\??\", which Windows passes on unchanged) opens the rest in the namespace of
  // devices: only a drive, a share or a volume there is a file system's.
  if (path.size() < 4 || !isSlash(path[0]) || !isSlash(path[3])) return false;
  const bool dot = isSlash(path[1]) && path[2] == '.';
  const bool question = (isSlash(path[1]) && path[2] == '?') || (path[1] == '?' && path[2] == '?');
  if (dot) return true;
  if (!question) return false;
  // A drive or volume is itself a device: only a path within it ("C:\\...") names a file.
  const std::string_view rest = path.substr(4);
  const std::size_t slash = std::min(rest.find('\\'), rest.find('/'));
  const std::string_view first = rest.substr(0, slash);
  const bool drive = first.size() == 2 && first[1] == ':' && upper(first[0]) >= 'A' && upper(first[0]) <= 'Z';
  const bool volume = first.size() > 7 && sameLetters(first.substr(0, 7), "VOLUME{");
  return !(sameLetters(first, "UNC") || ((drive || volume) && slash != std::string_view::npos));
}

bool isWindowsDeviceName(std::string_view name) {
  if (isDeviceNamespacePath(name)) return true;
  // Windows reads a device's name from the part before the first dot (or a colon, which names a stream), and
  // sets aside the blanks that end it: "com1 .txt" and "NUL." are devices.
  std::string_view base = name.substr(0, std::min(name.find('.'), name.find(':')));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  constexpr std::array<std::string_view, 6> devices = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  if (std::any_of(devices.begin(), devices.end(), [&](std::string_view device) { return sameLetters(base, device); })) {
    return true;
  }
  if (base.size() < 4) return false;
  const std::string_view port = base.substr(0, 3);
  return (sameLetters(port, "COM") || sameLetters(port, "LPT")) && isPortNumber(base.substr(3));
}

namespace {

// The path and its last component as UTF-8; nothing for a Windows name that is no UTF-16 text (no device has
// one).
bool utf8Texts(const std::filesystem::path& file, std::string& whole, std::string& last) {
  try {
    const std::u8string wholeText = file.u8string(), lastText = file.filename().u8string();
    whole.assign(wholeText.begin(), wholeText.end());
    last.assign(lastText.begin(), lastText.end());
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

bool namesWindowsDevice(const std::filesystem::path& file) {
  std::string whole, last;
  return utf8Texts(file, whole, last) && (isWindowsDeviceName(last) || isDeviceNamespacePath(whole));
}

std::string_view deviceRefusalReason(const std::filesystem::path& file) {
  std::string whole, last;
  if (!utf8Texts(file, whole, last)) return deviceNameReason;
  return isDeviceNamespacePath(whole) || isDeviceNamespacePath(last) ? deviceNamespaceReason : deviceNameReason;
}
