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

namespace {

// What the list shows of a header line.
struct HeaderFields {
  std::string_view player;
  std::string_view runTime;
  std::string_view laps;
};

bool fits(const HeaderFields& header, std::int32_t lapCount) {
  const IntReading laps = readInt(header.laps);
  return laps.error == NumberError::None && laps.value == lapCount &&
         readInt(header.runTime).error == NumberError::None;
}

// The header as the export writes it when a name holds a comma: the map name (known, so matched as a
// prefix), then the player's name up to the last three fields, which are run time, lap count and version.
std::optional<HeaderFields> fieldsAroundCommaNames(std::string_view headerLine, std::string_view mapName) {
  if (headerLine.size() <= mapName.size() || headerLine.substr(0, mapName.size()) != mapName ||
      headerLine[mapName.size()] != ',') {
    return std::nullopt;
  }
  std::string_view rest = headerLine.substr(mapName.size() + 1);
  std::string_view tail[3];  // version, lap count, run time
  for (std::string_view& field : tail) {
    const std::size_t comma = rest.rfind(',');
    if (comma == std::string_view::npos) return std::nullopt;
    field = rest.substr(comma + 1);
    rest = rest.substr(0, comma);
  }
  return HeaderFields{rest, tail[2], tail[1]};
}

// The fields the list shows of a header line that names this map and lap count: views into headerLine or
// into fields, which must outlive them.
std::optional<HeaderFields> listedFields(std::string_view headerLine, const std::vector<std::string>& fields,
                                         std::string_view mapName, std::int32_t lapCount) {
  std::optional<HeaderFields> header;
  if (fields.size() >= 4 && fields[0] == mapName) header = HeaderFields{fields[1], fields[2], fields[3]};
  // Names are written unquoted: a comma in one shifts the numbers to later fields, read from the right.
  if (!header || !fits(*header, lapCount)) header = fieldsAroundCommaNames(headerLine, mapName);
  if (!header || !fits(*header, lapCount)) return std::nullopt;
  return header;
}

// The first line of a file the plugin may read, read as little as the page reads it.
std::optional<std::string> headerLineOf(const std::filesystem::path& file) {
  // Unbuffered, the stream reads what is asked of it and no more: a header costs one small read.
  std::ifstream in;
  in.rdbuf()->pubsetbuf(nullptr, 0);
  in.open(file, std::ios::binary);
  if (!in.is_open()) return std::nullopt;
  return readFirstLine(in, headerLineLimit);
}

}  // namespace

std::optional<std::string> ghostChoice(std::string_view headerLine, std::string_view fileName, std::string_view mapName,
                                       std::int32_t lapCount) {
  if (!isListableFileName(fileName)) return std::nullopt;
  const std::vector<std::string> fields = splitString(headerLine, ",");
  const std::optional<HeaderFields> header = listedFields(headerLine, fields, mapName, lapCount);
  if (!header) return std::nullopt;

  const std::string label = std::string(header->laps) + " in " + formatRaceTime(readInt(header->runTime).value) +
                            " by " + sevenBitText(header->player) + "(" + std::string(fileName) + ")";
  return pageSafeText(label) + "@" + std::string(fileName);
}

std::vector<std::string> ghostChoices(const std::filesystem::path& ghostFolder, std::string_view mapName,
                                      std::int32_t lapCount) {
  const GhostFileAccess ghosts(ghostFolder);
  std::vector<std::pair<std::string, std::filesystem::path>> files;
  std::error_code error;
  std::filesystem::directory_iterator entry(ghostFolder, error);
  for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    if (!ghosts.mayRead(*entry)) continue;
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
    const std::optional<std::string> header = headerLineOf(path);
    if (!header) continue;
    if (auto choice = ghostChoice(*header, name, mapName, lapCount)) choices.push_back(std::move(*choice));
  }
  return choices;
}

std::optional<std::int32_t> listedRunTime(const std::filesystem::path& ghostFolder, const std::filesystem::path& file,
                                          std::string_view mapName, std::int32_t lapCount) {
  if (!GhostFileAccess(ghostFolder).mayRead(file)) return std::nullopt;
  const std::optional<std::string> headerLine = headerLineOf(file);
  if (!headerLine) return std::nullopt;
  const std::vector<std::string> fields = splitString(*headerLine, ",");
  const std::optional<HeaderFields> header = listedFields(*headerLine, fields, mapName, lapCount);
  if (!header) return std::nullopt;
  return readInt(header->runTime).value;
}
