#include "tools/ghost/PageListing.h"

#include "tools/ghost/GhostHeaderFields.h"
#include "tools/ghost/NumberText.h"
#include "ui/GhostChoice.h"

namespace lumaro_ghost {

namespace {

std::string lapsText(std::int32_t laps) { return std::to_string(laps) + (laps == 1 ? " lap" : " laps"); }

// Why ghostChoice turned the file down, in the order it tests.
std::string refusal(std::string_view headerLine, std::string_view fileName, std::string_view mapName,
                    std::int32_t lapCount) {
  if (!isListableFileName(fileName)) return std::string(unlistableFileName);
  const GhostHeaderFields header = readHeaderFields(headerLine);
  if (header.fieldCount < 4) {
    return "its first line has " + countText(header.fieldCount, "field", "fields") + "; the page needs at least four";
  }
  if (header.mapName != mapName) {
    return "it is for the map \"" + header.mapName + "\", not \"" + std::string(mapName) + "\"";
  }
  if (header.lapCount.error != NumberError::None) return "its lap count \"" + header.lapField + "\" is not a number";
  if (header.lapCount.value != lapCount) {
    return "it is a run of " + lapsText(header.lapCount.value) + ", not " + std::to_string(lapCount);
  }
  if (header.runTime.error != NumberError::None) return "its run time \"" + header.runTimeField + "\" is not a number";
  return "the page's rule turns it down";
}

}  // namespace

PageListing pageListing(const GhostFileContent& content, std::string_view fileName, std::string_view mapName,
                        std::int32_t lapCount) {
  PageListing listing;
  const std::optional<std::string>& headerLine = content.pageHeaderLine;
  if (!headerLine) {
    listing.reason = content.headerLine ? "its first line does not end within the first " +
                                              std::to_string(headerLineLimit) + " bytes, all the page reads"
                                        : "the file is empty: the page reads no first line";
    return listing;
  }
  const std::optional<std::string> choice = ghostChoice(*headerLine, fileName, mapName, lapCount);
  if (!choice) {
    listing.reason = refusal(*headerLine, fileName, mapName, lapCount);
    return listing;
  }
  if (lapCount < fewestLaps || lapCount > mostLaps) {
    listing.reason = "only a page set to " + lapsText(lapCount) + " would list it, and the Number of laps goes from " +
                     std::to_string(fewestLaps) + " to " + std::to_string(mostLaps);
    return listing;
  }
  listing.listed = true;
  listing.entry = choice->substr(0, choice->rfind('@'));
  return listing;
}

}  // namespace lumaro_ghost
