// Steps carried out on the stand-in host with the built plugin library loaded through its exports: what
// each step does to the game and when time passes, and how expectations look and report.
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "host/Values.h"
#include "sim/Console.h"
#include "sim/Driver.h"
#include "sim/Game.h"
#include "sim/KismetMap.h"
#include "support/NamesWord.h"
#include "support/TempFolder.h"
#include "tools/host/Options.h"
#include "tools/host/Reports.h"
#include "tools/host/Runner.h"
#include "tools/host/ScenarioTick.h"
#include "tools/host/Script.h"
#include "tools/host/Session.h"
#include "tools/host/TextMatcher.h"

using namespace lumaro_host;

namespace {

class SessionTest : public ::testing::Test {
protected:
  SessionTest() {
    SessionSettings settings;
    settings.root = root.path();
    settings.plugin = LUMARO_PLUGIN_PATH;
    settings.mapsFolder = LUMARO_MAPS_FOLDER;
    session = std::make_unique<Session>(settings, transcript);
  }

  StepOutcome run(std::string_view line) {
    ParsedLine parsed = parseStep(line, ++lineNumber);
    EXPECT_EQ(parsed.error, "") << line;
    if (!parsed.step) return {false, "no step"};
    return session->run(*parsed.step, root.path());
  }
  void runAll(std::initializer_list<const char*> lines) {
    for (const char* line : lines) {
      const StepOutcome outcome = run(line);
      ASSERT_TRUE(outcome.ok) << line << ": " << outcome.seen;
    }
  }
  double seconds() const { return static_cast<double>(session->elapsed()) / 1e7; }
  int lap() { return session->game().variable("LapNb", sim::VariableType::Int)->intValue; }

  TempFolder root;
  std::ostringstream transcript;
  std::unique_ptr<Session> session;
  int lineNumber = 0;
};

TEST_F(SessionTest, TimePassesOnlyInDriveAndWait) {
  runAll({"map speedway", "console lm_lapNbr 3", "reset-ball", "respawn", "pause", "unpause", "show kismet",
          "expect kismet LapNb -1"});
  EXPECT_EQ(seconds(), 0.0);
  runAll({"wait 0.5"});
  EXPECT_EQ(seconds(), 0.5);
  runAll({"wait 3 ticks"});
  EXPECT_DOUBLE_EQ(seconds(), 0.524);
  // A drive of laps ends half a second after the last crossing: from the spawn, 800 units to the line at
  // 2000 units/s, then one 20 s lap.
  runAll({"drive 1 lap lap-time 20"});
  EXPECT_DOUBLE_EQ(seconds(), 0.524 + 0.4 + 20.0 + 0.5);
  EXPECT_EQ(lap(), 1);
  runAll({"drive 2 seconds"});  // the map's own lap time
  EXPECT_DOUBLE_EQ(seconds(), 23.424);
  EXPECT_FLOAT_EQ(session->game().car()->location.X, 800.0f + 1000.0f + 4000.0f);
}

TEST_F(SessionTest, ADriveCountsLapsAtTheLineAsTheMapsScriptDoes) {
  runAll({"map speedway", "drive 3 laps lap-time 20"});
  EXPECT_EQ(lap(), 3);
  EXPECT_EQ(session->driver()->crossings(), 4);
  // Mid-race (no reset), every crossing completes a lap.
  runAll({"drive 2 laps lap-time 20"});
  EXPECT_EQ(lap(), 5);
  EXPECT_EQ(session->driver()->crossings(), 6);
  const std::string text = transcript.str();
  EXPECT_NE(text.find("[    0.400] *  the car crosses the line, LapNb 0\n"), std::string::npos) << text;
  EXPECT_NE(text.find("[   60.400] *  the car crosses the line, LapNb 3\n"), std::string::npos) << text;
}

TEST_F(SessionTest, StepsThatCannotBeCarriedOutSaySo) {
  EXPECT_EQ(run("drive 1 lap").seen, "no map is loaded");
  EXPECT_EQ(run("map nowhere").ok, false);
  runAll({"map speedway", "remove-car"});
  EXPECT_EQ(run("drive 1 lap").seen, "there is no car to drive (restore-car or respawn first)");
  runAll({"restore-car", "pause"});
  EXPECT_EQ(run("drive 1 lap").seen, "the game is paused (unpause first)");
  EXPECT_EQ(run("pick-ghost Ann").seen, "the host has not shown the plugin's settings page");
  EXPECT_EQ(run("copy missing.ghost tessaro/data/Ghosts/").ok, false);
  runAll({"unpause"});
  EXPECT_EQ(run("drive 1000 laps speed 1").seen,
            "the laps would take up to 40000000 s of game time; a drive takes at most 86400 s");
}

TEST_F(SessionTest, CopyAndFileExpectationsStayInsideTheGameRootThroughLinks) {
  TempFolder outside;
  std::filesystem::create_directory_symlink(outside.path(), root.path() / "out");
  std::ofstream(root.path() / "a.ghost") << "Speedway,Ann,1,1-Lap,1.1\n";
  EXPECT_EQ(run("copy a.ghost out/").seen, "out/ leads out of the game root");
  EXPECT_EQ(run("copy a.ghost out/b.ghost").seen, "out/b.ghost leads out of the game root");
  EXPECT_EQ(run("expect file out/a.ghost missing").seen, "out/a.ghost leads out of the game root");
  // Mended: a dangling link inside the root had its target made outside it.
  std::filesystem::create_symlink(outside.path() / "made.ghost", root.path() / "dangling.ghost");
  EXPECT_EQ(run("copy a.ghost dangling.ghost").seen, "dangling.ghost is a link: copy writes through none");
  EXPECT_TRUE(std::filesystem::is_empty(outside.path()));
  runAll({"copy a.ghost tessaro/data/Ghosts/", "expect file tessaro/data/Ghosts/a.ghost exists"});
  // A second name of a file outside the root, planted at the destination, keeps that file's bytes.
  std::ofstream(outside.path() / "kept.txt") << "ORIG\n";
  std::filesystem::create_hard_link(outside.path() / "kept.txt", root.path() / "hard.ghost");
  runAll({"copy a.ghost hard.ghost", "copy a.ghost hard.ghost"});
  EXPECT_EQ(std::filesystem::file_size(outside.path() / "kept.txt"), 5u);
}

TEST_F(SessionTest, TheGhostListingCountsWhatTheImportLoads) {
  const auto folder = session->game().ghostFolder();
  // A short line and a blank one are no frames, and the import stops at the bad number of line 6.
  std::ofstream(folder / "a.ghost", std::ios::binary)
      << "Oval,Ann,16,1-Lap,1.1\r\n0,0,0,0,0,0,0\r\n1,2\r\n\r\n16,1,0,0,0,0,0\r\n24,x,0,0,0,0,0\r\n8,1,0,0,0,0,0\r\n";
  std::ofstream(folder / "b.ghost", std::ios::binary) << std::string(4097, 'n') << "\n0,0,0,0,0,0,0\n";
  std::ostringstream out;
  writeGhostListing(out, session->game());
  EXPECT_EQ(out.str(), "Ghost folder " + folder.string() +
                           ": 2 files\n  a.ghost  92 bytes, 2 frames (the import stops at line 6)  "
                           "Oval,Ann,16,1-Lap,1.1\n  b.ghost  4112 bytes, 1 frame  (its first line is longer than "
                           "the 4096 bytes the settings page reads)\n");
}

TEST_F(SessionTest, ThePageIsShownAsThePlayerSeesItOrAsItsLines) {
  runAll({"map speedway", "wait 1", "console lm_autorecord true", "console lm_record", "show page"});
  // "true" switches automatic recording on for the plugin, so the page ticks its box and greys out Record.
  const std::string text = transcript.str();
  const std::string page = text.substr(text.find("Settings page, as the player sees it ("));
  for (const char* row :
       {"\n  Lumaro\n  ======\n  A plugin by Velkor", "\n  Number of laps: 1  (a slider from 1 to 6)\n",
        "\n  [ Record a run ] (greyed out)  [x] Auto record ghost\n  -----", "\n  Ghost Export Filename: [My-PB]\n",
        "\n  [ Refresh Ghost list ]  [ Open Ghost Folder ]\n",
        "\n  No ghost found for this map/number of laps.\n  ---"}) {
    EXPECT_NE(page.find(row), std::string::npos) << row << " in\n" << page;
  }
}

TEST_F(SessionTest, ConsoleExpectationsLookAfterTheLineThePreviousOneMatched) {
  runAll({"console lm_one", "console lm_two", "console lm_one"});
  runAll({"expect console \"Unknown command: lm_two\"", "expect console \"Unknown command: lm_one\""});
  // Both lm_one lines are behind now.
  const StepOutcome again = run("expect console containing lm_one");
  EXPECT_FALSE(again.ok);
  EXPECT_EQ(again.seen,
            "no such console line after \"Unknown command: lm_one\", which the previous console expectation matched; "
            "the lines after it:\n(none)");
  runAll({"expect no-console containing lm_one", "console lm_three", "expect console matching \"Unknown .*three\""});
}

TEST_F(SessionTest, WhatAFailedExpectationSaw) {
  runAll({"map canyon"});
  EXPECT_EQ(run("expect cvar lm_lapNbr 3").seen, "lm_lapNbr = \"1\"");
  EXPECT_EQ(run("expect cvar lm_nothing 3").seen, "there is no console variable lm_nothing");
  EXPECT_EQ(run("expect kismet LapNb 0").seen, "LapNb (int) = -1");
  EXPECT_EQ(run("expect kismet MapName Canyon").seen, "MapName (string) = \"Canyon Run\"");
  EXPECT_EQ(run("expect kismet GhostPosition 0 0").seen,
            "a vector variable needs three numbers; GhostPosition (vector) = 0 0 0");
  EXPECT_EQ(
      run("expect kismet GhostColor 1").seen,
      "no Kismet variable named GhostColor; the map has:\n  LapNb (int) = -1\n  MapName (string) = \"Canyon Run\"\n"
      "  GhostPosition (vector) = 0 0 0\n  GhostRotation (vector) = 0 0 0");
  EXPECT_EQ(run("expect writes GhostPosition at-least 1").seen, "GhostPosition was written 0 times");
  const std::string ghosts = (root.path() / "tessaro" / "data" / "Ghosts").string();
  EXPECT_EQ(run("expect file tessaro/data/Ghosts missing").seen, "a folder at " + ghosts);
  EXPECT_EQ(run("expect file tessaro/data/Ghosts/x.ghost exists").seen, "nothing at " + ghosts + "/x.ghost");
}

// Mended: an expected Kismet value was read with blanks skipped and in hexadecimal, so these held where a map
// file refuses the same words as starting values.
TEST_F(SessionTest, AnExpectedKismetValueIsReadAsAMapFileReadsIt) {
  runAll({"map speedway", "expect kismet LapNb -1", "expect kismet GhostColor 0"});
  for (const auto& [line, seen] : std::vector<std::pair<const char*, const char*>>{
           {"expect kismet LapNb \" -1\"", "\" -1\" is not a whole number; LapNb (int) = -1"},
           {"expect kismet LapNb -0x1", "\"-0x1\" is not a whole number; LapNb (int) = -1"},
           {"expect kismet LapNb 2147483648", "\"2147483648\" is out of an int's range; LapNb (int) = -1"},
           {"expect kismet GhostColor 0x0", "\"0x0\" is not a number; GhostColor (float) = 0"},
           {"expect kismet GhostColor \" 0\"", "\" 0\" is not a number; GhostColor (float) = 0"},
           {"expect kismet GhostPosition 0 0 nan", "\"nan\" is not a number; GhostPosition (vector) = 0 0 0"},
       }) {
    const StepOutcome outcome = run(line);
    EXPECT_FALSE(outcome.ok) << line;
    EXPECT_EQ(outcome.seen, seen) << line;
  }
}

// Mended: an expected bool asked for true or false alone, though 1 and 0 read as them too.
TEST_F(SessionTest, AnExpectedBoolIsReadAsAMapFileReadsIt) {
  std::ofstream(root.path() / "flag.map") << "map Flag\nvariable bool Done 1\nline 800 -600 800 600\n"
                                             "point 0 0 17\npoint 9000 0 17\npoint 9000 9000 17\n";
  runAll({"map flag", "expect kismet Done true", "expect kismet Done 1"});
  EXPECT_EQ(run("expect kismet Done yes").seen, "a bool variable needs 0, 1, true or false; Done (bool) = true");
}

TEST_F(SessionTest, FileExpectationsReadLinesWithEitherLineEnd) {
  std::ofstream(root.path() / "a.ghost", std::ios::binary)
      << "Speedway,Ann,61234,3-Lap,1.1\r\n0,800.00,0.00,17.00,0,0,0\r\n";
  runAll({"expect file a.ghost first-line \"Speedway,Ann,61234,3-Lap,1.1\"",
          "expect file ./a.ghost last-line \"0,800.00,0.00,17.00,0,0,0\"", "expect file a.ghost contains \",3-Lap,\"",
          R"(expect file a.ghost line matching "0,[0-9.]+,0\.00,17\.00,0,0,0")", "expect file a.ghost no-line \"\""});
  EXPECT_EQ(run("expect file a.ghost first-line Speedway").seen,
            "the first line of " + (root.path() / "a.ghost").string() + " is \"Speedway,Ann,61234,3-Lap,1.1\"");
}

TEST_F(SessionTest, FloatsCompareAsThePluginComputesThem) {
  runAll({"map speedway"});
  sim::KismetVariable* colour = session->game().variable("GhostColor", sim::VariableType::Float);
  colour->floatValue = (0.9f + 10.0f) + 0.099f;  // white, packed in single precision
  runAll({"expect kismet GhostColor 10.999"});
  EXPECT_FALSE(run("expect kismet GhostColor 10.998").ok);
}

TEST_F(SessionTest, AFailureReportNamesTheScriptTheLineTheStepAndWhatWasSeen) {
  const Script script =
      parseScript("map speedway\n\n# broken on purpose\nexpect kismet LapNb 5\nwait 1\n", "broken.scenario");
  std::ostringstream errors;
  const ScriptResult result = runScript(*session, script, root.path(), errors);
  EXPECT_FALSE(result.passed);
  EXPECT_EQ(result.stepsRun, 2);
  EXPECT_EQ(errors.str(), "broken.scenario:4: failed: expect kismet LapNb 5\n  seen: LapNb (int) = -1\n");
  EXPECT_EQ(seconds(), 0.0);  // the wait after it never ran
}

TEST_F(SessionTest, InteractiveStepsReportFailuresAndGoOn) {
  std::istringstream typed(
      "map speedway\nexpect kismet LapNb 2\nfly away\nconsole lm_lapNbr 4\nmap nowhere\nquit\nconsole lm_lapNbr 5\n");
  std::ostringstream out;
  runInteractive(*session, typed, out, false);
  EXPECT_EQ(session->game().console().valueOf("lm_lapNbr"), "4");
  EXPECT_NE(out.str().find("input:2: failed: expect kismet LapNb 2\n  seen: LapNb (int) = -1\n"), std::string::npos);
  // Every error names the input line it came from, a line that cannot be read and a map not found included.
  EXPECT_NE(out.str().find("input:3: unknown step \"fly\""), std::string::npos);
  EXPECT_NE(out.str().find("input:5: failed: map nowhere\n  seen: no map file nowhere (looked in "), std::string::npos);
}

TEST_F(SessionTest, PickGhostChoosesTheEntryOfThePagesList) {
  // The page as the plugin writes it: the blank entry, then one entry per ghost file, shown by the host's
  // reload. It is written and shown anew before each pick, since the plugin rewrites its page when the
  // pick imports.
  auto writePage = [&] {
    std::ofstream(session->game().settingsPage(), std::ios::binary)
        << "Lumaro\n6|Load a ghost|lm_ghostfilepath| @ &1-Lap in 00:19:512 by Bo(Bo@home.ghost)@Bo@home.ghost"
           "&3-Lap in 01:01:234 by Ann(Ann-Speedway-3.ghost)@Ann-Speedway-3.ghost"
           "&1-Lap in 00:20:000 by Cy(\\u202egnp.ghost)@\xE2\x80\xAEgnp.ghost\n8|\n";
    session->game().console().execute("cl_settings_refreshplugins");
  };
  writePage();
  runAll({"pick-ghost \"by Bo\""});
  EXPECT_EQ(session->game().console().valueOf("lm_ghostfilepath"), "Bo@home.ghost");
  writePage();
  runAll({"pick-ghost \" \""});
  EXPECT_EQ(session->game().console().valueOf("lm_ghostfilepath"), " ");
  // Mended: an entry whose file name holds a code point that reorders text (its label shows it escaped, its
  // value holds it) was neither shown nor picked. It is picked by the label as shown or by the name's own bytes.
  writePage();
  runAll({"show page", "pick-ghost 'by Cy(\\u202eg'"});
  EXPECT_NE(transcript.str().find("\n        1-Lap in 00:20:000 by Cy(\\u202egnp.ghost)\n"), std::string::npos)
      << transcript.str();
  EXPECT_EQ(session->game().console().valueOf("lm_ghostfilepath"), "\xE2\x80\xAEgnp.ghost");
  runAll({"console lm_ghostfilepath \" \""});
  writePage();
  runAll({"pick-ghost \"Cy(\xE2\x80\xAEg\""});
  EXPECT_EQ(session->game().console().valueOf("lm_ghostfilepath"), "\xE2\x80\xAEgnp.ghost");
  writePage();
  const StepOutcome none = run("pick-ghost Dee");
  EXPECT_EQ(none.seen,
            "no entry of the ghost list has \"Dee\" in its label; the entries:\n\" \"\n"
            "\"1-Lap in 00:19:512 by Bo(Bo@home.ghost)\"\n\"3-Lap in 01:01:234 by Ann(Ann-Speedway-3.ghost)\"\n"
            "\"1-Lap in 00:20:000 by Cy(\\\\u202egnp.ghost)\"");
}

// lumaro-host --help names every console command and variable the loaded plugin registers, as the console
// holds them.
TEST_F(SessionTest, TheHelpNamesEveryConsoleCommandAndVariableOfThePlugin) {
  const std::string help = helpText();
  const sim::Console& console = session->game().console();
  ASSERT_FALSE(console.variables().empty());
  for (const auto& variable : console.variables()) EXPECT_TRUE(namesWord(help, variable->name)) << variable->name;
  for (const auto& [name, command] : console.commands()) EXPECT_TRUE(namesWord(help, name)) << name;
}

}  // namespace
