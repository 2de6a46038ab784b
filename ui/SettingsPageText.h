// The text of the plugin's settings page: its controls, the ghost list for the current map and lap count,
// and the latest status on the last line. Every line ends in CR LF on every platform.
#pragma once

#include <span>
#include <string>

struct SettingsPageState {
  bool hasRecordedRun = false;                // the export button replaces its explanation
  std::span<const std::string> ghostChoices;  // list entries, "label@value" each, in list order (not owned)
  bool mapHasGhostColor = false;              // with at least one entry, the colour control is offered
  std::string status;                         // the latest status (lm_log), shown without CR, LF and "|"
};

std::string settingsPageText(const SettingsPageState& state);

// The ghost list's line up to its entries, "6|Load a ghost|lm_ghostfilepath|": how a host finds the list.
std::string ghostListLineStart();
