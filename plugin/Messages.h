// Status texts shared by several subsystems. Each is shown to the player exactly as written here.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace messages {

inline constexpr std::string_view notInWorkshop = "Make sure you're in a workshop map.";
inline constexpr std::string_view noKismet =
    "No Kismet found for this map, are you in a workshop map that supports Lumaro?";
inline constexpr std::string_view noLapCounter = "Didn't find any correct SeqVar. Is this map compatible with Lumaro?";
inline constexpr std::string_view alreadyRecording = "Already recording a run, restart the map.";
inline constexpr std::string_view resetLapCounter = "Reset the lap counter (Reset Ball or restart the map).";
inline constexpr std::string_view noGhostLoaded = "No Ghost loaded.";
inline constexpr std::string_view noPlayerFound = "No Player Found.";
// An export, an import and a stopped playback: "Exported to PATH.", "Imported SELECTION.", "No Ghost found
// SELECTION.", "Stopped ghost.". lumaro-host's chaos runs and its scenario picture read exports and imports
// from the console by these.
inline constexpr std::string_view exportedTo = "Exported to ";
inline constexpr std::string_view imported = "Imported ";
inline constexpr std::string_view noGhostFound = "No Ghost found ";
inline constexpr std::string_view stoppedGhost = "Stopped ghost.";

// A message that names what it is about after its opening words and ends in a full stop ("Exported to PATH.",
// "Race ended in 01:23:456."): made by naming and read back by namedIn, by the plugin and its readers alike.
inline std::string naming(std::string_view opening, std::string_view subject) {
  std::string text(opening);
  text += subject;
  text += '.';
  return text;
}
// What a line made by naming(opening, ...) names; nothing for a line of other opening words or ending, or one
// that names nothing.
inline std::optional<std::string_view> namedIn(std::string_view line, std::string_view opening) {
  if (line.size() <= opening.size() + 1 || !line.starts_with(opening) || !line.ends_with('.')) return std::nullopt;
  return line.substr(opening.size(), line.size() - opening.size() - 1);
}
// The export's refusal on a map without a string variable MapName; lumaro-host's map check quotes it.
inline constexpr std::string_view noMapName = "No MapName SeqVar found.";

// A run armed, started and finished (race/RunLife.h decides which is told; race/RaceFinish.cpp names the race
// time after "Race ended in ").
inline constexpr std::string_view recordingArmed = "Recording starts and ends when you cross the finish line.";
inline constexpr std::string_view challengeArmed = "Challenging starts and ends when you cross the finish line.";
inline constexpr std::string_view raceStarted = "Race started.";
inline constexpr std::string_view challengeStarted = "Race started against a ghost.";
inline constexpr std::string_view raceEndedIn = "Race ended in ";
inline constexpr std::string_view raceEndedWithoutRun = "Race ended with no recorded run.";

// A callback the guard stopped: "ENTRY stopped on an error: REASON".
inline constexpr std::string_view stoppedOnError = " stopped on an error: ";

// A run armed or under way that ends without its finish, told once, by what ended it. Leaving the workshop
// map is told with notInWorkshop.
inline constexpr std::string_view runLostItsCar = "No Player Found. The run was not recorded.";
inline constexpr std::string_view runEndedByMapLoad = "A map was loaded. The run was not recorded.";
inline constexpr std::string_view runSwitchedOff = "Recording was switched off. The run was not recorded.";
inline constexpr std::string_view runEndedBySpawn = "The car respawned. The run was not recorded.";
inline constexpr std::string_view runStoppedOnError = "Recording stopped on an error. The run was not recorded.";
inline constexpr std::array<std::string_view, 5> runNotRecorded = {runLostItsCar, runEndedByMapLoad, runSwitchedOff,
                                                                   runEndedBySpawn, runStoppedOnError};

}  // namespace messages
