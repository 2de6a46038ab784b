#include "library/DeviceName.h"

#include <algorithm>
#include <array>
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

}  // namespace

bool isWindowsDeviceName(std::string_view name) {
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

bool namesWindowsDevice(const std::filesystem::path& file) {
  std::u8string name;
  try {
    name = file.filename().u8string();
  } catch (const std::exception&) {
    return false;  // a Windows name that is no UTF-16 text: no device has one
  }
  return isWindowsDeviceName(std::string_view(reinterpret_cast<const char*>(name.data()), name.size()));
}
