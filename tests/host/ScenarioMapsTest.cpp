// A scenario's map files are found and read with the scenario, their mistakes reported in line order; the
// map step names what a map lacks of the plugin's Kismet variables; the host's reports write floats in the
// fewest digits that read back the same.
#include <csignal>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "sim/Game.h"
#include "support/TempFolder.h"
#include "tools/host/KismetContract.h"
#include "tools/host/MapFile.h"
#include "tools/host/Reports.h"
#include "tools/host/ScenarioMaps.h"
#include "tools/host/Script.h"
#include "tools/host/StopSignals.h"

using namespace lumaro_host;

namespace {

void writeFile(const std::filesystem::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

TEST(ScenarioMaps, EveryMistakeInTheScenarioAndItsMapFilesIsReportedInLineOrderBeforeAnythingRuns) {
  TempFolder folder;
  writeFile(folder.path() / "broken.map", "map Broken\nvariable int LapNb\nwheels 4\n");
  Script script = parseScript(
      "map missing\n"   // 1: no such file anywhere
      "drive 3 lapz\n"  // 2: a bad step
      "map broken\n"    // 3: a map file with two mistakes
      "map speedway\n"  // 4: a bundled map, found and read now
      "fly\n",          // 5: a bad step
      "s.scenario");
  readScriptMaps(script, folder.path(), LUMARO_MAPS_FOLDER);
  const std::string broken = (folder.path() / "broken.map").string();
  ASSERT_EQ(script.errors.size(), 6u);
  EXPECT_EQ(script.errors[0].rfind("s.scenario:1: no map file missing (looked in " + folder.path().string(), 0), 0u)
      << script.errors[0];
  EXPECT_EQ(script.errors[1].rfind("s.scenario:2: drive needs laps", 0), 0u);
  EXPECT_EQ(script.errors[2], "s.scenario:3: the map file of \"map broken\" cannot be used:");
  EXPECT_EQ(script.errors[3], "  " + broken + ":2: expected: variable TYPE NAME VALUE");
  EXPECT_EQ(script.errors[4].rfind("  " + broken + ":3: unknown entry \"wheels\"", 0), 0u);
  EXPECT_EQ(script.errors[5].rfind("s.scenario:5: unknown step \"fly\"", 0), 0u);

  // The good map step carries its map, so the step itself reads nothing when it runs.
  const auto& speedway = std::get<LoadMap>(script.steps[2].action);
  ASSERT_NE(speedway.map, nullptr);
  EXPECT_EQ(speedway.map->definition.name, "Speedway");
  EXPECT_EQ(speedway.path.filename(), "speedway.map");
}

// Mended: a signal waited for a map file of hundreds of thousands of lines to be read whole.
TEST(ScenarioMaps, ASignalStopsTheReadingOfAMapFileAtItsNextLine) {
  requestStop(SIGTERM);
  EXPECT_THROW(parseMapFile("map A\n", "a.map"), RunStopped);
  requestStop(0);
  EXPECT_TRUE(parseMapFile("map A\n", "a.map").map);
}

TEST(ScenarioMaps, BundledMapsLieInShareBesideTheExecutablesFolderElseBesideIt) {
  TempFolder prefix;
  std::filesystem::create_directories(prefix.path() / "bin");
  EXPECT_EQ(bundledMapsFolder(prefix.path() / "bin"), prefix.path() / "bin" / "maps");
  std::filesystem::create_directories(prefix.path() / "share" / "lumaro" / "maps");
  EXPECT_EQ(bundledMapsFolder(prefix.path() / "bin"), prefix.path() / "share" / "lumaro" / "maps");
}

using Finding = std::pair<ContractWeight, std::string>;
constexpr ContractWeight problem = ContractWeight::Problem;
constexpr ContractWeight ignored = ContractWeight::Ignored;
constexpr ContractWeight absent = ContractWeight::Absent;

std::vector<Finding> findingsOf(const std::string& variables, const std::string& kismet = "yes") {
  const MapFileResult read = parseMapFile("map M\nkismet " + kismet + "\n" + variables, "m.map");
  EXPECT_TRUE(read.errors.empty()) << (read.errors.empty() ? "" : read.errors[0]);
  std::vector<Finding> findings;
  if (!read.map) return {{problem, "unreadable"}};
  for (const auto& finding : kismetContractFindings(read.map->definition))
    findings.emplace_back(finding.weight, finding.text);
  return findings;
}

// The complete contract with one variable's line replaced (an empty line takes it away).
std::string completeBut(const std::string& name, const std::string& line) {
  std::string text;
  for (const char* variable : {"int LapNb -1", "string MapName M", "vector GhostPosition 0 0 0",
                               "vector GhostRotation 0 0 0", "float GhostColor 0", "float GhostDelta 0"}) {
    const std::string own = std::string("variable ") + variable;
    text += (own.find(" " + name + " ") != std::string::npos ? line : own) + "\n";
  }
  return text;
}

TEST(ScenarioMaps, TheMapStepNamesEachContractVariableThatIsMissingOrOfAnotherType) {
  EXPECT_TRUE(findingsOf(completeBut("", "")).empty());

  EXPECT_EQ(
      findingsOf("variable float LapNb -1\nvariable vector MapName 0 0 0\nvariable bool GhostColor 1\n"
                 "variable int GhostDelta 0\n"),
      (std::vector<Finding>{
          {problem, "LapNb is a float, not an int: nothing can be recorded or challenged here"},
          {problem, "MapName is a vector, not a string: a run cannot be exported (\"No MapName SeqVar found.\")"},
          {problem, "GhostPosition (vector) is missing: the ghost car cannot be moved"},
          {problem, "GhostRotation (vector) is missing: the ghost car cannot be moved"},
          {ignored, "GhostColor is a bool, not a float: Lumaro ignores it, so the ghost keeps the map's own colour"},
          {ignored,
           "GhostDelta is an int, not a float: Lumaro ignores it, so the map has no difference to the "
           "ghost to show"},
      }));
  // Names are matched exactly: a near miss is named, whatever its letter case; an optional one is ignored.
  EXPECT_EQ(findingsOf(completeBut("MapName", "variable string Mapname M")),
            (std::vector<Finding>{{problem,
                                   "MapName (string) is missing: a run cannot be exported (\"No MapName "
                                   "SeqVar found.\"); names are matched exactly, case included, and the map "
                                   "has Mapname (string)"}}));
  EXPECT_EQ(findingsOf(completeBut("GhostDelta", "variable float Ghostdelta 0")),
            (std::vector<Finding>{{ignored,
                                   "GhostDelta (float) is missing: the map has no difference to the ghost to "
                                   "show; names are matched exactly, case included, and Lumaro ignores the "
                                   "map's Ghostdelta (float)"}}));
  EXPECT_EQ(findingsOf(completeBut("GhostDelta", "variable int GhostDelay 0")),
            (std::vector<Finding>{{ignored,
                                   "GhostDelta (float) is missing: the map has no difference to the ghost to "
                                   "show; names are matched exactly, case included, and Lumaro ignores the "
                                   "map's GhostDelay (int)"}}));
  EXPECT_EQ(findingsOf(completeBut("GhostColor", "variable float GhostColour 0")),
            (std::vector<Finding>{{ignored,
                                   "GhostColor (float) is missing: the ghost keeps the map's own colour; "
                                   "names are matched exactly, case included, and Lumaro ignores the map's "
                                   "GhostColour (float)"}}));
  // An optional variable the map simply goes without is named, and is no fault.
  EXPECT_EQ(findingsOf(completeBut("GhostColor", "")),
            (std::vector<Finding>{{absent,
                                   "GhostColor (float) is missing: the ghost keeps the map's own colour "
                                   "(optional)"}}));
  EXPECT_EQ(findingsOf("", "no"),
            (std::vector<Finding>{{problem, "no main Kismet sequence: the plugin finds none of its variables here"}}));
}

// Mended: a map whose lap counter does not start at -1, or whose name is empty or too long for a ghost's
// header, passed the check.
TEST(ScenarioMaps, ALapCounterThatDoesNotStartAtNoRaceAndAnEmptyOrOverlongMapNameAreProblems) {
  const std::string lapText =
      " not -1: until the map's script sets it to -1 (at a ball reset or a respawn), every "
      "record and challenge says \"Reset the lap counter (Reset Ball or restart the map).\" "
      "and automatic recording arms nothing; restarting the map starts it at ";
  EXPECT_EQ(findingsOf(completeBut("LapNb", "variable int LapNb 0")),
            (std::vector<Finding>{{problem, "LapNb starts at 0," + lapText + "0 again"}}));
  EXPECT_EQ(findingsOf(completeBut("LapNb", "variable int LapNb -2")),
            (std::vector<Finding>{{problem, "LapNb starts at -2," + lapText + "-2 again"}}));
  EXPECT_EQ(findingsOf(completeBut("MapName", "variable string MapName \"\"")),
            (std::vector<Finding>{{problem,
                                   "MapName is empty: a run cannot be exported (\"No MapName SeqVar "
                                   "found.\") and the ghost list offers none of the map's ghosts"}}));
  EXPECT_TRUE(findingsOf(completeBut("MapName", "variable string MapName \" \"")).empty());
  // The shortest header a run can have, ",,0,1-Lap,1.1" after the name, fits the 4096 bytes the page reads
  // with a 4083-byte name and not with one byte more.
  EXPECT_TRUE(findingsOf(completeBut("MapName", "variable string MapName " + std::string(4083, 'n'))).empty());
  EXPECT_EQ(findingsOf(completeBut("MapName", "variable string MapName " + std::string(4084, 'n'))),
            (std::vector<Finding>{{problem,
                                   "MapName is 4084 bytes long: every ghost exported here has a header line "
                                   "longer than the 4096 bytes the settings page reads, so the run is written "
                                   "but never listed on the page, and cannot be picked to race"}}));
}

TEST(Reports, FloatsAreWrittenInTheFewestDigitsThatReadBackTheSameInTheLookOfG) {
  EXPECT_EQ(floatText(10.999f), "10.999");
  EXPECT_EQ(floatText(0.1f), "0.1");
  EXPECT_EQ(floatText(-2.5f), "-2.5");
  EXPECT_EQ(floatText(0.0f), "0");
  EXPECT_EQ(floatText(40000.0f), "40000");
  EXPECT_EQ(floatText(100000.0f), "100000");  // six digits before an exponent, as %g
  EXPECT_EQ(floatText(1e6f), "1e+06");
  EXPECT_EQ(floatText(16777216.0f), "16777216");
  EXPECT_EQ(floatText(1.00000012f), "1.0000001");  // eight digits where fewer do not read back
  EXPECT_EQ(floatText(1234.5677f), "1234.5677");
  EXPECT_EQ(floatText(3.0e-5f), "3e-05");
}

}  // namespace
