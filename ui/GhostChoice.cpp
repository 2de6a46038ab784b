#include "ui/GhostChoice.h"

#include <algorithm>
#include <compare>
#include <exception>
#include <system_error>
#include <type_traits>
#include <utility>

#include "library/GhostFileName.h"
#include "library/GhostFormat.h"
#include "library/GhostHeaderLine.h"
#include "library/LineReader.h"
#include "library/NumberReading.h"
#include "library/PathText.h"
#include "library/RegularFileReader.h"
#include "race/RaceTime.h"

namespace {

bool isPageByte(unsigned char byte) {
  return byte != '|' && byte != '&' && byte != '@' && byte >= 0x20 && byte != 0x7F;
}

std::string sevenBitText(std::string_view text) {
  std::string kept;
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x80) kept += c;
  }
  return kept;
}

}  // namespace

std::string pageSafeText(std::string_view text) {
  std::string kept;
  kept.reserve(text.size());
  for (char c : text) {
    if (isPageByte(static_cast<unsigned char>(c))) kept += c;
  }
  return kept;
}

bool isListableFileName(std::string_view fileName) {
  return !namesNoGhost(fileName) && std::all_of(fileName.begin(), fileName.end(), isGhostNameByte);
}

std::optional<std::string> ghostChoice(std::string_view headerLine, std::string_view fileName, std::string_view mapName,
                                       std::int32_t lapCount) {
  if (!isListableFileName(fileName)) return std::nullopt;
  const GhostHeaderFields header = readGhostHeader(headerLine);
  if (headerFit(header, mapName, lapCount) != HeaderFit::Fits) return std::nullopt;

  const std::string label = header.lapField + " in " + formatRaceTime(header.runTime.value) + " by " +
                            sevenBitText(header.playerName) + "(" + std::string(fileName) + ")";
  return pageSafeText(label) + "@" + std::string(fileName);
}

namespace {

// The first line of an open ghost file, read as little as the page reads it.
std::optional<std::string> headerLineOf(RegularFileReader& in) {
  if (!in.isOpen()) return std::nullopt;
  return readFirstLine(in.stream(), ghostLineLimit);
}

}  // namespace

std::vector<std::string> ghostChoices(const std::filesystem::path& ghostFolder, std::string_view mapName,
                                      std::int32_t lapCount) {
  std::vector<std::pair<std::string, std::filesystem::directory_entry>> files;
  std::error_code error;
  std::filesystem::directory_iterator entry(ghostFolder, error);
  for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    std::string name;
    try {
      name = utf8FromPath(entry->path().filename());
    } catch (const std::exception&) {
      continue;  // a name with no UTF-8 form (Windows) cannot be a list value
    }
    if (isListableFileName(name)) files.emplace_back(std::move(name), *entry);
  }
  // The platform's listing order differs between systems; byte order gives every system the same page.
  std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

  std::vector<std::string> choices;
  for (const auto& [name, file] : files) {
    RegularFileReader in(file);
    const std::optional<std::string> header = headerLineOf(in);
    if (!header) continue;
    if (auto choice = ghostChoice(*header, name, mapName, lapCount)) choices.push_back(std::move(*choice));
  }
  return choices;
}

std::optional<std::int32_t> listedRunTime(const std::filesystem::path& file, std::string_view mapName,
                                          std::int32_t lapCount) {
  RegularFileReader in(file);
  const std::optional<std::string> headerLine = headerLineOf(in);
  if (!headerLine) return std::nullopt;
  const GhostHeaderFields header = readGhostHeader(*headerLine);
  if (headerFit(header, mapName, lapCount) != HeaderFit::Fits) return std::nullopt;
  return header.runTime.value;
}
