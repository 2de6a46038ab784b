#include "ui/SettingsPageText.h"

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "library/GhostFileName.h"
#include "plugin/HostNames.h"
#include "ui/PageBytes.h"

namespace {

void line(std::string& page, std::string_view text) {
  page += text;
  page += pageLineEnd;
}

// The status as one line of one field: only a line or field end could split it, so only those go; the
// list's separators mean nothing outside the ghost list.
std::string statusLineText(std::string_view status) {
  std::string kept;
  for (char c : status) {
    if (isPageFieldByte(c)) kept += c;
  }
  return kept;
}

// A control's fields, joined by the page's field separator.
std::string fields(std::initializer_list<std::string_view> parts) {
  std::string joined;
  for (std::string_view part : parts) {
    if (!joined.empty()) joined += pageFieldSeparator;
    joined += part;
  }
  return joined;
}

}  // namespace

std::string ghostListLineStart() { return fields({"6|Load a ghost", names::cvar::ghostFilePath, ""}); }

std::string settingsPageText(const SettingsPageState& state) {
  namespace command = names::command;
  namespace cvar = names::cvar;
  std::string page;
  // The page is made in one piece: its room is taken once, for the controls and every entry.
  std::size_t listBytes = 0;
  for (const std::string& choice : state.ghostChoices) listBytes += choice.size() + 1;
  page.reserve(2048 + listBytes + state.status.size());
  line(page, std::string(names::pluginName));
  line(page, "9|A plugin by Velkor to record your runs and challenge other ghosts.");
  line(page, "9|Copy .ghost files in the ." + std::string(names::folder::host) + "/" +
                 std::string(names::folder::data) + "/" + std::string(names::ghostFolderName) +
                 "/ folder to add them.");
  line(page, fields({"5|Number of laps", cvar::lapCount, std::to_string(fewestLaps), std::to_string(mostLaps)}));
  line(page,
       "9|To record a run, make sure the timer isn't currently running (otherwise restart the map), click the "
       "Record a time button, and cross the line to begin your run.");
  line(page, "10|!" + std::string(cvar::isRecording));
  line(page, fields({"0|Record a run", command::record}));
  line(page, "11|");
  line(page, "7|");
  line(page, fields({"1|Auto record ghost", cvar::autoRecord}));
  line(page, "8|");
  line(page, fields({"12|Ghost Export Filename", cvar::exportFileName}));
  line(page, state.hasRecordedRun ? fields({"0|Export Ghost to file", command::exportGhost})
                                  : "9|You need to record a run to be able to export it.");
  line(page, fields({"12|Max seconds for auto-export", cvar::maxSeconds}));
  line(page, fields({"1|Auto export ghost when under max seconds", cvar::autoExport}));
  line(page, "8|");
  line(page, fields({"0|Refresh Ghost list", command::updateList}));
  line(page, "7|");
  line(page, fields({"0|Open Ghost Folder", command::openFolder}));

  if (state.ghostChoices.empty()) {
    line(page, "9|No ghost found for this map/number of laps.");
  } else {
    page += ghostListLineStart();
    page += pageListEntry(blankGhostChoice, blankGhostChoice);
    for (const std::string& choice : state.ghostChoices) {
      page += pageEntrySeparator;
      page += choice;
    }
    line(page, "");
    line(page, fields({"0|Preview the ghost", command::play}));
    line(page, "7|");
    line(page, fields({"0|Stop the ghost", command::stop}));
    line(page, "7|");
    line(page, fields({"0|Challenge the ghost", command::challenge}));
    if (state.mapHasGhostColor) line(page, fields({"13|Ghost Color", cvar::color}));
  }

  line(page, "8|");
  // Typed console values reach the status; on the page they must stay one line of one field.
  line(page, "9|" + statusLineText(state.status));
  return page;
}
