#include "ui/GhostChoice.h"

#include <algorithm>
#include <array>
#include <compare>
#include <cstddef>
#include <exception>
#include <system_error>
#include <type_traits>
#include <utility>

#include "library/ghostfile/GhostFileName.h"
#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostHeaderLine.h"
#include "library/ghostfile/HiddenCodePoints.h"
#include "library/ghostfile/LineReader.h"
#include "library/ghostfile/NumberReading.h"
#include "library/platform/PathText.h"
#include "library/platform/RegularFileReader.h"
#include "race/RaceTime.h"
#include "ui/PageBytes.h"

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

  // The label's parts kept page safe one by one (a listable name is page safe as it is), the player name in
  // seven bits. The label shows the code points that reorder or hide text as escapes, so an entry is never
  // shown reversed; the value keeps the file's real name, which loads it.
  const auto safe = [](std::string_view text, bool sevenBit) {
    std::string kept;
    for (char c : text) {
      if (isPageListByte(c) && (!sevenBit || static_cast<unsigned char>(c) < 0x80)) kept += c;
    }
    return kept;
  };
  return pageListEntry(ghostChoiceLabel(safe(hiddenCodePointsShown(header.lapField), false),
                                        safe(formatRaceTime(header.runTime.value), false),
                                        safe(header.playerName, true), labelledFileName(fileName)),
                       fileName);
}

std::string ghostChoiceLabel(std::string_view lapField, std::string_view raceTime, std::string_view playerName,
                             std::string_view fileName) {
  std::string label;
  label.reserve(lapField.size() + raceTime.size() + playerName.size() + fileName.size() + 10);
  label += lapField;
  label += " in ";
  label += raceTime;
  label += " by ";
  label += playerName;
  label += ghostChoiceLabelEnd(fileName);
  return label;
}

std::string ghostChoiceLabelEnd(std::string_view fileName) {
  std::string end;
  end.reserve(fileName.size() + 2);
  end += '(';
  end += fileName;
  end += ')';
  return end;
}

std::string labelledFileName(std::string_view fileName) { return hiddenCodePointsShown(fileName); }
