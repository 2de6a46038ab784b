#include "library/platform/PathText.h"

#include <system_error>

std::filesystem::path pathFromUtf8(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::optional<std::filesystem::path> pathFromUtf8IfAny(std::string_view text) {
  try {
    return pathFromUtf8(text);
  } catch (const std::system_error&) {
    return std::nullopt;
  }
}

std::string utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::u16string utf16FromPath(const std::filesystem::path& path) { return path.u16string(); }
