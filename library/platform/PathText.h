// Text and file-system paths meet here and nowhere else. Text is UTF-8 on every platform; a path made from
// narrow text would be read in the ANSI code page on Windows, so every conversion goes through u8string.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The path that UTF-8 text names.
std::filesystem::path pathFromUtf8(std::string_view text);

// The same, or nothing where text that is not UTF-8 names no path (Windows, whose names are UTF-16).
std::optional<std::filesystem::path> pathFromUtf8IfAny(std::string_view text);

// The path as UTF-8 text. On Windows a name that is not valid UTF-16 has no such text, and
// std::filesystem::filesystem_error (or std::system_error) is thrown.
std::string utf8FromPath(const std::filesystem::path& path);

// The path as UTF-16 text, the wide form the Windows shell's entry points take.
std::u16string utf16FromPath(const std::filesystem::path& path);
