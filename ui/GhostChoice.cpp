#include "ui/GhostChoice.h"

#include <algorithm>
#include <exception>
#include <fstream>
#include <system_error>

#include "library/GhostFileAccess.h"
#include "library/GhostFileName.h"
#include "library/LineReader.h"
#include "library/NumberReading.h"
#include "library/PathText.h"
#include "library/SplitString.h"
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
  return std::all_of(fileName.begin(), fileName.end(), isGhostNameByte);
}

std::optional<std::string> ghostChoice(std::string_view headerLine, std::string_view fileName,
                                       std::string_view mapName, std::int32_t lapCount) {
  if (!isListableFileName(fileName)) return std::nullopt;
  const std::vector<std::string> fields = splitString(headerLine, ",");
  if (fields.size() < 4 || fields[0] != mapName) return std::nullopt;
  const IntReading laps = readInt(fields[3]);
  if (laps.error != NumberError::None || laps.value != lapCount) return std::nullopt;
  const IntReading runTime = readInt(fields[2]);
  if (runTime.error != NumberError::None) return std::nullopt;

  const std::string label = fields[3] + " in " + formatRaceTime(runTime.value) + " by " + sevenBitText(fields[1]) +
                            "(" + std::string(fileName) + ")";
  return pageSafeText(label) + "@" + std::string(fileName);
}

std::vector<std::string> ghostChoices(const std::filesystem::path& ghostFolder, std::string_view mapName,
                                      std::int32_t lapCount) {
  const GhostFileAccess ghosts(ghostFolder);
  std::vector<std::pair<std::string, std::filesystem::path>> files;
  std::error_code error;
  std::filesystem::directory_iterator entry(ghostFolder, error);
  for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    if (!ghosts.mayRead(entry->path())) continue;
    std::string name;
    try {
      name = utf8FromPath(entry->path().filename());
    } catch (const std::exception&) {
      continue;  // a name with no UTF-8 form (Windows) cannot be a list value
    }
    files.emplace_back(std::move(name), entry->path());
  }
  // The platform's listing order differs between systems; byte order gives every system the same page.
  std::sort(files.begin(), files.end());

  std::vector<std::string> choices;
  for (const auto& [name, path] : files) {
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) continue;
    const std::optional<std::string> header = readFirstLine(in, headerLineLimit);
    if (!header) continue;
    if (auto choice = ghostChoice(*header, name, mapName, lapCount)) choices.push_back(std::move(*choice));
  }
  return choices;
}
