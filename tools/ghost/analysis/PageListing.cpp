#include "tools/ghost/analysis/PageListing.h"

#include <optional>

#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostHeaderLine.h"
#include "library/ghostfile/ImportMessages.h"
#include "library/ghostfile/NumberReading.h"
#include "plugin/HostNames.h"
#include "tools/ghost/analysis/GhostHeaderFields.h"
#include "tools/ghost/text/NumberText.h"
#include "ui/GhostChoice.h"
#include "ui/PageBytes.h"

namespace lumaro_ghost {

namespace {

std::string lapsText(std::int32_t laps) { return std::to_string(laps) + (laps == 1 ? " lap" : " laps"); }

// Why ghostChoice turned the file down: the first of the page's tests that it fails.
std::string refusal(std::string_view headerLine, std::string_view fileName, std::string_view mapName,
                    std::int32_t lapCount) {
  if (!isListableFileName(fileName)) return std::string(unlistableFileName);
  const GhostHeaderFields header = readHeaderFields(headerLine);
  switch (headerFit(header, mapName, lapCount)) {
    case HeaderFit::TooFewFields:
      return "its first line has " + countText(header.fieldCount, "field", "fields") + "; the page needs at least " +
             fieldCountWord(lapFieldCount);
    case HeaderFit::TooManyFields:
      return "its first line has " + countText(header.fieldCount, "field", "fields") +
             ": a comma stands inside one of them, and the page does not guess which";
    case HeaderFit::OtherMap:
      return "it is for the map \"" + header.mapName + "\", not \"" + headerName(mapName) + "\"";
    case HeaderFit::LapCountNotRead:
      return "its lap count \"" + header.lapField + "\" " + numberProblem(header.lapCount.error);
    case HeaderFit::OtherLapCount:
      return "it is a run of " + lapsText(header.lapCount.value) + ", not " + std::to_string(lapCount);
    case HeaderFit::RunTimeNotRead:
      return "its run time \"" + header.runTimeField + "\" " + numberProblem(header.runTime.error);
    case HeaderFit::NegativeRunTime:
      return "its run time " + std::to_string(header.runTime.value) + " ms is below zero";
    case HeaderFit::Fits: break;
  }
  return "the page's rule turns it down";
}

}  // namespace

PageListing pageListing(const GhostFileContent& content, std::string_view fileName, std::string_view mapName,
                        std::int32_t lapCount) {
  PageListing listing;
  const std::optional<std::string>& headerLine = content.pageHeaderLine;
  if (!headerLine) {
    listing.reason = content.headerLine ? "its first line is " + longHeaderReason()
                                        : "the file is empty: the page reads no first line";
    return listing;
  }
  const std::optional<std::string> choice = ghostChoice(*headerLine, fileName, mapName, lapCount);
  if (!choice) {
    listing.reason = refusal(*headerLine, fileName, mapName, lapCount);
    return listing;
  }
  if (!raceLapCountAllowed(lapCount)) {
    listing.reason = "only a page set to " + lapsText(lapCount) + " would list it, and the Number of laps goes from " +
                     lapLimitsText();
    return listing;
  }
  listing.listed = true;
  listing.entry = pageEntryLabel(*choice);
  return listing;
}

}  // namespace lumaro_ghost
