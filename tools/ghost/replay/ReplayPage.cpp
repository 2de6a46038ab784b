#include "tools/ghost/replay/ReplayPage.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "library/ghostfile/GhostFrame.h"
#include "library/ghostfile/ImportMessages.h"
#include "library/ghostfile/NumberReading.h"
#include "race/RaceTime.h"
#include "tools/ghost/analysis/GhostFileContent.h"
#include "tools/ghost/analysis/GhostHeaderFields.h"
#include "tools/ghost/analysis/LoadedGhost.h"
#include "tools/ghost/picture/PictureStyle.h"
#include "tools/ghost/replay/PointCode.h"
#include "tools/ghost/replay/ReplayAssets.h"
#include "tools/ghost/replay/Sha256.h"
#include "tools/ghost/report/InfoReport.h"
#include "tools/ghost/text/NumberText.h"
#include "tools/ghost/text/TextEscapes.h"
#include "track/RaceLine.h"

namespace lumaro_ghost {

namespace {

std::string numbers(const std::vector<double>& values, int decimals) {
  std::string text = "[";
  for (std::size_t i = 0; i < values.size(); ++i) text += (i == 0 ? "" : ",") + jsonNumber(values[i], decimals);
  return text + "]";
}

// One list per run of a value the trace holds per sample.
template <typename Value>
std::string perRun(const ReplayData& data, Value value, int decimals) {
  std::string text = "[";
  for (std::size_t run = 0; run < data.runs.size(); ++run) {
    std::vector<double> values;
    for (const TraceSample& sample : data.trace) values.push_back(value(sample, run));
    text += (run == 0 ? "" : ",") + numbers(values, decimals);
  }
  return text + "]";
}

// Header numbers as `info` writes them: a run time as race text, a lap count as its number; a field that
// does not read as one is quoted as it stands.
std::string headerNumber(const IntReading& reading, const std::string& field, bool raceTime) {
  if (reading.error != NumberError::None) return "\"" + field + "\" (" + std::string(numberFault(reading.error)) + ")";
  return raceTime ? formatRaceTime(reading.value) : std::to_string(reading.value);
}

std::string title(const ReplayData& data) {
  std::string text = "Lumaro replay";
  std::vector<std::string> maps;
  for (const LoadedGhost* ghost : data.runs) {
    const std::string& map = ghost->header.mapName;
    if (!map.empty() && std::find(maps.begin(), maps.end(), map) == maps.end()) maps.push_back(map);
  }
  for (std::size_t i = 0; i < maps.size(); ++i) text += (i == 0 ? ": " : ", ") + maps[i];
  return text;
}

// What the page needs before it has read a run's points: the box they lie in and the latest time among them.
std::string extentJson(const LoadedGhost& ghost) {
  const auto& frames = ghost.content.frames;
  double box[4] = {frames.front().x, frames.front().y, frames.front().x, frames.front().y};
  std::int32_t latest = frames.front().time;
  for (const GhostFrame& frame : frames) {
    box[0] = std::min(box[0], static_cast<double>(frame.x));
    box[1] = std::min(box[1], static_cast<double>(frame.y));
    box[2] = std::max(box[2], static_cast<double>(frame.x));
    box[3] = std::max(box[3], static_cast<double>(frame.y));
    latest = std::max(latest, frame.time);
  }
  return "{\"box\":" + numbers({box, box + 4}, 1) + ",\"latest\":" + jsonNumber(raceSecondsAt(frames, latest), 3) + "}";
}

std::string runsJson(const ReplayData& data) {
  std::string text = "[";
  for (std::size_t i = 0; i < data.runs.size(); ++i) {
    const LoadedGhost& ghost = *data.runs[i];
    const GhostHeaderFields& header = ghost.header;
    const char letter = i < data.letters.size() ? data.letters[i] : static_cast<char>('A' + i % 26);
    const std::string name = i < data.names.size() ? data.names[i] : std::string(1, letter);
    text += std::string(i == 0 ? "" : ",") + "\n{\"letter\":\"" + letter + "\",\"name\":" + pageTextJson(name) +
            ",\"file\":" + pageTextJson(ghost.fileName) + ",\"map\":" + pageTextJson(header.mapName) +
            ",\"player\":" + pageTextJson(header.playerName) +
            ",\"runTime\":" + pageTextJson(headerNumber(header.runTime, header.runTimeField, true)) +
            ",\"laps\":" + pageTextJson(headerNumber(header.lapCount, header.lapField, false)) +
            ",\"frames\":" + std::to_string(ghost.content.frames.size()) +
            ",\"lapLinesFound\":" + (data.lapLinesFound[i] ? "true" : "false") +
            ",\"start\":" + jsonNumber(data.startSeconds[i], secondsDecimals) + ",\"extent\":" + extentJson(ghost) +
            ",\"points\":\"" + encodePoints(ghost.content.frames) + "\"}";
  }
  return text + "]";
}

std::string rowsJson(const ReplayData& data) {
  std::string text = "\"laps\":[";
  for (std::size_t i = 0; i < data.laps.size(); ++i) {
    const LapRow& row = data.laps[i];
    text += std::string(i == 0 ? "" : ",") + "{\"lap\":" + std::to_string(row.lap) +
            ",\"label\":" + pageTextJson(row.label) + ",\"start\":" + jsonNumber(row.startDistance, 2) +
            ",\"end\":" + jsonNumber(row.endDistance, 2) + ",\"seconds\":" + numbers(row.seconds, secondsDecimals) +
            "}";
  }
  text += "],\n\"sectors\":[";
  for (std::size_t i = 0; i < data.sectors.size(); ++i) {
    const SectorRow& row = data.sectors[i];
    text += std::string(i == 0 ? "" : ",\n") + "{\"lap\":" + std::to_string(row.lap) +
            ",\"from\":" + jsonNumber(row.from, 3) + ",\"to\":" + jsonNumber(row.to, 3) +
            ",\"start\":" + jsonNumber(row.startDistance, 2) + ",\"end\":" + jsonNumber(row.endDistance, 2) +
            ",\"seconds\":" + numbers(row.seconds, secondsDecimals) +
            ",\"delta\":" + numbers(row.delta, secondsDecimals) + "}";
  }
  return text + "]";
}

// The theoretical best lap, null without one.
std::string bestJson(const ReplayData& data) {
  if (!data.theoreticalBest) return "null";
  return "{\"lap\":" + jsonNumber(*data.theoreticalBest) +
         ",\"sectors\":" + numbers(data.bestSectorSeconds, secondsDecimals) + "}";
}

// Colours as a JSON array.
template <std::size_t count>
std::string coloursJson(const std::array<const char*, count>& colours) {
  std::string text = "[";
  for (std::size_t i = 0; i < colours.size(); ++i) text += std::string(i == 0 ? "\"" : ",\"") + colours[i] + "\"";
  return text + "]";
}

std::string dataJson(const ReplayData& data) {
  std::vector<double> distance;
  std::vector<double> secondsA;
  for (const TraceSample& sample : data.trace) {
    distance.push_back(sample.distance);
    secondsA.push_back(sample.secondsA);
  }
  std::string notes = "[";
  for (std::size_t i = 0; i < data.notes.size(); ++i) notes += (i == 0 ? "" : ",") + pageTextJson(data.notes[i]);
  return "{\"title\":" + pageTextJson(title(data)) + ",\n" + replayUnitsJson() + ",\n\"notes\":" + notes +
         "],\n\"runs\":" + runsJson(data) + ",\n\"sectorsPerLap\":" + std::to_string(data.sectorsPerLap) +
         ",\n\"trace\":{\"distance\":" + numbers(distance, 2) +
         ",\n\"secondsA\":" + numbers(secondsA, secondsDecimals) + ",\n\"delta\":" +
         perRun(
             data, [](const TraceSample& sample, std::size_t run) { return sample.delta[run]; }, secondsDecimals) +
         ",\n\"speed\":" +
         perRun(
             data, [](const TraceSample& sample, std::size_t run) { return sample.speed[run]; }, 1) +
         "},\n" + rowsJson(data) + ",\n\"best\":" + bestJson(data) + ",\n\"pace\":" + replayPaceJson() +
         ",\n\"runColours\":" + replayRunColoursJson() + "}";
}

}  // namespace

std::string pageTextJson(std::string_view text) { return scriptJsonString(terminalText(text)); }

std::string replayUnitsJson() {
  // The clock's layout is the race time text's, from its one formatter: the text of no time, and the
  // milliseconds each of its groups counts. Differences under levelSeconds read as level, as compare's, and
  // are written as signedSeconds writes them, from its parts. The runs' points come in PointCode's units.
  std::vector<double> groups(raceTimeGroupMilliseconds.begin(), raceTimeGroupMilliseconds.end());
  return "\"clock\":" + pageTextJson(formatRaceTime(0)) + ",\n\"clockGroups\":" + numbers(groups, 0) +
         ",\n\"level\":" + jsonNumber(levelSeconds) + ",\n\"levelText\":" + pageTextJson(signedSeconds(0.0)) +
         ",\n\"signedDecimals\":" + std::to_string(signedSecondsDecimals) + ",\n\"plus\":" + pageTextJson(plusSign) +
         ",\n\"secondsUnit\":" + pageTextJson(secondsUnit) +
         ",\n\"pointTimesPerSecond\":" + std::to_string(pointTimesPerSecond) +
         ",\n\"pointPlacesPerUnit\":" + std::to_string(pointPlacesPerUnit);
}

// The picture's palette of pace against A and its steps, so that the page's map is coloured as plot's.
std::string replayPaceJson() {
  return "{\"colours\":" + coloursJson(paceColours) +
         ",\"limits\":" + numbers({paceLimits.begin(), paceLimits.end()}, 3) + "}";
}

// The runs' own colours, apart from the pace palette's.
std::string replayRunColoursJson() { return coloursJson(runColours); }

std::string hashSource(std::string_view text) {
  const auto digest = sha256(text);
  return "'sha256-" + base64(digest.data(), digest.size()) + "'";
}

std::string selfContainedHead(std::string_view title, std::initializer_list<std::string_view> scripts,
                              std::initializer_list<std::string_view> styles) {
  const auto sources = [](std::initializer_list<std::string_view> texts) {
    std::string list;
    for (const std::string_view text : texts) list += (list.empty() ? "" : " ") + hashSource(text);
    return list;
  };
  std::string head = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
  head += "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; script-src " + sources(scripts) +
          "; style-src " + sources(styles) + "; base-uri 'none'; form-action 'none'\">\n";
  head += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
  head += "<title>" + xmlText(terminalText(title)) + "</title>\n";
  for (const std::string_view style : styles) head += "<style>" + std::string(style) + "</style>\n";
  return head + "</head>\n<body>\n";
}

std::string replayPage(const ReplayData& data) {
  std::string page = selfContainedHead(title(data), {replayScript}, {replayStyle});
  page += replayMarkup;
  // A data block: the browser never runs it, the page's script reads it as text.
  page += "<script type=\"application/json\" id=\"replay-data\">" + dataJson(data) + "</script>\n";
  page += "<script>" + std::string(replayScript) + "</script>\n</body>\n</html>\n";
  return page;
}

}  // namespace lumaro_ghost
