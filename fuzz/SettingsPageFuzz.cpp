// The settings page against hostile ghost files and messages: whatever bytes a ghost's first line, its file
// name, the map's name or the status message hold, the page keeps its shape. The page made from the fuzzed
// texts must have the lines, the fields per line, and on the ghost list's line the options and the option
// separators of the same page made from harmless texts; every listed value is the file's name as it is.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/FuzzCheck.h"
#include "ui/GhostChoice.h"
#include "ui/PageBytes.h"
#include "ui/SettingsPageText.h"

namespace {

// A page cut into lines at its line end, CR LF. Any other CR or LF is a line end the reader may also take: it fails.
std::vector<std::string_view> crLfLines(std::string_view page) {
  std::vector<std::string_view> lines;
  while (!page.empty()) {
    const std::size_t end = page.find(pageLineEnd);
    FUZZ_CHECK(end != std::string_view::npos, "the page does not end in CR LF");
    const std::string_view line = page.substr(0, end);
    FUZZ_CHECK(line.find_first_of("\r\n") == std::string_view::npos, "a line break inside line %zu", lines.size() + 1);
    lines.push_back(line);
    page.remove_prefix(end + pageLineEnd.size());
  }
  return lines;
}

std::size_t count(std::string_view text, char c) {
  std::size_t n = 0;
  for (char each : text) {
    if (each == c) ++n;
  }
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string mapName = input.ConsumeRandomLengthString(64);
  const auto lapCount = input.ConsumeIntegralInRange<std::int32_t>(-2, 8);
  SettingsPageState fuzzed;
  fuzzed.hasRecordedRun = input.ConsumeBool();
  fuzzed.mapHasGhostColor = input.ConsumeBool();
  fuzzed.status = input.ConsumeRandomLengthString(256);

  // Up to four ghost files. Their first lines begin with the map's name most of the time, so that the
  // fuzzed player names, times, lap fields and file names reach the list.
  std::vector<std::string> fileNames;
  std::vector<std::string> choices;
  const int files = input.ConsumeIntegralInRange(0, 4);
  for (int i = 0; i < files; ++i) {
    const bool sameMap = input.ConsumeIntegralInRange(0, 7) != 0;
    std::string header = sameMap ? mapName + "," : input.ConsumeRandomLengthString(64) + ",";
    header += input.ConsumeRandomLengthString(32) + ",";  // player
    header += input.ConsumeRandomLengthString(16) + ",";  // run time
    header += input.ConsumeBool() ? std::to_string(lapCount) + input.ConsumeRandomLengthString(16)
                                  : input.ConsumeRandomLengthString(16);
    header += input.ConsumeRandomLengthString(32);  // the version and whatever follows
    const std::string fileName = input.ConsumeRandomLengthString(64);
    if (auto choice = ghostChoice(header, fileName, mapName, lapCount)) {
      FUZZ_CHECK(isListableFileName(fileName), "an entry for a file name that cannot be a list value");
      choices.push_back(*choice);
      fileNames.push_back(fileName);
    }
  }

  fuzzed.ghostChoices = choices;
  const std::vector<std::string> harmlessChoices(choices.size(), "label@value");
  SettingsPageState harmless = fuzzed;
  harmless.status = "status";
  harmless.ghostChoices = harmlessChoices;

  const std::string page = settingsPageText(fuzzed);
  const std::string model = settingsPageText(harmless);
  const std::vector<std::string_view> lines = crLfLines(page);
  const std::vector<std::string_view> modelLines = crLfLines(model);
  FUZZ_CHECK(lines.size() == modelLines.size(), "%zu lines, the harmless page has %zu", lines.size(),
             modelLines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    FUZZ_CHECK(count(lines[i], pageFieldSeparator) == count(modelLines[i], pageFieldSeparator),
               "line %zu has %zu fields, not %zu", i + 1, count(lines[i], pageFieldSeparator) + 1,
               count(modelLines[i], pageFieldSeparator) + 1);
    // Options and their separators mean something on the ghost list's line only; the status may hold them.
    if (!modelLines[i].starts_with(pageControlStart(PageControl::GhostList))) continue;
    FUZZ_CHECK(count(lines[i], pageEntrySeparator) == count(modelLines[i], pageEntrySeparator),
               "line %zu has %zu options, not %zu", i + 1, count(lines[i], pageEntrySeparator),
               count(modelLines[i], pageEntrySeparator));
    FUZZ_CHECK(count(lines[i], pageLabelSeparator) == count(modelLines[i], pageLabelSeparator),
               "line %zu has %zu option separators, not %zu", i + 1, count(lines[i], pageLabelSeparator),
               count(modelLines[i], pageLabelSeparator));
  }

  // Each option's value names its file exactly, so picking it imports that file.
  for (std::size_t i = 0; i < fuzzed.ghostChoices.size(); ++i) {
    const std::string& choice = fuzzed.ghostChoices[i];
    FUZZ_CHECK(choice.substr(choice.find(pageLabelSeparator) + 1) == fileNames[i], "entry %zu names another file", i);
  }
  return 0;
}
