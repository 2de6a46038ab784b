#include "library/ghostfile/GhostHeaderLine.h"

#include <array>
#include <string_view>
#include <vector>

#include "library/ghostfile/SplitString.h"

std::string headerName(std::string_view name) {
  std::string written(name);
  for (char& c : written) {
    if (c == ',' || c == '\r' || c == '\n') c = ' ';
  }
  return written;
}

std::string fieldCountWord(std::size_t count) {
  static constexpr std::array<std::string_view, 11> words = {"zero", "one",   "two",   "three", "four", "five",
                                                             "six",  "seven", "eight", "nine",  "ten"};
  return count < words.size() ? std::string(words[count]) : std::to_string(count);
}

GhostHeaderFields readGhostHeader(std::string_view headerLine) {
  const std::vector<std::string> fields = splitString(headerLine, ",");
  const auto field = [&fields](HeaderField place) {
    const auto index = static_cast<std::size_t>(place);
    return index < fields.size() ? fields[index] : std::string();
  };
  GhostHeaderFields header;
  header.fieldCount = fields.size();
  header.mapName = field(HeaderField::MapName);
  header.playerName = field(HeaderField::PlayerName);
  header.runTimeField = field(HeaderField::RunTime);
  header.runTime = readInt(header.runTimeField);
  header.lapField = field(HeaderField::LapCount);
  header.lapCount = readInt(header.lapField);
  header.version = field(HeaderField::Version);
  return header;
}

HeaderFit headerFit(const GhostHeaderFields& header, std::string_view mapName, std::int32_t lapCount) {
  if (header.fieldCount < lapFieldCount) return HeaderFit::TooFewFields;
  if (header.fieldCount > headerFieldCount) return HeaderFit::TooManyFields;
  if (header.mapName != headerName(mapName)) return HeaderFit::OtherMap;
  if (header.lapCount.error != NumberError::None) return HeaderFit::LapCountNotRead;
  if (header.lapCount.value != lapCount) return HeaderFit::OtherLapCount;
  if (header.runTime.error != NumberError::None) return HeaderFit::RunTimeNotRead;
  if (header.runTime.value < 0) return HeaderFit::NegativeRunTime;
  return HeaderFit::Fits;
}
