// lumaro-ghost's command line: exit statuses, help, errors on the error stream, and the figures it prints
// for files of known runs.
#include <sys/stat.h>

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <numbers>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "GeneratedRuns.h"
#include "library/ghostfile/GhostFrame.h"
#include "support/NamesWord.h"
#include "support/TempFolder.h"
#include "tools/ghost/GhostTool.h"
#include "tools/ghost/text/NumberText.h"
#include "tools/ghost/text/TextEscapes.h"

using namespace lumaro_ghost;

namespace {

struct Outcome {
  int status = 0;
  std::string out;
  std::string err;
  bool operator==(const Outcome&) const = default;
};

Outcome run(const std::vector<std::string>& arguments) {
  std::ostringstream out, err;
  const int status = runGhostTool(arguments, out, err);
  return {status, out.str(), err.str()};
}

class GhostTool : public ::testing::Test {
protected:
  std::string file(const std::string& name, const std::string& text) {
    const auto path = folder_.path() / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }
  TempFolder folder_;
};

}  // namespace

TEST_F(GhostTool, EverySubcommandHasHelpWithAnExampleThatCitesOnlyWhatThePlayerHas) {
  for (const char* command : {"info", "check", "board", "compare", "plot", "html"}) {
    const Outcome outcome = run({command, "--help"});
    EXPECT_EQ(outcome.status, 0) << command;
    EXPECT_NE(outcome.out.find(std::string("lumaro-ghost ") + command), std::string::npos) << command;
    EXPECT_NE(outcome.out.find("Example:\n  lumaro-ghost " + std::string(command) + " "), std::string::npos) << command;
    // Mended: compare --help sent the player to docs/ghost-tool.md, which the players' zip does not hold.
    EXPECT_EQ(outcome.out.find(".md"), std::string::npos) << command;
    EXPECT_TRUE(outcome.err.empty());
  }
  EXPECT_EQ(run({"--help"}).status, 0);
  EXPECT_EQ(run({"help"}).out, run({"--help"}).out);
  EXPECT_EQ(run({"help", "compare"}).out, run({"compare", "--help"}).out);
  // Of --help and --version, the first is answered.
  EXPECT_EQ(run({"--help", "--version"}).out, run({"--help"}).out);
  EXPECT_EQ(run({"--version", "--help"}).out, run({"--version"}).out);
}

// The help is written for people, but it names every word the parser takes: each subcommand in the tool's
// help, each option in the help of the subcommand (or the tool) that takes it.
TEST_F(GhostTool, TheHelpNamesEverySubcommandAndOptionTheParserTakes) {
  const std::string toolHelp = run({"--help"}).out;
  const std::vector<CommandWords> words = commandWords();
  ASSERT_FALSE(words.empty());
  for (const CommandWords& command : words) {
    const std::string help = command.subcommand.empty() ? toolHelp : run({command.subcommand, "--help"}).out;
    if (!command.subcommand.empty()) {
      EXPECT_TRUE(namesWord(toolHelp, "lumaro-ghost " + command.subcommand)) << command.subcommand;
    }
    for (const std::string& option : command.options)
      EXPECT_TRUE(namesWord(help, option)) << command.subcommand << " " << option;
  }
}

TEST_F(GhostTool, VersionIsTheProducts) {
  const Outcome outcome = run({"--version"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.out, "lumaro-ghost " LUMARO_PROJECT_VERSION "\n");
}

TEST_F(GhostTool, CommandLinesNotUnderstoodExitTwoWithTheReasonOnTheErrorStream) {
  const std::string ghost = file("a.ghost", ghostFileText(twentySecondLap(10)));
  const std::vector<std::vector<std::string>> wrong = {
      {},
      {"fly"},
      {"check"},
      {"board"},
      {"board", ghost, "--json", "--csv"},
      {"board", ghost, "-o", "board.svg"},
      {"board", ghost, "-o", "board.html", "--csv"},
      {"check", ghost, "--driving", "--laps", "3"},
      {"info", ghost, "--bogus"},
      {"info", ghost, "--gap"},
      {"info", ghost, "--laps", "x"},
      {"info", ghost, "--laps", "0"},
      {"check", ghost, "--laps", "7"},
      {"compare", ghost},
      {"plot", ghost},
      {"check", ghost, "--json"},
      {"fly", "info", ghost},
      {"info", "--gap", "x", "--help"},
      {"plot", ghost, "-o", "pic.png"},
      {"html", ghost, "-o", "replay.svg"},
      {"help", "fly"},
      {"--version", "info"},
      {"-V"},
      {"info", ghost, "--gap", "1", "--gap", "2"},
      {"compare", ghost, ghost, "--lap", "A:1"},
  };
  for (const auto& arguments : wrong) {
    const Outcome outcome = run(arguments);
    EXPECT_EQ(outcome.status, 2) << testing::PrintToString(arguments);
    EXPECT_TRUE(outcome.out.empty());
    EXPECT_FALSE(outcome.err.empty());
  }
  EXPECT_EQ(
      run({"check", ghost, "--laps", "7"}).err,
      "lumaro-ghost check: --laps takes a number of laps from 1 to 6, as the settings page's Number of laps does, "
      "not 7 (lumaro-ghost check --help)\n");
  EXPECT_EQ(run({"plot", ghost}).err,
            "lumaro-ghost plot: say where the picture goes with -o FILE.svg (lumaro-ghost plot --help)\n");
  EXPECT_EQ(run({"info", ghost, "--gap"}).err, "lumaro-ghost info: --gap needs a value (lumaro-ghost info --help)\n");
  EXPECT_EQ(run({"info", ghost, "--bogus"}).err,
            "lumaro-ghost info: unknown option --bogus (lumaro-ghost info --help)\n");
  EXPECT_EQ(run({"fly"}).err, "lumaro-ghost: unknown subcommand \"fly\" (lumaro-ghost --help)\n");
  EXPECT_EQ(run({"help", "fly"}).err, "lumaro-ghost: unknown subcommand \"fly\" (lumaro-ghost --help)\n");
  EXPECT_EQ(run({"-V"}).err, "lumaro-ghost: unknown option -V (lumaro-ghost --help)\n");
  EXPECT_EQ(run({"--version", "info"}).err,
            "lumaro-ghost: give --version alone, not with \"info\" (lumaro-ghost --help)\n");
  EXPECT_EQ(run({"info", ghost, "--gap", "1", "--gap", "2"}).err,
            "lumaro-ghost info: --gap given twice (lumaro-ghost info --help)\n");
  EXPECT_EQ(run({"compare", ghost, ghost, "--lap", "A:1"}).err,
            "lumaro-ghost compare: --lap takes a lap number from 1, or two laps as A:2,B:3, A:best,B:best, "
            "theoretical,B:2 or B:2,theoretical, not \"A:1\" (lumaro-ghost compare --help)\n");
  // "--" ends the options.
  EXPECT_EQ(run({"info", "--", ghost}).out, run({"info", ghost}).out);
  // Mended: plot -o pic.png wrote SVG text into pic.png, silently.
  EXPECT_EQ(run({"plot", ghost, "-o", "pic.png"}).err,
            "lumaro-ghost plot: the picture is SVG: give -o a name ending in .svg, or - for standard output, not "
            "\"pic.png\" (lumaro-ghost plot --help)\n");
  EXPECT_EQ(run({"board", ghost, "-o", "board.svg"}).err,
            "lumaro-ghost board: the board's page is HTML: give -o a name ending in .html or .htm, or - for "
            "standard output, not \"board.svg\" (lumaro-ghost board --help)\n");
  EXPECT_EQ(run({"html", ghost, "-o", "replay.svg"}).err,
            "lumaro-ghost html: the replay page is HTML: give -o a name ending in .html or .htm, or - for standard "
            "output, not \"replay.svg\" (lumaro-ghost html --help)\n");
  // The help where --help stands before a mistake.
  EXPECT_EQ(run({"info", "--help", "--gap", "x"}).status, 0);
}

TEST_F(GhostTool, CheckExitsZeroForCleanFilesAndOneWithEveryProblem) {
  const std::string clean = file("clean.ghost", ghostFileText(twentySecondLap(10)));
  const std::string broken =
      file("broken.ghost", "Circle,Ann,8,1-Lap,1.1\n0,0.00,0.00,0.00,0,0,0\n8,1.00,x,0.00,0,0,0\n");
  Outcome outcome = run({"check", clean});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.out, clean + ": no problem\n");
  outcome = run({"check", clean, broken});
  EXPECT_EQ(outcome.status, 1);
  // The header's run time is not held against the frames the import stopped short of.
  EXPECT_EQ(outcome.out, clean + ": no problem\n" + broken +
                             ":3: the y value is not a number: the import stops reading here (frames loaded: 1)\n");
  outcome = run({"check", (folder_.path() / "missing.ghost").string()});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("missing.ghost cannot be opened: No such file or directory\n"), std::string::npos)
      << outcome.err;
}

TEST_F(GhostTool, CheckPassesAFileWithNotesOnlyAndRefusesAPipeUnopened) {
  const std::string noted =
      file("noted.ghost", "Circle,Smith  John,99,1-Lap,1.1\n0,0.00,0.00,0.00,0,0,0\n8,1.00,0.00,0.00,0,0,0\n");
  Outcome outcome = run({"check", noted, "--map", "Circle", "--laps", "1"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.out, noted + ":1: note: the run time 99 ms is not the last frame's time, 8 ms (line 3)\n");
  EXPECT_EQ(run({"check", noted, "--laps", "2"}).status, 1);
  // Opening a pipe would wait for a writer for ever.
  const auto pipe = folder_.path() / "pipe.ghost";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  outcome = run({"check", pipe.string()});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "lumaro-ghost check: " + pipe.string() + " is a pipe, device or socket, not a ghost file\n");
}

TEST_F(GhostTool, InfoAndCheckWordAHeaderNumberAlike) {
  // One past the largest 32-bit integer is out of range; a word is no number.
  const std::string ghost = file("far.ghost", "Circle,Ann,2147483648,Lap,1.1\n0,0.00,0.00,0.00,0,0,0\n");
  const std::string info = run({"info", ghost}).out;
  EXPECT_NE(info.find("  run time   \"2147483648\" (out of range)\n"), std::string::npos) << info;
  EXPECT_NE(info.find("  laps       \"Lap\" (not a number)\n"), std::string::npos) << info;
  const std::string check = run({"check", ghost}).out;
  EXPECT_NE(check.find(":1: the run time \"2147483648\" is out of range\n"), std::string::npos) << check;
  EXPECT_NE(check.find(":1: the lap count \"Lap\" is not a number\n"), std::string::npos) << check;
}

TEST_F(GhostTool, InfoGivesTheFiguresOfACircleAndWhetherThePageListsIt) {
  const std::string ghost = file("circle.ghost", ghostFileText(steadyCircle(1000.0, 20.0, 1, 10), "Circle", 1));
  Outcome outcome = run({"info", ghost});
  EXPECT_EQ(outcome.status, 0);
  for (const char* line :
       {"  run time   00:20:000 (20000 ms)\n", "  frames     2001, 0.000 s to 20.000 s (duration 20.000 s)\n",
        "  path       6283.2 units\n", "  speed      mean 314.2 units/s, top 314.",
        "  sampling   median 10.0 ms, worst 10 ms\n", "  lap times  1 at its start line: 20.000 s (best: lap 1)\n",
        "  in theory  20.000 s a lap: the best of each of its 10 sectors\n", "  irregular  none\n",
        "  page       listed on Circle with 1 lap as \"1-Lap in 00:20:000 by Ann(circle.ghost)\"\n"}) {
    EXPECT_NE(outcome.out.find(line), std::string::npos) << line << outcome.out;
  }
  outcome = run({"info", ghost, "--map", "Oval", "--json"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_NE(outcome.out.find("\"pathLength\": 6283.19"), std::string::npos) << outcome.out;
  EXPECT_NE(
      outcome.out.find(
          "\"laps\": [{\"lap\": 1, \"time_s\": 20, \"driven\": true}], \"best_lap\": 1, \"lap_lines_found\": true, "
          "\"sectors_per_lap\": 10, \"sectors\": [{\"lap\": 1, \"sector\": 1, \"from\": 0, \"to\": 0.1, "
          "\"time_s\": 1.999993}, "),
      std::string::npos)
      << outcome.out;
  EXPECT_NE(outcome.out.find("\"page\": {\"map\": \"Oval\", \"laps\": 1, \"listed\": false, \"entry\": null, "
                             "\"reason\": \"it is for the map \\\"Circle\\\", not \\\"Oval\\\"\"}"),
            std::string::npos)
      << outcome.out;  // Mended: a run that never moves gave a lap of 0 s and sectors below zero; it has no lap and no
                       // sector.
  const std::string still = file("still.ghost", ghostFileText(steadyCircle(0.0, 20.0, 1, 10), "Circle", 1));
  outcome = run({"info", still, "--json"});
  EXPECT_NE(outcome.out.find("\"laps\": [], \"best_lap\": null, \"lap_lines_found\": false, \"sectors_per_lap\": 10, "
                             "\"sectors\": [], \"theoretical_best_s\": null"),
            std::string::npos)
      << outcome.out;
}

TEST_F(GhostTool, InfoTakesTheGapAndTheLapCountFromTheCommandLine) {
  // Frames 10 ms apart but one 300 ms gap: over the default 100 ms, not over --gap 400.
  std::vector<GhostFrame> frames = twentySecondLap(10);
  frames.erase(frames.begin() + 100, frames.begin() + 129);
  const std::string ghost = file("gap.ghost", ghostFileText(frames));
  EXPECT_NE(run({"info", ghost}).out.find("  irregular  1 gap over 100 ms (largest 300 ms, before line 102)\n"),
            std::string::npos);
  Outcome outcome = run({"info", ghost, "--gap", "400"});
  EXPECT_NE(outcome.out.find("  irregular  none\n"), std::string::npos) << outcome.out;
  outcome = run({"info", ghost, "--laps", "3"});
  EXPECT_NE(outcome.out.find("  page       not listed on Circle: it is a run of 1 lap, not 3\n"), std::string::npos)
      << outcome.out;
}

TEST_F(GhostTool, InfoCountsTheSkipsAndNamesTheStopAsTheImportDoes) {
  // The import skips line 3, stops at line 4 and never reads line 5: "Skipped 1 line of ...".
  const std::string ghost = file("stop.ghost",
                                 "Circle,Ann,16,1-Lap,1.1\r\n0,0.00,0.00,0.00,0,0,0\r\n8,1.00,0.00,0.00,0,0\r\n"
                                 "16,nan,0.00,0.00,0,0,0\r\n24,3.00,0.00,0.00,0\r\n");
  Outcome outcome = run({"info", ghost});
  EXPECT_NE(outcome.out.find("  irregular  1 skipped line with fewer than seven fields\n"
                             "             the import stops at line 4: the x value is not a finite number\n"),
            std::string::npos)
      << outcome.out;
  outcome = run({"info", ghost, "--json"});
  EXPECT_NE(outcome.out.find("\"skippedLines\": 1, \"importStopsAtLine\": 4}"), std::string::npos) << outcome.out;
}

TEST_F(GhostTool, CompareShowsTheSecondGainedOverTheSecondHalf) {
  const std::string a = file("a.ghost", ghostFileText(twentySecondLap(10)));
  const std::string b = file("b.ghost", ghostFileText(fasterSecondHalf(16)));
  const Outcome outcome = run({"compare", a, b});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_NE(outcome.out.find("B against A: -1.000 s (B ahead)\n"), std::string::npos) << outcome.out;
  EXPECT_NE(outcome.out.find("   1    50%          3141.6    10.000 s    10.000 s     0.000 s      0.000 s\n"),
            std::string::npos)
      << outcome.out;
  EXPECT_NE(outcome.out.find("   1   line          6283.2    20.000 s    19.000 s    -1.000 s     -0.200 s\n"),
            std::string::npos)
      << outcome.out;
  EXPECT_NE(outcome.out.find("Largest gain: 0.200 s in lap 1 between"), std::string::npos);
  EXPECT_NE(outcome.out.find("Largest loss: none"), std::string::npos);
}

TEST_F(GhostTool, RunsOfDifferentMapsOrLapCountsAreRefusedUnlessForced) {
  const std::string a = file("a.ghost", ghostFileText(twentySecondLap(10)));
  const std::string b = file("b.ghost", ghostFileText(twentySecondLap(10), "Oval"));
  const std::string threeLaps = file("c.ghost", ghostFileText(steadyCircle(1000.0, 20.0, 3, 10), "Circle", 3));
  Outcome outcome = run({"compare", a, b});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err,
            "lumaro-ghost compare: A is a run on Circle and B on Oval: runs of different maps are not "
            "compared (--force compares them all the same)\n");
  EXPECT_EQ(run({"plot", a, threeLaps, "-o", "-"}).err,
            "lumaro-ghost plot: A is a run of 1 lap and B of 3 laps: runs of different lap counts are not drawn "
            "together (--force draws them all the same)\n");
  outcome = run({"compare", a, b, "--force"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_NE(outcome.out.find("\nA is a run on Circle and B on Oval: runs of different maps, compared all the same "
                             "(--force)\n"),
            std::string::npos)
      << outcome.out;
  EXPECT_EQ(run({"compare", a, a}).out.find("different maps"), std::string::npos);
  outcome = run({"plot", a, b, "-o", "-", "--force"});
  EXPECT_NE(outcome.out.find(">Lumaro ghost comparison: Circle, Oval<"), std::string::npos);
  outcome = run({"plot", a, a, b, "-o", "-", "--force"});
  EXPECT_NE(outcome.out.find(">Lumaro ghost runs: Circle, Oval<"), std::string::npos);
  EXPECT_EQ(run({"html", a, threeLaps, "-o", "-"}).err,
            "lumaro-ghost html: A is a run of 1 lap and B of 3 laps: runs of different lap counts are not replayed "
            "together (--force replays them all the same)\n");
  // Replayed all the same, the page names the difference.
  outcome = run({"html", a, b, "-o", "-", "--force"});
  EXPECT_NE(
      outcome.out.find("\"notes\":[\"A is a run on Circle and B on Oval: runs of different maps, replayed all the "
                       "same (--force)\"]"),
      std::string::npos);
}

TEST_F(GhostTool, CompareTakesOneLapTheBestLapsOrOtherSectorsAndWritesJson) {
  // B drives its second lap in 19 s, its others in 20 s as A does.
  const std::string a = file("a.ghost", ghostFileText(steadyCircle(1000.0, 20.0, 3, 10), "Circle", 3));
  const auto faster = circleRun(1000.0, 10, 59000, [](double t) {
    const double laps = t <= 20.0 ? t / 20.0 : t <= 39.0 ? 1.0 + (t - 20.0) / 19.0 : 2.0 + (t - 39.0) / 20.0;
    return 2 * std::numbers::pi * laps;
  });
  const std::string b = file("b.ghost", ghostFileText(faster, "Circle", 3));
  EXPECT_NE(run({"compare", a, b, "--lap", "2"}).out.find("\nB against A, lap 2: -1.000 s (B ahead)\n"),
            std::string::npos);
  EXPECT_NE(run({"compare", a, b, "--lap", "3"}).out.find("\nB against A, lap 3: 0.000 s (level)\n"),
            std::string::npos);
  EXPECT_NE(run({"compare", a, b, "--best"})
                .out.find("\nB's best lap (2) against A's best lap (1): -1.000 s (B's lap 2 ahead)\n"),
            std::string::npos);
  const Outcome json = run({"compare", a, b, "--sectors", "4", "--json"});
  EXPECT_EQ(json.status, 0);
  EXPECT_NE(json.out.find("\"sectors_per_lap\": 4,\n  \"total_s\": -1,\n"), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("{\"lap\": 2, \"b_lap\": 2, \"a_s\": 20, \"b_s\": 19, \"delta_s\": -1}"), std::string::npos);
  EXPECT_NE(json.out.find("{\"lap\": 2, \"b_lap\": 2, \"sector\": 4, \"from\": 0.75, \"to\": 1, \"a_s\": 5, "
                          "\"b_s\": 4.75, \"delta_s\": -0.25}"),
            std::string::npos)
      << json.out;
  EXPECT_NE(run({"plot", a, b, "-o", "-", "--lap", "2"}).out.find(">Lumaro ghost comparison: Circle, lap 2<"),
            std::string::npos);
  EXPECT_NE(run({"plot", a, b, "-o", "-", "--lap", "2"})
                .out.find(">end of lap 2 \xE2\x88\x92"
                          "1.000 s<"),
            std::string::npos);
  // html takes lap pairs too: the first lap named is the page's first run.
  const std::string page = run({"html", a, b, "-o", "-", "--lap", "B:2,A:1"}).out;
  EXPECT_NE(page.find("\"runs\":[\n{\"letter\":\"B\",\"name\":\"B:2\""), std::string::npos);
  EXPECT_NE(page.find("\n{\"letter\":\"A\",\"name\":\"A:1\""), std::string::npos);
  EXPECT_NE(run({"html", b, "-o", "-", "--lap", "A:3,A:2"}).out.find("{\"lap\":3,\"label\":\"3/2\""),
            std::string::npos);
  // The theoretical best lap on either side, in compare and plot alike.
  EXPECT_NE(
      run({"compare", a, b, "--lap", "A:1,theoretical"})
          .out.find("\nthe theoretical best lap (T) against A's lap 1: -1.000 s (the theoretical best lap (T) ahead)"),
      std::string::npos);
  EXPECT_NE(run({"plot", a, b, "-o", "-", "--lap", "A:1,theoretical"})
                .out.find(">Lumaro ghost comparison: Circle, the theoretical best lap (T) against A's lap 1<"),
            std::string::npos);
  // Any lap against any other, of either run or two of one; the reference lap as named.
  EXPECT_NE(run({"compare", a, b, "--lap", "A:1,B:2"})
                .out.find("\nB's lap 2 against A's lap 1: -1.000 s (B's lap 2 ahead)\n"),
            std::string::npos);
  EXPECT_NE(
      run({"compare", b, "--lap", "a:2,A:3"}).out.find("\nA's lap 3 against A's lap 2: +1.000 s (A's lap 3 behind)\n"),
      std::string::npos);
  // The first lap named is the reference side, in every text and in the JSON's a.
  const Outcome swapped = run({"compare", a, b, "--lap", "B:2,A:1", "--json"});
  EXPECT_NE(swapped.out.find("\"a\": {\"run\": \"B\""), std::string::npos) << swapped.out;
  EXPECT_NE(swapped.out.find("\"total_s\": 1,"), std::string::npos);
  const std::string picture = run({"plot", a, b, "-o", "-", "--lap", "B:2,A:1"}).out;
  for (const char* text : {">B:2's line<", ">A:1's line, against B:2 there:<",
                           ">ghost delta, A:1 \xE2\x88\x92 B:2 (s)<", "the ghost delta: A:1's time less B:2's"}) {
    EXPECT_NE(picture.find(text), std::string::npos) << text;
  }
  EXPECT_NE(run({"plot", a, b, "-o", "-", "--lap", "B:2,theoretical"}).out.find(">T: the theoretical best lap<"),
            std::string::npos);
  EXPECT_NE(run({"compare", a, b, "--lap", "theoretical,B:2", "--json"}).out.find("\"a\": {\"run\": \"T\""),
            std::string::npos);
  const std::string named = run({"compare", a, b, "--lap", "B:2,A:1"}).out;
  EXPECT_NE(
      named.find(
          "\nA's lap 1 against B's lap 2: +1.000 s (A's lap 1 behind)\n\n lap         B:2         A:1   A:1 - B:2\n"),
      std::string::npos)
      << named;
  EXPECT_NE(named.find("Largest loss: 0.100 s in A's lap 1 between"), std::string::npos) << named;
  EXPECT_NE(
      run({"compare", a, b, "--ref", "B:2"}).out.find("nearest point of B's lap 2 (6283.2 units, named by --ref)"),
      std::string::npos);
  EXPECT_NE(run({"compare", a, b, "--lap", "A:best,B:best"})
                .out.find("\nB's lap 2 against A's lap 1: -1.000 s (B's lap 2 ahead)\n"),
            std::string::npos);
  EXPECT_NE(run({"compare", a, b, "--lap", "theoretical,B:3"})
                .out.find("\nB's lap 3 against the theoretical best lap (T): +1.000 s (B's lap 3 behind)\n"),
            std::string::npos);
  EXPECT_EQ(run({"compare", a, b, "--ref", "C:1"}).err, "lumaro-ghost compare: there is no run C: 2 files are given\n");
  EXPECT_EQ(run({"compare", a, b, "--lap", "A:2,B:0"}).status, 2);
  // The trace at every sector line and 30 times within each: 3 laps of 4 sectors, the finish 1 s ahead.
  const Outcome csv = run({"compare", a, b, "--sectors", "4", "--csv"});
  EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 1 + 3 * 4 * 30 + 1);
  EXPECT_EQ(
      csv.out.rfind("distance,lap_a,lap_b,share,a_s,b_s,delta_s,a_speed,b_speed,ghost_delta_s\n0,1,1,0,0,0,0,314.", 0),
      0u)
      << csv.out.substr(0, 200);
  EXPECT_NE(csv.out.find("\n18849.6,3,3,1,60,59,-1,314."), std::string::npos) << csv.out.substr(csv.out.size() - 200);
  EXPECT_NE(json.out.find("\"trace\": [\n    {\"distance\": 0, \"lap_a\": 1, \"lap_b\": 1, \"share\": 0, \"a_s\": 0,"),
            std::string::npos);
  const Outcome missing = run({"compare", a, b, "--lap", "4"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "lumaro-ghost compare: there is no lap 4 in A, which holds 3 laps\n");
  EXPECT_EQ(run({"compare", a, b, "--lap", "2", "--best"}).status, 2);
  EXPECT_EQ(run({"compare", a, b, "--sectors", "101"}).status, 2);
}

TEST_F(GhostTool, ARunCutShortIsComparedAsFarAsBothDroveAndFailsUnlessForced) {
  // B loses 0.5 s over 10-30% of lossLap; its file keeps the share kept of its frames.
  const struct {
    int laps;
    double kept;
    int lossLap;
    const char* compared;  // what B's note says is compared
  } cuts[] = {{3, 0.2, 1, "no lap is compared, since not every run completes one"},
              {1, 0.8, 1, "no lap is compared, since not every run completes one"},
              {3, 0.7, 2, "laps 1 and 2, which every run completes, are compared"},
              {3, 1.0, 2, nullptr}};
  for (const auto& cut : cuts) {
    SCOPED_TRACE(cut.kept);
    const std::string a = file("a.ghost", ghostFileText(steadyCircle(1000.0, 20.0, cut.laps, 16), "Circle", cut.laps));
    const std::string b = file(
        "b.ghost",
        ghostFileText(circleWithLoss(20.0, cut.laps, 8, 0.5, cut.lossLap, 0.1, 0.3, cut.kept), "Circle", cut.laps));
    Outcome outcome = run({"compare", a, b});
    EXPECT_EQ(outcome.status, cut.compared ? 1 : 0);
    EXPECT_EQ(outcome.out.find(std::string("run ended early): ") + (cut.compared ? cut.compared : "") + "\n") !=
                  std::string::npos,
              cut.compared != nullptr)
        << outcome.out;
    // The planted 0.5 s: where B ends, or over the laps both complete.
    EXPECT_NE(outcome.out.find(cut.kept < 1 ? " into the lap (" : "B against A: +0.500 s (B behind)\n"),
              std::string::npos);
    EXPECT_NE(outcome.out.find(cut.kept < 1 ? " units): +0.500 s (B behind); lap " : "\n"), std::string::npos)
        << outcome.out;
    outcome = run({"compare", a, b, "--json", "--force"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.out.find(cut.compared ? "\"compared\": \"completed\"" : "\"compared\": \"all\""),
              std::string::npos);
    for (const char* command : {"plot", "html"})
      EXPECT_EQ(run({command, a, b, "-o", "-"}).status, cut.compared ? 1 : 0);
    for (const char* command : {"plot", "html"})
      EXPECT_EQ(run({command, a, b, "-o", "-", "--force"}).out.find("Nothing can be compared") != std::string::npos,
                cut.compared != nullptr && cut.compared[0] == 'n')
          << command;
  }
  // A cut run that is not compared is not named, and its laps are not what the note names.
  const std::string a = file("a.ghost", ghostFileText(steadyCircle(1000.0, 20.0, 3, 16), "Circle", 3));
  const std::string b = file("b.ghost", ghostFileText(circleWithLoss(20.0, 3, 8, 0.5, 2, 0.4, 0.6, 0.7), "Circle", 3));
  Outcome outcome = run({"compare", a, b, "--lap", "A:1,A:3"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_EQ(outcome.out.find("B completes"), std::string::npos);
  outcome = run({"compare", a, b, "--lap", "B:2,A:1"});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.out.find("early): A's lap 1 against B's lap 2 is compared\n"), std::string::npos) << outcome.out;
  // Laps compared short of the header's end at a lap line; three runs end apart, none named as the runs'.
  EXPECT_NE(run({"plot", a, b, "-o", "-", "--force"}).out.find(">end of lap 2 +0.500 s<"), std::string::npos);
  EXPECT_EQ(run({"plot", a, a, b, "-o", "-", "--force"}).out.find(">finish "), std::string::npos);
  // C loses 1 s in lap 3, which cut B does not drive: only B's loss lies in the laps drawn, and C's curve ends
  // at their end, the axis's right end (1052 in an 1100-wide picture).
  const std::string c = file("c.ghost", ghostFileText(circleWithLoss(20.0, 3, 8, 1.0, 3, 0.6, 0.7), "Circle", 3));
  const std::string three = run({"plot", a, b, c, "-o", "-", "--force"}).out;
  EXPECT_NE(three.find(" s (B, lap 2, "), std::string::npos);
  const std::size_t curve = three.rfind("<polyline points=\"", three.find("id=\"delta-curve-3\""));
  const std::string points = three.substr(curve, three.find('"', curve + 18) - curve);
  EXPECT_LE(std::stod(points.substr(points.rfind(' ') + 1)), 1052.5) << points.substr(points.rfind(' '));
}

TEST_F(GhostTool, ALapNoCarCanHaveDrivenIsACheckProblemAndANoteAndNeverABestLap) {
  // A 20 s lap, then three frames 1300 units ahead, back behind the line and over it again, then laps.
  auto forged = [](std::vector<GhostFrame> frames, int lapsAfter) {
    GhostFrame frame = frames.back();
    for (const auto& [ms, y] : {std::pair{10, 1300.0f}, {10, -20.0f}, {8, 5.0f}})
      frame.time += ms, frame.y = y, frames.push_back(frame);
    const std::vector<GhostFrame> after = steadyCircle(1000.0, 20.0, lapsAfter, 10);
    for (std::size_t i = 1; i < after.size(); ++i) frames.push_back(after[i]), frames.back().time += frame.time;
    return frames;
  };
  const std::string two = file("two.ghost", ghostFileText(forged(twentySecondLap(10), 0), "Circle", 2));
  const std::string reason =
      "lap 2 cannot have been driven: it takes 0.026 s, less than 25% of the median lap time "
      "(20.000 s)";
  EXPECT_EQ(run({"check", two}), (Outcome{1, two + ": " + reason + "\n", ""}));
  Outcome outcome = run({"info", two});
  EXPECT_NE(outcome.out.find(" 20.000 s, 0.026 s (best: lap 1)\n  not driven " + reason), std::string::npos);
  EXPECT_NE(outcome.out.find("  in theory  20.000 s a lap"), std::string::npos) << outcome.out;
  const std::string a = file("a.ghost", ghostFileText(steadyCircle(1000.0, 20.0, 3, 10), "Circle", 3));
  const std::string b = file("b.ghost", ghostFileText(forged(twentySecondLap(10), 1), "Circle", 3));
  outcome = run({"compare", a, b});
  EXPECT_NE(outcome.out.find("\nB's " + reason + "; it is no best lap and no part of the theoretical best\n"),
            std::string::npos);
  EXPECT_NE(outcome.out.find(" s (no verdict: a lap compared cannot have been driven)\n"), std::string::npos);
  EXPECT_NE(outcome.out.find("Theoretical best lap: 20.000 s"), std::string::npos);
  EXPECT_NE(outcome.out.find("Largest gain: none"), std::string::npos) << outcome.out;
  for (const char* command : {"plot", "html"})
    EXPECT_NE(run({command, a, b, "-o", "-"}).out.find("B's " + reason), std::string::npos) << command;
  // Times that stand still or run backwards: no lap, no speed, no theoretical best.
  std::vector<GhostFrame> still = twentySecondLap(10), backwards = still;
  for (GhostFrame& frame : still) frame.time = 0;
  for (GhostFrame& frame : backwards) frame.time = 20000 - frame.time;
  const std::string zero = file("zero.ghost", ghostFileText(still));
  EXPECT_EQ(run({"check", zero}).out,
            zero + ": lap 1 cannot have been driven: it takes 0.000 s (its frames' times stand still)\n");
  EXPECT_NE(run({"info", zero}).out.find("speed      none: its last frame's time is not past its first's\n"),
            std::string::npos);
  outcome = run({"html", file("back.ghost", ghostFileText(backwards)), "-o", "-"});
  EXPECT_NE(outcome.out.find("takes -20.000 s (its frames' times run backwards)"), std::string::npos);
  EXPECT_NE(outcome.out.find("\"best\":null"), std::string::npos);
}

TEST_F(GhostTool, RunsOfTwoTracksUnderOneMapNameAreSaidToBeSoAndFailOrAreNotDrawnUnlessForced) {
  // B sets off from A's line the same way, and drives on straight for 10000 units.
  std::vector<GhostFrame> other = straightRun(10000.0, 10.0);
  for (GhostFrame& frame : other) frame.y = frame.x, frame.x = 1000.0f;
  const std::string a = file("a.ghost", ghostFileText(twentySecondLap(10)));
  const std::string b = file("b.ghost", ghostFileText(other));
  Outcome outcome = run({"compare", a, b});
  EXPECT_EQ(outcome.status, 1);
  const std::string said =
      "the runs do not follow the same track: 75% or more of B's path and of A's lies more than 500 units from the "
      "other's (runs of two maps under one map name?)";
  EXPECT_NE(outcome.out.find("\n" + said + "\n"), std::string::npos) << outcome.out;
  EXPECT_EQ(outcome.out.find("does not finish"), std::string::npos);
  EXPECT_EQ(outcome.err,
            "lumaro-ghost compare: the runs do not follow the same track (--force compares them so and exits 0)\n");
  EXPECT_EQ(run({"compare", a, b, "--force"}).status, 0);
  // Mended: plot and html drew such runs together, with exit status 1 only.
  EXPECT_EQ(run({"html", a, b, "-o", "-"}), (Outcome{1, "",
                                                     "lumaro-ghost html: " + said +
                                                         "; they are not replayed together (--force replays them all "
                                                         "the same)\n"}));
  const std::string picture = (folder_.path() / "p.svg").string();
  EXPECT_EQ(run({"plot", a, b, "-o", picture}).err,
            "lumaro-ghost plot: " + said + "; they are not drawn together (--force draws them all the same)\n");
  EXPECT_FALSE(std::filesystem::exists(picture));
  EXPECT_EQ(run({"plot", a, b, "-o", picture, "--force"}).status, 0);
  EXPECT_TRUE(std::filesystem::exists(picture));
}

TEST_F(GhostTool, ControlBytesOfAFileReachTheTerminalOnlyAsEscapes) {
  // A shared file's names could otherwise retitle or clear the terminal of whoever looks at it.
  std::string text = ghostFileText(twentySecondLap(10), "Cir\tcle", 1, "A\x1b]0;owned\x07nn\xC2\x9B\xE2\x80\xAE\xFF");
  const std::string runTime = "20000";
  text.replace(text.find(runTime), runTime.size(), "\x1b[2J");
  const std::string ghost = file("odd.ghost", text);
  const auto onlyPrintable = [](const std::string& out) {
    return std::ranges::none_of(
        out, [](char c) { return (static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7F; });
  };
  Outcome outcome = run({"info", ghost});
  EXPECT_TRUE(onlyPrintable(outcome.out)) << outcome.out;
  EXPECT_NE(outcome.out.find("  map        Cir\\tcle\n  player     A\\x1b]0;owned\\x07nn\\u009b\\u202e\\xff\n"),
            std::string::npos)
      << outcome.out;
  outcome = run({"check", ghost});
  EXPECT_TRUE(onlyPrintable(outcome.out)) << outcome.out;
  EXPECT_NE(outcome.out.find("the run time \"\\x1b[2J\" is not a number"), std::string::npos) << outcome.out;
  outcome = run({"compare", ghost, ghost});
  EXPECT_TRUE(onlyPrintable(outcome.out)) << outcome.out;
  EXPECT_TRUE(onlyPrintable(run({"info", ghost, "--json"}).out));
  // The error stream too, and a name that would start a line of its own.
  const std::string forged = file("x\nMy-PB.ghost: no problem\n\xE2\x80\x8B.ghost", ghostFileText(twentySecondLap(10)));
  EXPECT_EQ(run({"compare", forged, ghost}).err,
            "lumaro-ghost compare: A is a run on Circle and B on Cir\\tcle: runs of "
            "different maps are not compared (--force compares them all the same)\n");
  outcome = run({"check", forged});
  EXPECT_EQ(outcome.out.rfind(folder_.path().string() + "/x\\nMy-PB.ghost: no problem\\n\\u200b.ghost: its file", 0),
            0u);
  EXPECT_EQ(std::ranges::count(outcome.out, '\n'), 1);
  EXPECT_EQ(run({"info", "no\nsuch\x1b"}).err,
            "lumaro-ghost info: no\\nsuch\\x1b cannot be opened: No such file or directory\n");
  // The picture's captions as the terminal shows them: a direction mark in a name turns nothing around.
  outcome = run({"plot", ghost, "-o", "-"});
  EXPECT_EQ(outcome.out.find("\xE2\x80\xAE"), std::string::npos);
  EXPECT_NE(outcome.out.find("A\\x1b]0;owned\\x07nn\\u009b\\u202e\\xff"), std::string::npos);
}

TEST(SizeText, WholeKilobytesBelowAMegabyte) {
  const struct {
    std::size_t bytes;
    const char* text;
  } sizes[] = {{0, "0 bytes"}, {1, "1 byte"},        {1023, "1023 bytes"}, {1024, "1 KB"},     {1535, "1 KB"},
               {1536, "2 KB"}, {1048063, "1023 KB"}, {1048064, "1.0 MB"},  {2516582, "2.4 MB"}};
  for (const auto& size : sizes) EXPECT_EQ(sizeText(size.bytes), size.text) << size.bytes;
}

TEST_F(GhostTool, AnyNameGivesAPictureOfCharactersXmlAccepts) {
  const std::string name = "\xEF\xBF\xBE\xEF\xBF\xBF\xC2\x85\x01\xFF<&";
  const std::string ghost = file(name + ".ghost", ghostFileText(twentySecondLap(10), name, 1, name));
  const Outcome outcome = run({"plot", ghost, ghost, "-o", "-"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  for (std::size_t at = 0; at < outcome.out.size();) {
    const CodePoint point = readCodePoint(outcome.out, at);
    ASSERT_NE(point.length, 0u) << at;
    ASSERT_TRUE(point.value == '\n' || (point.value >= 0x20 && point.value < 0x7F) ||
                (point.value > 0x9F && point.value < 0xFFFE && !(point.value >= 0xFDD0 && point.value <= 0xFDEF)))
        << at;
    at += point.length;
  }
}

TEST_F(GhostTool, PlotWritesTheSvgAndRefusesAFileWithoutAPathOrAGhostToWriteOver) {
  const std::string a = file("a.ghost", ghostFileText(twentySecondLap(10)));
  const std::string picture = (folder_.path() / "run.svg").string();
  Outcome written = run({"plot", a, "-o", picture});
  EXPECT_EQ(written.status, 0);
  // Mended: plot and html said nothing of what they wrote. Standard output, when the document goes there,
  // carries the document alone.
  EXPECT_EQ(written.out.rfind("Wrote the picture of 1 run to " + picture + " (SVG, ", 0), 0u) << written.out;
  EXPECT_EQ(written.out.substr(written.out.size() - 6), " KB).\n") << written.out;
  written = run({"plot", a, "-o", "-"});
  EXPECT_EQ(written.out.rfind("<?xml", 0), 0u);
  EXPECT_EQ(written.out.find("Wrote"), std::string::npos);
  EXPECT_EQ(written.err, "");
  // The extension in any case, a name with none (a pipe), and the dots and blanks Windows drops.
  for (const char* name : {"RUN.SVG", "run", "run.svg. "})
    EXPECT_EQ(run({"plot", a, "-o", (folder_.path() / name).string()}).status, 0) << name;
  const std::string page = (folder_.path() / "replay.htm").string();
  EXPECT_EQ(run({"html", a, a, "-o", page}).out.rfind("Wrote the replay page of 2 runs to " + page + " (HTML, ", 0),
            0u);
  // The board's page counts the runs it shows: a run in two files is one.
  const std::string board = (folder_.path() / "board.html").string();
  EXPECT_EQ(run({"board", a, a, "-o", board}).out.rfind("Wrote the board's page of 1 run to " + board + " (HTML, ", 0),
            0u);
  std::ifstream in(picture);
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
  const std::string empty = file("empty.ghost", "Circle,Ann,0,1-Lap,1.1\n");
  const Outcome outcome = run({"plot", a, empty, "-o", picture});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "lumaro-ghost plot: " + empty + " holds no path to use: the import would load 0 frames\n");
  // A slip of -o costs no run: neither a file named as a ghost nor one of the runs (however named) is replaced.
  const std::string friends = file("Friend.GHOST", "kept");
  EXPECT_EQ(run({"html", a, "-o", friends}).err,
            "lumaro-ghost html: -o " + friends +
                " is a ghost file: the page is never written over one (lumaro-ghost html --help)\n");
  // Judged by the file the name would write: a link to a ghost, or the ghost's name with the dots and blanks
  // that Windows drops; a second name of a ghost is replaced, never written through.
  // A ghost by its header under any name is one too, and so is what a link to it leads to.
  std::filesystem::create_symlink(friends, folder_.path() / "link.svg");
  std::filesystem::create_hard_link(friends, folder_.path() / "hard.svg");
  const std::string renamed = file("Friend.svg", ghostFileText(twentySecondLap(10)));
  std::filesystem::create_symlink(renamed, folder_.path() / "renamed-link.svg");
  // The page lists a header whose lap count is any leading number ("1 Lap"), so -o spares it too.
  const std::string spelt = file("Backup.svg", "Circle,Bo,19512,1 Lap,1.1\n0,0.00,0.00,0.00,0,0,0\n");
  for (const std::string& name : {(folder_.path() / "link.svg").string(), friends + ".", friends + " . ", renamed,
                                  (folder_.path() / "renamed-link.svg").string(), spelt})
    EXPECT_EQ(run({"plot", a, "-o", name}).status, 2) << name;
  EXPECT_EQ(run({"plot", a, "-o", (folder_.path() / "hard.svg").string()}).status, 0);
  // The page reads a header of at most 4096 bytes: one a byte longer is no ghost to it, nor to -o.
  const std::string header = "Circle,Bo,19512,1-Lap,";
  for (const std::size_t length : {4096, 4097}) {
    const std::string name = file("long" + std::to_string(length), header + std::string(length - 22, '1') + "\r\n");
    EXPECT_EQ(run({"plot", a, "-o", name}).status, length == 4096 ? 2 : 0) << length;
  }
  const std::string own = file("own.svg", ghostFileText(twentySecondLap(10)));
  EXPECT_EQ(run({"plot", own, "-o", (folder_.path() / "." / "own.svg").string()}).status, 2);
  std::ifstream kept(friends), ownRun(own);
  EXPECT_TRUE(std::getline(kept, first) && first == "kept" && std::getline(ownRun, first) &&
              first.find("Circle,") == 0);
}
