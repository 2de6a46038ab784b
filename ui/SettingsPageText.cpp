#include "ui/SettingsPageText.h"

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

#include "library/ghostfile/GhostFileName.h"
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

std::string ghostListLineStart() {
  return fields({pageControlField(PageControl::GhostList), "Load a ghost", names::cvar::ghostFilePath, ""});
}

std::string settingsPageText(const SettingsPageState& state) {
  namespace command = names::command;
  namespace cvar = names::cvar;
  const std::string button = pageControlField(PageControl::Button);
  const std::string checkBox = pageControlField(PageControl::CheckBox);
  const std::string textBox = pageControlField(PageControl::TextBox);
  const std::string text = pageControlStart(PageControl::Text);
  const std::string sameRow = pageControlStart(PageControl::SameRow);
  const std::string rule = pageControlStart(PageControl::Rule);
  std::string page;
  // The page is made in one piece: its room is taken once, for the controls and every entry.
  std::size_t listBytes = 0;
  for (const std::string& choice : state.ghostChoices) listBytes += choice.size() + 1;
  page.reserve(2048 + listBytes + state.status.size());
  line(page, std::string(names::pluginName));
  line(page, text + "A plugin by Velkor to record your runs and challenge other ghosts.");
  // The folder as the page has always shown it: the host's folder after a lone dot.
  line(page, text + "Copy " + std::string(ghostExtension) + " files in the " + names::ghostFolderText(".") +
                 " folder to add them.");
  line(page, fields({pageControlField(PageControl::Slider), "Number of laps", cvar::lapCount,
                     std::to_string(fewestLaps), std::to_string(mostLaps)}));
  line(page, text +
                 "To record a run, make sure the timer isn't currently running (otherwise restart the map), click the "
                 "Record a time button, and cross the line to begin your run.");
  line(page, pageControlStart(PageControl::GreyedOutWhen) + pageConditionNot + std::string(cvar::isRecording));
  line(page, fields({button, "Record a run", command::record}));
  line(page, pageControlStart(PageControl::GreyedOutEnd));
  line(page, sameRow);
  line(page, fields({checkBox, "Auto record ghost", cvar::autoRecord}));
  line(page, rule);
  line(page, fields({textBox, "Ghost Export Filename", cvar::exportFileName}));
  line(page, state.hasRecordedRun ? fields({button, "Export Ghost to file", command::exportGhost})
                                  : text + "You need to record a run to be able to export it.");
  line(page, fields({textBox, "Max seconds for auto-export", cvar::maxSeconds}));
  line(page, fields({checkBox, "Auto export ghost when under max seconds", cvar::autoExport}));
  line(page, rule);
  line(page, fields({button, "Refresh Ghost list", command::updateList}));
  line(page, sameRow);
  line(page, fields({button, "Open Ghost Folder", command::openFolder}));

  if (state.ghostChoices.empty()) {
    line(page, text + "No ghost found for this map/number of laps.");
  } else {
    page += ghostListLineStart();
    page += pageListEntry(blankGhostChoice, blankGhostChoice);
    for (const std::string& choice : state.ghostChoices) {
      page += pageEntrySeparator;
      page += choice;
    }
    line(page, "");
    line(page, fields({button, "Preview the ghost", command::play}));
    line(page, sameRow);
    line(page, fields({button, "Stop the ghost", command::stop}));
    line(page, sameRow);
    line(page, fields({button, "Challenge the ghost", command::challenge}));
    if (state.mapHasGhostColor) line(page, fields({pageControlField(PageControl::Color), "Ghost Color", cvar::color}));
  }

  line(page, rule);
  // Typed console values reach the status; on the page they must stay one line of one field.
  line(page, text + statusLineText(state.status));
  return page;
}
