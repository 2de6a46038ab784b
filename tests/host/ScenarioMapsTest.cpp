// A scenario's map files are found and read with the scenario, their mistakes reported in line order; the
// map step names what a map lacks of the plugin's Kismet variables; the host's reports write floats in the
// fewest digits that read back the same.
#include <csignal>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "sim/Game.h"
#include "support/TempFolder.h"
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

std::vector<std::string> problemsOf(const std::string& variables, const std::string& kismet = "yes") {
  const MapFileResult read = parseMapFile("map M\nkismet " + kismet + "\n" + variables, "m.map");
  EXPECT_TRUE(read.errors.empty()) << (read.errors.empty() ? "" : read.errors[0]);
  return read.map ? kismetContractProblems(read.map->definition) : std::vector<std::string>{"unreadable"};
}

TEST(ScenarioMaps, TheMapStepNamesEachContractVariableThatIsMissingOrOfAnotherType) {
  const std::string complete =
      "variable int LapNb -1\nvariable string MapName M\nvariable vector GhostPosition 0 0 0\n"
      "variable vector GhostRotation 0 0 0\nvariable float GhostColor 0\nvariable float GhostDelta 0\n";
  EXPECT_TRUE(problemsOf(complete).empty());

  EXPECT_EQ(problemsOf("variable float LapNb -1\nvariable vector MapName 0 0 0\nvariable bool GhostColor 1\n"
                       "variable int GhostDelta 0\n"),
            (std::vector<std::string>{
                "LapNb is a float, not an int: nothing can be recorded or challenged here",
                "MapName is a vector, not a string: a run cannot be exported (\"No MapName SeqVar found.\")",
                "GhostPosition (vector) is missing: the ghost car cannot be moved",
                "GhostRotation (vector) is missing: the ghost car cannot be moved",
                "GhostColor is a bool, not a float: the ghost keeps the map's own colour (optional)",
                "GhostDelta is an int, not a float: the map has no difference to the ghost to show (optional)",
            }));
  // Names are matched exactly: a near miss is named, whatever its letter case.
  EXPECT_EQ(problemsOf(complete.substr(0, complete.find("variable string")) + "variable string Mapname M\n" +
                       complete.substr(complete.find("variable vector GhostPosition"))),
            (std::vector<std::string>{"MapName (string) is missing: a run cannot be exported (\"No MapName SeqVar "
                                      "found.\"); names are matched exactly, case included, and the map has Mapname "
                                      "(string)"}));
  EXPECT_EQ(
      problemsOf(complete.substr(0, complete.find("variable float GhostDelta")) + "variable float Ghostdelta 0\n"),
      (std::vector<std::string>{"GhostDelta (float) is missing: the map has no difference to the ghost to show "
                                "(optional); names are matched exactly, case included, and the map has "
                                "Ghostdelta (float)"}));
  EXPECT_EQ(problemsOf(complete.substr(0, complete.find("variable float")) + "variable float GhostColour 0\n")[0],
            "GhostColor (float) is missing: the ghost keeps the map's own colour (optional); names are matched "
            "exactly, case included, and the map has GhostColour (float)");
  EXPECT_EQ(problemsOf("", "no"),
            (std::vector<std::string>{"no main Kismet sequence: the plugin finds none of its variables here"}));
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
