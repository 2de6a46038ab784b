// Scenario and map files read whole, but never more than such a file ever holds: a larger one (a stray
// 400 MB file given as a scenario, say) is refused after reading the limit, not gathered into memory.
#pragma once

#include <cstddef>
#include <filesystem>
#include <istream>
#include <string>

namespace lumaro_host {

inline constexpr std::size_t maxTextFileBytes = std::size_t{16} * 1024 * 1024;

struct TextFile {
  std::string text;
  std::string error;  // empty when read; otherwise why not: "it is a folder", "it holds more than 16 MiB, ..."
};

TextFile readTextFile(const std::filesystem::path& file);
TextFile readTextStream(std::istream& in);

}  // namespace lumaro_host
