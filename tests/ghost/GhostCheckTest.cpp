// check: every problem of a ghost file with its line and reason; the frames the tool keeps are the import's.
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "GeneratedRuns.h"
#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostFrame.h"
#include "tools/ghost/analysis/GhostFileContent.h"
#include "tools/ghost/analysis/GhostHeaderFields.h"
#include "tools/ghost/report/GhostCheck.h"

using namespace lumaro_ghost;

namespace {

GhostFileContent contentOf(const std::string& text) {
  std::istringstream in(text);
  return readGhostFileContent(in);
}

std::vector<std::string> problemsOf(const std::string& text, std::string_view fileName = "run.ghost",
                                    const PageQuestion& page = {}) {
  std::vector<std::string> lines;
  for (const GhostProblem& problem : checkGhost(contentOf(text), fileName, page)) {
    lines.push_back(std::to_string(problem.line) + ": " + (problem.note ? "note: " : "") + problem.reason);
  }
  return lines;
}

const std::string header = "Speedway,Ann,32,1-Lap,1.1\r\n";

}  // namespace

TEST(GhostCheck, AFileThePluginWritesHasNoProblem) {
  EXPECT_TRUE(problemsOf(ghostFileText(steadyCircle(1000.0, 20.0, 1, 8))).empty());
  // Line ends of LF alone read the same.
  EXPECT_TRUE(problemsOf("Speedway,Ann,16,1-Lap,1.1\n0,1.00,2.00,3.00,0,0,0\n16,2.00,2.00,3.00,0,0,0").empty());
}

TEST(GhostCheck, FrameLinesAreJudgedAsTheImportReadsThemWithTheirLineNumbers) {
  const std::string text = header +
                           "0,0.00,0.00,0.00,0,0,0\r\n"    // 2
                           "8,1.00,0.00,0.00,0,0\r\n"      // 3: six fields
                           "16,2.00,abc,0.00,0,0,0\r\n"    // 4: the import stops here
                           "\r\n"                          // 5: empty
                           "32,4.00,0.00,1e99,0,0,0\r\n"   // 6
                           "40,5.00,0.00,0.00,0,0,0\r\n";  // 7: past the stop, never loaded
  EXPECT_EQ(problemsOf(text), (std::vector<std::string>{
                                  "3: fewer than seven fields: the import skips the line",
                                  "4: the y value is not a number: the import stops reading here (frames loaded: 1)",
                                  // The import never reads past its stop: these lines are not its skips.
                                  "5: fewer than seven fields (past line 4, where the import stops)",
                                  "6: the z value is out of range (past line 4, where the import stops)",
                              }));
  // The frames kept are exactly those the plugin's import loads.
  std::istringstream in(text);
  std::vector<GhostFrame> imported;
  readGhostFrames(in, imported);
  const GhostFileContent content = contentOf(text);
  EXPECT_EQ(content.frames, imported);
  EXPECT_EQ(content.frameLines, (std::vector<std::size_t>{2}));
  EXPECT_EQ(content.importStopsAt, 4u);
}

TEST(GhostCheck, TimesThatGoBackAndValuesThatAreNotFiniteAreNamed) {
  const std::string text =
      "Speedway,Ann,24,1-Lap,1.1\n"
      "0,0.00,0.00,0.00,0,0,0\n"
      "16,1.00,0.00,0.00,0,0,0\n"
      "8,2.00,0.00,0.00,0,0,0\n"
      "24,nan,0.00,0.00,0,inf,0\n";
  EXPECT_EQ(problemsOf(text),
            (std::vector<std::string>{
                "4: note: the time goes back from 16 to 8 ms",
                "5: the x value is not a finite number: the import stops reading here (frames loaded: 3)",
            }));
  // A thousand times that go back are named one by one; the 1001st and 1002nd only counted.
  std::string backAndForth = "Speedway,Ann,0,1-Lap,1.1\n";
  for (int pair = 0; pair < 1002; ++pair) backAndForth += "1,0,0,0,0,0,0\n0,0,0,0,0,0,0\n";
  const std::vector<std::string> problems = problemsOf(backAndForth);
  ASSERT_EQ(problems.size(), 1001u);
  EXPECT_EQ(problems[999], "2001: note: the time goes back from 1 to 0 ms");
  EXPECT_EQ(problems[1000], "2003: note: and 2 more frames whose time goes back from here on, not listed one by one");
}

TEST(GhostCheck, AHeaderLineLongerThanThePageReadsIsNamed) {
  const std::string frame = "0,0.00,0.00,0.00,0,0,0\n";
  const std::string longName(4096, 'a');
  // The import skips the header however long; it gives up on a frame line longer than 4096 bytes.
  EXPECT_EQ(problemsOf("Speedway," + longName + ",0,1-Lap,1.1\n" + frame),
            (std::vector<std::string>{"1: the header line is longer than the 4096 bytes the settings page "
                                      "reads: no page lists the file"}));
  EXPECT_EQ(problemsOf("Speedway,Ann,0,1-Lap,1.1\n" + frame + longName + "a\n" + frame),
            (std::vector<std::string>{"3: the line is longer than 4096 bytes: the import stops reading here "
                                      "(frames loaded: 1)"}));
  // A line past the 64 KiB the tool holds is cut, not gathered whole; the lines after it keep their numbers.
  const std::string huge(70000, 'b');
  EXPECT_EQ(problemsOf("Speedway,Ann,0,1-Lap,1.1\n" + frame + huge + "\n1,2\n" + huge + "\n" + frame),
            (std::vector<std::string>{
                "3: the line is longer than 4096 bytes: the import stops reading here (frames loaded: 1)",
                "4: fewer than seven fields (past line 3, where the import stops)",
                "5: the line is longer than 4096 bytes (past line 3, where the import stops)"}));
  // Up to 4096 bytes without its line end, the page reads it.
  const std::string shortHeader = "Speedway,Ann,0,1-Lap,1.1";
  EXPECT_TRUE(problemsOf(shortHeader + std::string(4096 - shortHeader.size(), ' ') + "\r\n" + frame).empty());
}

TEST(GhostCheck, AHeaderThePageCannotUseIsLineOne) {
  const std::string frame = "0,0.00,0.00,0.00,0,0,0\n";
  // A fourth field with nothing after it is no problem; a field more than five can be read more than one way.
  EXPECT_TRUE(problemsOf("Speedway,Ann,0,1-Lap\n" + frame).empty());
  const std::string sixFields =
      "1: the header has 6 fields, not five: a comma stands inside a name, so the header can be read more than one "
      "way and no page lists the file";
  for (const char* sixFieldHeader : {"Speedway,Smith, John,0,1-Lap,1.1", "Speed,way,Ann,0,1-Lap,1.1",
                                     "Speedway,Ann,0,1-Lap,1.1,x", "Speedway,Ann,x,0,y,1.1"}) {
    EXPECT_EQ(problemsOf(sixFieldHeader + std::string("\n") + frame), std::vector<std::string>{sixFields})
        << sixFieldHeader;
  }
  const std::string lap = ghostFileText(twentySecondLap(10));  // whole: "20000" is no lap count, but a run time
  EXPECT_EQ(problemsOf("Speedway, Two,Ann,20000,1-Lap,1.1" + lap.substr(lap.find('\r'))), std::vector{sixFields});
  EXPECT_EQ(problemsOf("Speedway,Ann,-1,1-Lap,1.1\n" + frame),
            (std::vector<std::string>{"1: the run time -1 ms is below zero: no page lists the file",
                                      "1: note: the run time -1 ms is not the last frame's time, 0 ms (line 2)"}));
  EXPECT_EQ(problemsOf(",Ann,0,Lap\n" + frame),
            (std::vector<std::string>{
                "1: the header has 4 fields, not five (map, player, run time, lap count, version)",
                "1: the map name is empty",
                "1: the lap count \"Lap\" is not a number",
            }));
  EXPECT_EQ(problemsOf("Speedway,Ann,0\n" + frame),
            (std::vector<std::string>{
                "1: the header has 3 fields, not five (map, player, run time, lap count, version)",
            }));
  EXPECT_EQ(
      problemsOf("Speedway\n" + frame),
      (std::vector<std::string>{"1: the header has 1 field, not five (map, player, run time, lap count, version)"}));
  EXPECT_EQ(problemsOf("Speedway,Ann,0,7-Lap,1.1\n" + frame),
            (std::vector<std::string>{"1: the lap count 7 is outside 1 to 6: no page lists the file"}));
  EXPECT_EQ(problemsOf("Speedway,Ann,0,0-Lap,1.1\n" + frame),
            (std::vector<std::string>{"1: the lap count 0 is outside 1 to 6: no page lists the file"}));
  // The plugin lists and loads a file whose header time is not the run's: a note, not a problem.
  EXPECT_EQ(problemsOf("Speedway,Ann,99,1-Lap,1.1\n" + frame),
            (std::vector<std::string>{"1: note: the run time 99 ms is not the last frame's time, 0 ms (line 2)"}));
  EXPECT_FALSE(hasProblem(checkGhost(contentOf("Speedway,Ann,99,1-Lap,1.1\n" + frame), "run.ghost")));
}

TEST(GhostCheck, ARunThatCannotBeCompleteIsAProblem) {
  // A lap cut to a quarter of its frames, its header unchanged.
  std::string cut = ghostFileText(twentySecondLap(10));
  cut.resize(cut.find("5010,"));
  EXPECT_EQ(problemsOf(cut),
            (std::vector<std::string>{
                "1: the run time 20000 ms is not the last frame's time, 5000 ms (line 502): the frames "
                "end 15000 ms early, so the file cannot hold the whole run",
                "1: the header names 1 lap, and the run crosses its start line 0 times after it sets "
                "off: it cannot be a complete run of 1 lap",
            }));
  // A second missing is the most a note allows.
  std::string late = ghostFileText(twentySecondLap(10));
  late.replace(late.find("20000"), 5, "21000");
  EXPECT_FALSE(hasProblem(checkGhost(contentOf(late), "run.ghost")));
  late.replace(late.find("21000"), 5, "21001");
  EXPECT_TRUE(hasProblem(checkGhost(contentOf(late), "run.ghost")));
  // Three laps under a header of one; the same path under its own header passes.
  EXPECT_EQ(problemsOf(ghostFileText(steadyCircle(1000.0, 20.0, 3, 10), "Circle", 1)),
            (std::vector<std::string>{"1: the header names 1 lap, and the run crosses its start line 3 times after it "
                                      "sets off: it cannot be a complete run of 1 lap"}));
  EXPECT_TRUE(problemsOf(ghostFileText(steadyCircle(1000.0, 20.0, 3, 10), "Circle", 3)).empty());
}

TEST(GhostCheck, AskedAboutAPageItSaysWhetherThatPageListsTheFile) {
  const std::string text = "Speedway,Smith  John,0,2-Lap,1.1\n0,0.00,0.00,0.00,0,0,0\n";
  EXPECT_TRUE(problemsOf(text, "run.ghost", {"Speedway", 2}).empty());
  EXPECT_TRUE(problemsOf(text, "run.ghost", {std::nullopt, 2}).empty());
  EXPECT_EQ(problemsOf(text, "run.ghost", {"Speedway", 3}),
            (std::vector<std::string>{
                "1: the page on \"Speedway\" set to 3 laps does not list the file: it is a run of 2 laps, not 3"}));
  EXPECT_EQ(problemsOf(text, "run.ghost", {"Oval", std::nullopt}),
            (std::vector<std::string>{"1: the page on \"Oval\" set to 2 laps does not list the file: it is for the "
                                      "map \"Speedway\", not \"Oval\""}));
}

TEST(GhostCheck, LinesEndingInCarriageReturnsAloneAreNamedNotBlamedOnAComma) {
  // The plugin ends a line only at a line feed: the whole file is its header and no frame is loaded.
  // The fields the returns ran together are named without a comma's blame.
  EXPECT_EQ(problemsOf("Speedway,Ann,8,1-Lap,1.1\r0,0.00,0.00,0.00,0,0,0\r8,1.00,0.00,0.00,0,0,0\r"),
            (std::vector<std::string>{
                "0: no frame lines: the loaded ghost would be empty",
                "1: the line holds a carriage return that ends no line: the plugin ends lines only at a line "
                "feed, so a file whose lines end in a carriage return alone reads as one line",
                "1: the header has 17 fields, not five (map, player, run time, lap count, version): no page lists "
                "the file",
            }));
  // A return inside a name the page reads, the line ending in CR CR LF: the plugin lists and loads the file.
  const std::vector<GhostProblem> named =
      checkGhost(contentOf("Speedway,A\rnn,0,1-Lap,1.1\r\r\n0,0.00,0.00,0.00,0,0,0\r\r\n"), "run.ghost");
  EXPECT_EQ(named.size(), 1u);
  EXPECT_FALSE(hasProblem(named));
}

TEST(GhostCheck, EmptyFilesFilesWithoutFramesAndUnlistableNamesAreProblemsOfTheWholeFile) {
  EXPECT_EQ(problemsOf(""), (std::vector<std::string>{"0: the file is empty: no header line and no frames"}));
  EXPECT_EQ(problemsOf("Speedway,Ann,0,1-Lap,1.1\r\n"),
            (std::vector<std::string>{"0: no frame lines: the loaded ghost would be empty"}));
  EXPECT_EQ(
      problemsOf(ghostFileText(twentySecondLap(10)), "a&b.ghost"),
      (std::vector<std::string>{"0: its file name is one the page cannot offer in its list: it holds |, & or @, a "
                                "double quote or a control character, or it is \" \" or \"none\", which stand for "
                                "no ghost"}));
}
