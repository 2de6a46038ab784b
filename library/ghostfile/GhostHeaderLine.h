// The header line of a ghost file, made and read by one rule: map name, player name, run time in milliseconds,
// lap count written "<n>-Lap", version, cut at commas. Names are written with every comma (and line end) as
// a blank, so a written header always has its five fields in their places; a header of more fields has a
// comma inside one of them, could be read more than one way, and belongs on no list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "library/ghostfile/NumberReading.h"

// The fields' places in the line, in their written order.
enum class HeaderField : std::size_t { MapName, PlayerName, RunTime, LapCount, Version };
inline constexpr std::size_t headerFieldCount = static_cast<std::size_t>(HeaderField::Version) + 1;
// The fewest fields a header needs to be read for a page: those up to and with the lap count.
inline constexpr std::size_t lapFieldCount = static_cast<std::size_t>(HeaderField::LapCount) + 1;

// A field count as a word ("four", "five"), as the reports write the counts above; a count past ten as digits.
std::string fieldCountWord(std::size_t count);

// A map or player name as a header holds it: a comma, CR or LF becomes a blank.
std::string headerName(std::string_view name);

// The fields of a header line in their places; a missing field is empty. The run time and the lap count are
// read as integers are ("3-Lap" reads 3).
struct GhostHeaderFields {
  std::size_t fieldCount = 0;  // how many fields the line cuts into
  std::string mapName;
  std::string playerName;
  std::string runTimeField;
  IntReading runTime;
  std::string lapField;
  IntReading lapCount;
  std::string version;
};

GhostHeaderFields readGhostHeader(std::string_view headerLine);

// Whether a header belongs on the page of a map and lap count, or the first reason it does not, in the order
// they are tested.
enum class HeaderFit {
  Fits,
  TooFewFields,     // fewer than lapFieldCount fields: no lap count
  TooManyFields,    // more than headerFieldCount: a comma inside a field, which cannot be told
  OtherMap,         // the first field is not the map's name written as a header writes it
  LapCountNotRead,  // the lap count does not read as an integer: no number, or out of range
  OtherLapCount,    // it reads as another number of laps
  RunTimeNotRead,   // the run time does not read as an integer: no number, or out of range
  NegativeRunTime,  // a time below zero is no run's time
};

// mapName: the current map's name as the game gives it; it is compared as a header would hold it.
HeaderFit headerFit(const GhostHeaderFields& header, std::string_view mapName, std::int32_t lapCount);
