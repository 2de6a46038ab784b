// The scenario language: how lines are cut into words, how each step reads, and how mistakes are reported.
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "support/NamesWord.h"
#include "support/TempFolder.h"
#include "tools/host/Options.h"
#include "tools/host/Runner.h"
#include "tools/host/ScenarioTick.h"
#include "tools/host/Script.h"
#include "tools/host/TextFile.h"
#include "tools/host/TextMatcher.h"
#include "tools/host/Words.h"

using namespace lumaro_host;

namespace {

Step stepOf(std::string_view line) {
  ParsedLine parsed = parseStep(line, 7);
  EXPECT_EQ(parsed.error, "") << line;
  EXPECT_TRUE(parsed.step.has_value()) << line;
  return parsed.step.value_or(Step{});
}

std::string errorOf(std::string_view line) { return parseStep(line, 1).error; }

TEST(Words, QuotesGroupBlanksAndCommentsEndTheLine) {
  EXPECT_EQ(splitWords(R"(expect console "Race ended in 01:00:008." # the finish)").words,
            (std::vector<std::string>{"expect", "console", "Race ended in 01:00:008."}));
  EXPECT_EQ(splitWords(R"(a "say \"hi\" \\ now" 'lm_lapNbr = "3"' "#kept" x#y)").words,
            (std::vector<std::string>{"a", "say \"hi\" \\ now", "lm_lapNbr = \"3\"", "#kept", "x#y"}));
  EXPECT_EQ(splitWords(R"(pick-ghost " " "")").words, (std::vector<std::string>{"pick-ghost", " ", ""}));
  EXPECT_EQ(splitWords("map  speedway\r").words, (std::vector<std::string>{"map", "speedway"}));
  EXPECT_EQ(splitWords(R"(expect console "open)").error, "a double quote is not closed");
  EXPECT_EQ(splitWords("expect console 'open").error, "a single quote is not closed");
}

TEST(Words, AByteOrderMarkAtTheStartOfAFileIsNoPartOfItsFirstLine) {
  // Editors on Windows may save UTF-8 with one; the first step or map entry must still read.
  const Script script = parseScript("\xEF\xBB\xBFmap speedway\nwait 1\n", "bom.scenario");
  EXPECT_TRUE(script.errors.empty()) << script.errors.front();
  EXPECT_EQ(script.steps.size(), 2u);
  EXPECT_EQ(withoutByteOrderMark("\xEF\xBB\xBF\xEF\xBB\xBFx"), "\xEF\xBB\xBFx");
  EXPECT_EQ(withoutByteOrderMark("\xEF\xBBx"), "\xEF\xBBx");
}

TEST(Steps, AConsoleLineIsTypedExactlyAsWritten) {
  // No quoting rules and no comments: the console does its own cutting.
  for (const char* line : {R"(lm_ghostfilepath "My-PB.ghost")", "lm_color #FF0000", R"(lm_log "unclosed)",
                           "lm_lapNbr 3   # not a comment"}) {
    const Step step = stepOf(std::string("  console ") + line + "  ");
    EXPECT_EQ(std::get<TypeConsole>(step.action).line, line);
  }
  EXPECT_EQ(errorOf("console"), "expected: console LINE");
}

TEST(Steps, BlankAndCommentLinesAreNoSteps) {
  for (const char* line : {"", "   ", "# a comment", "   # indented comment", "\r"}) {
    const ParsedLine parsed = parseStep(line, 1);
    EXPECT_FALSE(parsed.step.has_value()) << line;
    EXPECT_EQ(parsed.error, "") << line;
  }
}

TEST(Steps, DriveReadsLapsOrSecondsAndItsOptions) {
  const Step laps = stepOf("drive 3 laps lap-time 20 vary 2% seed 7 run-out 0");
  const auto& drive = std::get<Drive>(laps.action);
  EXPECT_EQ(drive.laps, 3);
  EXPECT_EQ(drive.lapTime, 20.0);
  EXPECT_FALSE(drive.speed.has_value());
  EXPECT_EQ(drive.variationPercent, 2.0);
  EXPECT_EQ(drive.seed, 7u);
  EXPECT_EQ(drive.runOut, 0.0);
  EXPECT_EQ(laps.line, 7);

  const Drive timed = std::get<Drive>(stepOf("drive 4.5 seconds speed 1800 vary 1").action);
  EXPECT_EQ(timed.laps, 0);
  EXPECT_EQ(timed.seconds, 4.5);
  EXPECT_EQ(timed.speed, 1800.0);
  EXPECT_EQ(timed.variationPercent, 1.0);
  EXPECT_EQ(std::get<Drive>(stepOf("drive 1 lap").action).runOut, 0.5);

  EXPECT_EQ(errorOf("drive 3 laps lap-time 20 speed 1000"), "give either a lap time or a speed, not both");
  EXPECT_EQ(errorOf("drive 2.5 laps"), "the number of laps must be a whole number, not \"2.5\"");
  EXPECT_EQ(errorOf("drive 3 miles"), "drive needs laps or seconds after the number, not \"miles\"");
  EXPECT_EQ(errorOf("drive 3 s run-out 1"), "run-out applies to a drive of laps only");
  EXPECT_EQ(errorOf("drive 1 lap vary 100%"), "the variation must be from 0% to below 100%, not \"100%\"");
  EXPECT_EQ(errorOf("drive 1 lap speed"), "\"speed\" needs a value");
  // The racing line, its mistakes and the phase, each with its range.
  const Drive racing =
      std::get<Drive>(stepOf("drive 3 laps lose 0.5 lap 2 42-58% wide 205 lap 2 40%-50% line -120 phase 1").action);
  EXPECT_FALSE(racing.racing.has_value());
  EXPECT_TRUE(racing.needsRacingLine());
  ASSERT_EQ(racing.mistakes.size(), 2u);
  EXPECT_EQ(racing.mistakes[0].lap, 2);
  EXPECT_DOUBLE_EQ(racing.mistakes[0].from, 0.42);
  EXPECT_DOUBLE_EQ(racing.mistakes[0].to, 0.58);
  EXPECT_EQ(racing.mistakes[0].lostSeconds, 0.5);
  EXPECT_EQ(racing.mistakes[1].wideBy, 205.0);
  EXPECT_EQ(racing.lineOffset, -120.0);
  EXPECT_EQ(racing.phase, 1.0);
  EXPECT_EQ(std::get<Drive>(stepOf("drive 1 lap style racing line 1000 wide 1 lap 1 0-100%").action).racing, true);
  EXPECT_EQ(errorOf("drive 1 lap style steady lose 1 lap 1 0-10%"),
            "line, lose and wide drive the racing line: they do not go with style steady");
  EXPECT_EQ(errorOf("drive 1 lap style fast"), "the style is racing or steady, not \"fast\"");
  EXPECT_EQ(errorOf("drive 1 lap line 1000.5"), "the line's offset must be from -1000 to 1000 units, not \"1000.5\"");
  EXPECT_EQ(errorOf("drive 1 lap phase 1.01"), "the phase must be from 0 to 1 (of a game tick), not \"1.01\"");
  EXPECT_EQ(errorOf("drive 1 lap lose 60.5 lap 1 0-10%"), "the time lost must be from 0.001 to 60 s, not \"60.5\"");
  EXPECT_EQ(errorOf("drive 1 lap wide 0.5 lap 1 0-10%"), "how far wide must be from 1 to 1000 units, not \"0.5\"");
  EXPECT_EQ(errorOf("drive 1 lap lose 1 lap 0 0-10%"), "the lap of a mistake must be from 1 to 1000, not \"0\"");
  EXPECT_EQ(errorOf("drive 1 lap lose 1 lap 1 50-50%"), "the stretch \"50-50%\" must end after it starts");
  EXPECT_EQ(errorOf("drive 1 lap lose 1 lap 1 0-101%"),
            "the stretch \"0-101%\"'s end must be from 0 to 100%, not \"101\"");
  EXPECT_EQ(errorOf("drive 1 lap lose 1 lap 1 10-20"), "the stretch \"10-20\" must be FROM-TO% of the lap, as 42-58%");
  EXPECT_EQ(errorOf("drive 1 lap lose 1 round 1 10-20%"), "expected: lose SECONDS lap N FROM-TO%");
  EXPECT_EQ(errorOf("drive 1 lap lose 1 lap 1 0-10% lose 2 lap 1 50-60%"), "lap 1 has a lose already");
}

TEST(Steps, EveryNumberIsReadAgainstItsStatedRange) {
  // The last value inside each range reads; the first outside it is refused, and so are the values that
  // hung a run, wrote hundreds of MB in a tick or let no time pass at all.
  for (const char* line : {"wait 0.001", "wait 3600", "wait 1000000 ticks", "drive 3600 seconds", "drive 1000 laps",
                           "drive 1 lap lap-time 1 run-out 60", "drive 1 lap speed 100000 seed 18446744073709551615",
                           "expect writes GhostPosition at-least 1000000000"}) {
    EXPECT_EQ(errorOf(line), "") << line;
  }
  const std::pair<const char*, const char*> refused[] = {
      {"drive 1 laps lap-time 1e-300", "the lap time must be from 1 to 3600 s, not \"1e-300\""},
      {"drive 1 lap lap-time 0.999", "the lap time must be from 1 to 3600 s, not \"0.999\""},
      {"drive 1 lap speed 1e300", "the speed must be from 1 to 100000 units/s, not \"1e300\""},
      {"drive 1 lap speed 1e-300", "the speed must be from 1 to 100000 units/s, not \"1e-300\""},
      {"drive 1 lap speed 1e999", "the speed must be from 1 to 100000 units/s, not \"1e999\""},
      {"wait 1e7", "the waiting time must be from 0.001 to 3600 s, not \"1e7\""},
      {"wait 1e12", "the waiting time must be from 0.001 to 3600 s, not \"1e12\""},
      {"wait 3600.001", "the waiting time must be from 0.001 to 3600 s, not \"3600.001\""},
      {"wait 0", "the waiting time must be from 0.001 to 3600 s, not \"0\""},
      {"wait \" 4\"", "the waiting time must be a number, not \" 4\""},
      {"wait 0x10", "the waiting time must be a number, not \"0x10\""},
      {"wait 1000001 ticks", "the number of ticks must be from 1 to 1000000, not \"1000001\""},
      {"drive 1e12 seconds", "the driving time must be from 0.001 to 3600 s, not \"1e12\""},
      {"drive 1 lap run-out 1e300", "the run-out must be from 0 to 60 s, not \"1e300\""},
      {"drive 1001 laps", "the number of laps must be from 1 to 1000, not \"1001\""},
      {"drive 1 lap seed 18446744073709551616",
       "the seed must be from 0 to 18446744073709551615, not \"18446744073709551616\""},
      {"expect writes GhostPosition at-least 1000000001",
       "the number of writes must be from 0 to 1000000000, not \"1000000001\""},
  };
  for (const auto& [line, error] : refused) EXPECT_EQ(errorOf(line), error) << line;
}

TEST(Steps, WaitIsInSecondsOrTicks) {
  EXPECT_EQ(std::get<Wait>(stepOf("wait 0.2").action).seconds, 0.2);
  EXPECT_EQ(std::get<Wait>(stepOf("wait 2 seconds").action).seconds, 2.0);
  const Wait ticks = std::get<Wait>(stepOf("wait 3 ticks").action);
  EXPECT_EQ(ticks.ticks, 3);
  EXPECT_EQ(errorOf("wait 1.5 ticks"), "the number of ticks must be a whole number, not \"1.5\"");
  // Every unit word the help names, and a wait counts no laps nor a drive ticks.
  for (const char* unit : {"s", "sec", "second"}) {
    EXPECT_EQ(std::get<Wait>(stepOf(std::string("wait 2 ") + unit).action).seconds, 2.0) << unit;
    EXPECT_EQ(std::get<Drive>(stepOf(std::string("drive 2 ") + unit).action).seconds, 2.0) << unit;
  }
  EXPECT_EQ(std::get<Wait>(stepOf("wait 1 tick").action).ticks, 1);
  EXPECT_EQ(std::get<Drive>(stepOf("drive 1 lap").action).laps, 1);
  EXPECT_EQ(errorOf("wait 2 laps"), "wait needs seconds or ticks after the number, not \"laps\"");
  EXPECT_EQ(errorOf("drive 2 ticks"), "drive needs laps or seconds after the number, not \"ticks\"");
}

TEST(Steps, Expectations) {
  const Expect exact = std::get<Expect>(stepOf(R"(expect console "Race started.")").action);
  EXPECT_EQ(exact.what, Expect::What::ConsoleLine);
  EXPECT_EQ(exact.matcher.mode, TextMatcher::Mode::Exact);
  EXPECT_TRUE(exact.matcher.accepts("Race started."));
  EXPECT_FALSE(exact.matcher.accepts("Race started. "));

  const Expect matching =
      std::get<Expect>(stepOf(R"(expect console matching "Race ended in 00:0[12]:\d{3}\.")").action);
  EXPECT_TRUE(matching.matcher.accepts("Race ended in 00:02:008."));
  EXPECT_FALSE(matching.matcher.accepts("Race ended in 00:02:008. later"));

  // "containing" is a mode only when a text follows it; alone it is the text.
  const Expect cvar = std::get<Expect>(stepOf("expect cvar lm_log containing").action);
  EXPECT_EQ(cvar.subject, "lm_log");
  EXPECT_EQ(cvar.matcher.mode, TextMatcher::Mode::Exact);
  EXPECT_EQ(cvar.matcher.text, "containing");

  const Expect page = std::get<Expect>(stepOf(R"(expect page no-line containing "Ghost Color")").action);
  EXPECT_TRUE(page.onPage);
  EXPECT_EQ(page.what, Expect::What::NoLine);
  EXPECT_EQ(page.matcher.mode, TextMatcher::Mode::Containing);

  const Expect contains = std::get<Expect>(stepOf(R"(expect file "a b/x.ghost" contains ",1-Lap,")").action);
  EXPECT_EQ(contains.subject, "a b/x.ghost");
  EXPECT_EQ(contains.what, Expect::What::AnyLine);
  EXPECT_EQ(contains.matcher.mode, TextMatcher::Mode::Containing);

  const Expect vector = std::get<Expect>(stepOf("expect kismet GhostPosition 0 600 17").action);
  EXPECT_EQ(vector.values, (std::vector<std::string>{"0", "600", "17"}));
  EXPECT_EQ(std::get<Expect>(stepOf("expect writes GhostColor at-least 2").action).count, 2);

  EXPECT_EQ(errorOf(R"(expect console Race started.)"),
            "expected: expect console [containing|matching] TEXT (quote a text that has blanks)");
  EXPECT_EQ(errorOf(R"(expect console matching "(unclosed")"),
            R"(not a regular expression: "(unclosed": missing ): (unclosed)");
  // A linear-time engine: a long text against a nested repetition neither overflows the stack nor runs on.
  EXPECT_TRUE(
      std::get<Expect>(stepOf(R"(expect console matching "(a|b)*")").action).matcher.accepts(std::string(20000, 'a')));
  EXPECT_FALSE(
      std::get<Expect>(stepOf(R"(expect console matching "(.*)*x")").action).matcher.accepts(std::string(30, 'a')));
  EXPECT_EQ(errorOf("expect file x.ghost sideways"),
            "unknown file check \"sideways\"; expected: expect file PATH "
            "exists|missing|first-line|last-line|line|no-line [containing|matching] TEXT|contains TEXT");
  EXPECT_EQ(errorOf("expect weather sunny"),
            "unknown expectation \"weather\"; expected: expect console|no-console|cvar|file|page|kismet|writes ...");
}

TEST(Steps, TheOtherSteps) {
  EXPECT_EQ(std::get<LoadMap>(stepOf("map maps/speedway.map").action).file, "maps/speedway.map");
  EXPECT_TRUE(std::holds_alternative<LoadMainMenu>(stepOf("main-menu").action));
  EXPECT_EQ(std::get<SetPlayer>(stepOf(R"(player "Ann Lee")").action).name, "Ann Lee");
  EXPECT_EQ(std::get<Happen>(stepOf("respawn").action).event, GameEvent::Respawn);
  EXPECT_EQ(std::get<Happen>(stepOf("unpause").action).event, GameEvent::Unpause);
  const CopyFile copy = std::get<CopyFile>(stepOf("copy ghosts/Ann.ghost tessaro/data/Ghosts/").action);
  EXPECT_EQ(copy.source, "ghosts/Ann.ghost");
  EXPECT_EQ(copy.destination, "tessaro/data/Ghosts/");
  EXPECT_EQ(std::get<PickGhost>(stepOf(R"(pick-ghost "by Ann")").action).label, "by Ann");
  EXPECT_EQ(std::get<Show>(stepOf("show kismet").action).what, Report::Kismet);
  EXPECT_EQ(errorOf("respawn now"), "expected: respawn");
  EXPECT_EQ(errorOf("fly 3"), "unknown step \"fly\" (lumaro-host --help lists the steps)");
  EXPECT_EQ(errorOf("copy a.ghost /elsewhere/a.ghost"),
            "the destination of copy must lie inside the game root, not \"/elsewhere/a.ghost\"");
  EXPECT_EQ(errorOf("copy a.ghost tessaro/../../a.ghost"),
            "the destination of copy must lie inside the game root, not \"tessaro/../../a.ghost\"");
  EXPECT_EQ(errorOf("expect file ../a.ghost exists"),
            "the file of expect file must lie inside the game root, not \"../a.ghost\"");
  EXPECT_EQ(errorOf("expect file tessaro/../a.ghost exists"), "");
}

TEST(Scripts, EveryBadLineIsReportedWithItsNumberAndTheGoodOnesAreKept) {
  const Script script = parseScript(
      "# a scenario\n"
      "map speedway\n"
      "drive 3 lapz\n"
      "\n"
      "console lm_record\r\n"
      "expect console \"open\n"
      "wait 1\n"
      "expect console matching \"(a)\\\\1\"",
      "race.scenario");
  EXPECT_EQ(script.errors, (std::vector<std::string>{
                               "race.scenario:3: drive needs laps or seconds after the number, not \"lapz\"",
                               "race.scenario:6: a double quote is not closed",
                               "race.scenario:8: not a regular expression: \"(a)\\\\1\": invalid escape sequence: \\1",
                           }));
  ASSERT_EQ(script.steps.size(), 3u);
  EXPECT_EQ(script.steps[0].line, 2);
  EXPECT_EQ(script.steps[1].line, 5);
  EXPECT_EQ(std::get<TypeConsole>(script.steps[1].action).line, "lm_record");
  EXPECT_EQ(script.steps[2].line, 7);
  EXPECT_EQ(script.steps[2].text, "wait 1");
}

TEST(HelpText, DocumentsEveryStepWithAnExample) {
  const std::string help = helpText();
  for (const char* example : {"map speedway",
                              "main-menu",
                              "console lm_ghostfilepath \"My-PB.ghost\"",
                              "player Ann",
                              "drive 3 laps lap-time 20 vary 2% seed 7",
                              "drive 4.5 seconds speed 1800",
                              "drive 3 laps lap-time 20 style racing lose 0.5 lap 2 42-58% phase 0.5",
                              "reset-ball",
                              "respawn",
                              "remove-car",
                              "pause",
                              "wait 0.2",
                              "copy ghosts/Ann-Speedway-3.ghost tessaro/data/Ghosts/",
                              "pick-ghost \"by Ann\"",
                              "pick-ghost 'Ann(\\u202e'",
                              "show kismet",
                              "expect console \"Race started.\"",
                              "expect no-console containing \"Exported\"",
                              "expect cvar lm_isrecording 1",
                              "expect file tessaro/data/Ghosts/My-PB.ghost exists",
                              "expect page last-line \"9|Stopped ghost.\"",
                              "expect kismet GhostColor 10.999",
                              "expect writes GhostPosition at-least 100"}) {
    EXPECT_NE(help.find(example), std::string::npos) << example;
    // Every example in the help is itself a step that reads.
    const ParsedLine parsed = parseStep(example, 1);
    EXPECT_EQ(parsed.error, "") << example;
  }
}

// The help is written for people, but it names every word the parser takes: each option, each step with the
// words that say what it does, and the words of the prompt.
TEST(HelpText, NamesEveryOptionStepAndPromptWordTheParserTakes) {
  const std::string help = helpText();
  const std::string steps = help.substr(help.find("\nSteps:\n"));
  const std::vector<std::string> options = optionNames();
  ASSERT_FALSE(options.empty());
  for (const std::string& option : options) EXPECT_TRUE(namesWord(help, option)) << option;
  const std::vector<StepWords> words = stepWords();
  ASSERT_FALSE(words.empty());
  for (const StepWords& step : words) {
    EXPECT_TRUE(namesWord(steps, step.step)) << step.step;
    for (const std::string& word : step.words) EXPECT_TRUE(namesWord(steps, word)) << step.step << " " << word;
  }
  EXPECT_TRUE(namesWord(help, promptHelpWord));
  for (const std::string_view word : promptEndWords) EXPECT_TRUE(namesWord(help, word)) << word;
}

// Mended: the help said a planted loss may be any time above 0, where a drive refuses one under 0.001 s.
TEST(HelpText, StatesTheRangeALossIsReadIn) {
  EXPECT_NE(helpText().find("loses that much time (0.001 to 60 s)"), std::string::npos);
  EXPECT_NE(parseStep("drive 3 laps style racing lose 0.0009 lap 2 40-60%", 1).error, "");
  EXPECT_EQ(parseStep("drive 3 laps style racing lose 0.001 lap 2 40-60%", 1).error, "");
}

TEST(Options, TheCommandLine) {
  const ParsedOptions parsed =
      parseOptions({"--realtime", "--page", "--trace", "w.csv", "--tick-ms", "4", "run.scenario"});
  EXPECT_EQ(parsed.error, "");
  EXPECT_TRUE(parsed.options.realtime);
  EXPECT_TRUE(parsed.options.page);
  EXPECT_EQ(parsed.options.trace, std::filesystem::path("w.csv"));
  EXPECT_EQ(parsed.options.tickMilliseconds, 4.0);
  EXPECT_EQ(parsed.options.script, "run.scenario");
  EXPECT_EQ(parseOptions({"--root", "g", "--remove-root"}).error,
            "--remove-root removes only a fresh temporary root, not --root");
  EXPECT_TRUE(parseOptions({"--keep"}).options.keepRoot);
  EXPECT_EQ(parseOptions({"--keep", "--remove-root"}).error, "--keep and --remove-root contradict each other");
  EXPECT_EQ(parseOptions({"--plugin"}).error, "--plugin needs a value");
  EXPECT_EQ(parseOptions({"--fast"}).error, "unknown option --fast");
  EXPECT_EQ(parseOptions({"-"}).options.script, "-");
  EXPECT_EQ(parsed.options.hostCallMilliseconds, 0.0) << "host calls take no time unless asked";
  EXPECT_EQ(parseOptions({"--host-call-ms", "0.5"}).options.hostCallMilliseconds, 0.5);
  EXPECT_EQ(parseOptions({"--host-call-ms", "-1"}).error,
            "--host-call-ms takes a number of milliseconds from 0 to 100");
  EXPECT_EQ(parseOptions({"--chaos", "18446744073709551615"}).options.chaosSeed, 18446744073709551615u);
  for (const char* seed : {"18446744073709551616", " 4", "+4", "-1", ""}) {
    EXPECT_EQ(parseOptions({"--chaos", seed}).error,
              "--chaos takes a seed, a whole number from 0 to 18446744073709551615")
        << seed;
  }
  EXPECT_EQ(parseOptions({"--steps", "5"}).error, "--steps is the length of a chaos run; give --chaos SEED too");
  // --check-map takes every word up to the next option; one after that is a scenario, which it refuses.
  using Files = std::vector<std::string>;
  EXPECT_EQ(parseOptions({"--check-map", "a.map", "b.map", "-v"}).options.checkMaps, (Files{"a.map", "b.map"}));
  EXPECT_EQ(parseOptions({"--check-map"}).error, "--check-map needs a value");
  EXPECT_EQ(parseOptions({"--check-map", "a.map", "-v", "b.map"}).error,
            "--check-map checks map files and runs nothing: give no scenario with it");
  // An option of one value is given once; "--" ends the options; the first of --help and --version is answered,
  // and --version alone.
  EXPECT_EQ(parseOptions({"--tick-ms", "4", "--tick-ms", "8"}).error, "--tick-ms given twice");
  EXPECT_EQ(parseOptions({"--", "-odd.scenario"}).options.script, "-odd.scenario");
  EXPECT_TRUE(parseOptions({"--help", "--version"}).options.help);
  EXPECT_TRUE(parseOptions({"--version", "--help"}).options.version);
  EXPECT_FALSE(parseOptions({"--version", "--help"}).options.help);
  EXPECT_EQ(parseOptions({"--version", "extra"}).error, "give --version alone, not with \"extra\"");
  EXPECT_EQ(parseOptions({"--version", "--help", "extra"}).error, "give --version alone, not with \"extra\"");
  // A clash names the word that clashes.
  EXPECT_EQ(parseOptions({"--chaos", "1", "x.scenario"}).error,
            "--chaos makes up its own steps and runs in virtual time: give no scenario with it");
  EXPECT_EQ(parseOptions({"--chaos", "1", "--realtime"}).error,
            "--chaos makes up its own steps and runs in virtual time: give no --realtime with it");
  EXPECT_EQ(parseOptions({"--check-map", "a.map", "--svg", "p.svg"}).error,
            "--check-map checks map files and runs nothing: give no --svg with it");
}

TEST(Scripts, AFileLargerThanAnyScenarioIsRefusedAfterReadingTheLimit) {
  TempFolder folder;
  const std::filesystem::path file = folder.path() / "big.scenario";
  std::ofstream(file) << "map speedway" << std::string(maxTextFileBytes - 12, '\n');  // text to the limit
  EXPECT_EQ(readTextFile(file).text.size(), maxTextFileBytes);
  std::filesystem::resize_file(file, 400u << 20);  // sparse
  const TextFile read = readTextFile(file);
  EXPECT_EQ(read.error, "it holds more than 16 MiB, which no scenario or map file does");
  EXPECT_EQ(read.text, "");
}

}  // namespace
