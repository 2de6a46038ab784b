#include "ui/SettingsPageText.h"

#include <string_view>

namespace {

void line(std::string& page, std::string_view text) {
  page += text;
  page += "\r\n";
}

// The status as one line of one field: only a line end or the field separator could split it, so only
// CR, LF and "|" go; "&" and "@" mean nothing outside the ghost list.
std::string statusLineText(std::string_view status) {
  std::string kept;
  for (char c : status) {
    if (c != '\r' && c != '\n' && c != '|') kept += c;
  }
  return kept;
}

}  // namespace

std::string settingsPageText(const SettingsPageState& state) {
  std::string page;
  line(page, "Lumaro");
  line(page, "9|A plugin by Velkor to record your runs and challenge other ghosts.");
  line(page, "9|Copy .ghost files in the .tessaro/data/Ghosts/ folder to add them.");
  line(page, "5|Number of laps|lm_lapNbr|1|6");
  line(page,
       "9|To record a run, make sure the timer isn't currently running (otherwise restart the map), click the "
       "Record a time button, and cross the line to begin your run.");
  line(page, "10|!lm_isrecording");
  line(page, "0|Record a run|lm_record");
  line(page, "11|");
  line(page, "7|");
  line(page, "1|Auto record ghost|lm_autorecord");
  line(page, "8|");
  line(page, "12|Ghost Export Filename|lm_export_filename");
  line(page, state.hasRecordedRun ? "0|Export Ghost to file|lm_export"
                                  : "9|You need to record a run to be able to export it.");
  line(page, "12|Max seconds for auto-export|lm_maxsecs");
  line(page, "1|Auto export ghost when under max seconds|lm_autoexport");
  line(page, "8|");
  line(page, "0|Refresh Ghost list|lm_update_list");
  line(page, "7|");
  line(page, "0|Open Ghost Folder|lm_open_folder");

  if (state.ghostChoices.empty()) {
    line(page, "9|No ghost found for this map/number of laps.");
  } else {
    std::string list = "6|Load a ghost|lm_ghostfilepath| @ ";
    for (const std::string& choice : state.ghostChoices) {
      list += '&';
      list += choice;
    }
    line(page, list);
    line(page, "0|Preview the ghost|lm_play");
    line(page, "7|");
    line(page, "0|Stop the ghost|lm_stop");
    line(page, "7|");
    line(page, "0|Challenge the ghost|lm_challenge");
    if (state.mapHasGhostColor) line(page, "13|Ghost Color|lm_color");
  }

  line(page, "8|");
  // Typed console values reach the status; on the page they must stay one line of one field.
  line(page, "9|" + statusLineText(state.status));
  return page;
}
