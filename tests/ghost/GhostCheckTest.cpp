// check: every problem of a ghost file with its line and reason; the frames the tool keeps are the import's.
#include <gtest/gtest.h>

#include <sstream>

#include "GeneratedRuns.h"
#include "tools/ghost/GhostCheck.h"
#include "tools/ghost/GhostHeaderFields.h"

using namespace lumaro_ghost;

namespace {

GhostFileContent contentOf(const std::string& text) {
  std::istringstream in(text);
  return readGhostFileContent(in);
}

std::vector<std::string> problemsOf(const std::string& text, std::string_view fileName = "run.ghost") {
  std::vector<std::string> lines;
  for (const GhostProblem& problem : checkGhost(contentOf(text), fileName)) {
    lines.push_back(std::to_string(problem.line) + ": " + problem.reason);
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
                "4: the time goes back from 16 to 8 ms",
                "5: the x value is not a finite number: the import stops reading here (frames loaded: 3)",
            }));
}

TEST(GhostCheck, AHeaderLineLongerThanThePageReadsIsNamed) {
  const std::string frame = "0,0.00,0.00,0.00,0,0,0\n";
  const std::string longName(4096, 'a');
  // The import gives up on a line longer than 4096 bytes, the header included, as it does on a bad number.
  EXPECT_EQ(problemsOf("Speedway," + longName + ",0,1-Lap,1.1\n" + frame),
            (std::vector<std::string>{"0: no frame lines: the loaded ghost would be empty",
                                      "1: the header line does not end within the first 4096 bytes, all the "
                                      "settings page reads: no page lists the file",
                                      "1: the line is longer than 4096 bytes: the import stops reading here "
                                      "(frames loaded: 0)"}));
  EXPECT_EQ(problemsOf("Speedway,Ann,0,1-Lap,1.1\n" + frame + longName + "a\n" + frame),
            (std::vector<std::string>{"3: the line is longer than 4096 bytes: the import stops reading here "
                                      "(frames loaded: 1)"}));
  // Up to the line feed as the 4096th byte, the page reads it.
  const std::string header = "Speedway,Ann,0,1-Lap,1.1";
  EXPECT_TRUE(problemsOf(header + std::string(4095 - header.size(), ' ') + "\n" + frame).empty());
}

TEST(GhostCheck, AHeaderThePageCannotUseIsLineOne) {
  const std::string frame = "0,0.00,0.00,0.00,0,0,0\n";
  // The numbers a comma shifted are read from the right, as the page reads them.
  EXPECT_EQ(problemsOf("Speed,way,Ann,0,1-Lap,1.1\n" + frame),
            (std::vector<std::string>{
                "1: the header has 6 fields, not five: a comma in the map or player name shifts the fields after it",
            }));
  const GhostHeaderFields doe = readHeaderFields("Speedway,Doe, Jane,8,1-Lap,1.1");
  EXPECT_EQ(doe.mapName, "Speedway");
  EXPECT_EQ(doe.playerName, "Doe, Jane");
  EXPECT_EQ(doe.runTime.value, 8);
  EXPECT_EQ(doe.lapField, "1-Lap");
  EXPECT_EQ(doe.version, "1.1");
  EXPECT_EQ(problemsOf("Speedway,Ann,0,1-Lap,1.1,x\n" + frame),
            (std::vector<std::string>{
                "1: the header has 6 fields, not five: a comma in the map or player name shifts the fields after it",
            }));
  EXPECT_EQ(problemsOf(",Ann,0,Lap\n" + frame),
            (std::vector<std::string>{
                "1: the header has 4 fields, not five (map, player, run time, lap count, version)",
                "1: the map name is empty",
                "1: the lap count \"Lap\" is not a number",
            }));
  EXPECT_EQ(problemsOf("Speedway,Ann,0,7-Lap,1.1\n" + frame),
            (std::vector<std::string>{"1: the lap count 7 is outside 1 to 6: no page lists the file"}));
  EXPECT_EQ(problemsOf("Speedway,Ann,99,1-Lap,1.1\n" + frame),
            (std::vector<std::string>{"1: the run time 99 ms is not the last frame's time, 0 ms (line 2)"}));
}

TEST(GhostCheck, LinesEndingInCarriageReturnsAloneAreNamedNotBlamedOnAComma) {
  // The plugin ends a line only at a line feed: the whole file is its header and no frame is loaded.
  EXPECT_EQ(problemsOf("Speedway,Ann,8,1-Lap,1.1\r0,0.00,0.00,0.00,0,0,0\r8,1.00,0.00,0.00,0,0,0\r"),
            (std::vector<std::string>{
                "0: no frame lines: the loaded ghost would be empty",
                "1: the line holds a carriage return that ends no line: the plugin ends lines only at a line "
                "feed, so a file whose lines end in a carriage return alone reads as one line",
                "1: the header has 17 fields, not five (map, player, run time, lap count, version)",
            }));
}

TEST(GhostCheck, EmptyFilesFilesWithoutFramesAndUnlistableNamesAreProblemsOfTheWholeFile) {
  EXPECT_EQ(problemsOf(""), (std::vector<std::string>{"0: the file is empty: no header line and no frames"}));
  EXPECT_EQ(problemsOf("Speedway,Ann,0,1-Lap,1.1\r\n"),
            (std::vector<std::string>{"0: no frame lines: the loaded ghost would be empty"}));
  EXPECT_EQ(
      problemsOf(ghostFileText(twentySecondLap(10)), "a&b.ghost"),
      (std::vector<std::string>{"0: its file name holds a character the page cannot offer in its list (|, & or @, "
                                "a double quote or a control character)"}));
}
