#include "ui/GhostChoice.h"

#include <algorithm>
#include <array>
#include <compare>
#include <cstddef>
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
#include "ui/PageBytes.h"

namespace {

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
    if (isPageListByte(c)) kept += c;
  }
  return kept;
}

bool isListableFileName(std::string_view fileName) {
  // The rule as a table: every page asks it of every byte of every name in the folder.
  static constexpr std::array<bool, 256> nameBytes = [] {
    std::array<bool, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) table[byte] = isGhostNameByte(static_cast<char>(byte));
    return table;
  }();
  return !namesNoGhost(fileName) &&
         std::all_of(fileName.begin(), fileName.end(), [](char c) { return nameBytes[static_cast<unsigned char>(c)]; });
}

std::optional<std::string> ghostChoice(std::string_view headerLine, std::string_view fileName, std::string_view mapName,
                                       std::int32_t lapCount) {
  if (!isListableFileName(fileName)) return std::nullopt;
  const GhostHeaderFields header = readGhostHeader(headerLine);
  if (headerFit(header, mapName, lapCount) != HeaderFit::Fits) return std::nullopt;

  const std::string label = header.lapField + " in " + formatRaceTime(header.runTime.value) + " by " +
                            sevenBitText(header.playerName) + "(" + std::string(fileName) + ")";
  return pageSafeText(label) + pageLabelSeparator + std::string(fileName);
}
