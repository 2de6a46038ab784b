#include "GhostScenario.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "Checks.h"
#include "host/Values.h"
#include "sim/Console.h"

#if defined(_WIN32)
#  include <windows.h>
#endif

#include "library/platform/PathText.h"
#include "sim/Game.h"
#include "sim/PluginLoader.h"
#include "support/GhostList.h"

namespace {

constexpr int lapSteps = 90;        // ticks driven between the two crossings of the line
constexpr int pauseAfterStep = 40;  // the game is paused after this step's tick
constexpr double pauseSeconds = 0.75;

struct CarPose {
  Vector location;
  Rotator rotation;
};

// The car's path: locations whose hundredths sit on and near rounding boundaries (x.xx5, exact binary
// halves such as .125 and .375, tiny negatives), and rotations of both signs.
CarPose poseAt(int step) {
  const auto i = static_cast<float>(step);
  return {Vector{-1234.567f + 3.125f * i, 250.005f - 0.375f * i, step == 7 ? -0.001f : 17.0125f + 0.01f * i},
          Rotator{-91 + 7 * step, 16384 - 45 * step, step % 3 - 1}};
}

void driveLap(sim::Game& game) {
  for (int step = 0; step < lapSteps; ++step) {
    const CarPose pose = poseAt(step);
    game.placeCar(pose.location, pose.rotation);
    game.tick();
    if (step == pauseAfterStep) {
      game.setPaused(true);
      game.runFor(pauseSeconds);
      game.setPaused(false);
    }
  }
}

// --- What the run must give, worked out from the ticks the run takes. ---

// A span of 100-ns ticks as a run time: whole milliseconds, divided in single precision and truncated.
int runMilliseconds(std::int64_t ticks) { return static_cast<int>(static_cast<float>(ticks) / 10000.0f); }

// The part of the pause that still counts as run time. The stand-in host runs the pause in ticks of the
// usual length, the last one cut short where the pause ends; every paused tick leaves out its whole
// milliseconds only, so the sub-millisecond rest of each stays in the run.
std::int64_t pauseCountedAsRunTime(std::int64_t tickLength) {
  const auto pause = static_cast<std::int64_t>(pauseSeconds * 10'000'000.0);
  std::int64_t leftOut = 0;
  for (std::int64_t remaining = pause; remaining > 0;) {
    const std::int64_t slice = std::min(tickLength, remaining);
    leftOut += static_cast<std::int64_t>(runMilliseconds(slice)) * 10'000;
    remaining -= slice;
  }
  return pause - leftOut;
}

// minutes:seconds:milliseconds.
std::string raceTimeText(int milliseconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%03d", milliseconds / 60000, milliseconds / 1000 % 60,
                milliseconds % 1000);
  return text;
}

std::string frameLine(int time, const CarPose& pose) {
  char line[160];
  std::snprintf(line, sizeof line, "%d,%.2f,%.2f,%.2f,%d,%d,%d\r\n", time, static_cast<double>(pose.location.X),
                static_cast<double>(pose.location.Y), static_cast<double>(pose.location.Z), pose.rotation.Pitch,
                pose.rotation.Yaw, pose.rotation.Roll);
  return line;
}

struct ExpectedRun {
  std::vector<std::string> transcript;
  std::string ghostFile;
};

// The race starts on the first tick of the lap (frame 0). The watcher sees the second crossing on tick
// lapSteps and schedules the finish for the next tick; there the sampler, scheduled earlier, takes its
// frame first, and that frame's time is the race time. The finish freezes the run there: the sampler
// tick still pending appends nothing, so the race time is also the run time in the file's header. The car
// stands still after the lap.
ExpectedRun expectedRun(std::int64_t tickLength) {
  const std::int64_t pauseCounted = pauseCountedAsRunTime(tickLength);
  const auto frameTime = [&](int tick) {
    return runMilliseconds(tick * tickLength + (tick > pauseAfterStep ? pauseCounted : 0));
  };
  const int finishTick = lapSteps + 1;
  const int lastTick = finishTick;

  ExpectedRun run;
  run.transcript = {
      "Recording starts and ends when you cross the finish line.",
      "Race started.",
      "Race ended in " + raceTimeText(frameTime(finishTick)) + ".",
      "Exported to ./tessaro/data/Ghosts/CrossCheck.ghost.",
      "Imported CrossCheck.ghost.",
  };
  run.ghostFile = "CrossCheck,Player," + std::to_string(frameTime(lastTick)) + ",1-Lap,1.1\r\n";
  for (int tick = 0; tick <= lastTick; ++tick) {
    run.ghostFile += frameLine(frameTime(tick), poseAt(std::min(tick, lapSteps - 1)));
  }
  return run;
}

// A line as the report shows it: a CR is spelled out.
std::string shown(const std::string& line) {
  std::string text;
  for (const char c : line) text += c == '\r' ? std::string("\\r") : std::string(1, c);
  return text;
}

// "" when equal, otherwise where the texts first part, line by line.
std::string firstDifference(const std::string& actual, const std::string& expected) {
  std::size_t start = 0;
  for (int line = 1;; ++line) {
    const std::size_t actualEnd = std::min(actual.find('\n', start), actual.size());
    const std::size_t expectedEnd = std::min(expected.find('\n', start), expected.size());
    const std::string actualLine = actual.substr(start, actualEnd - start);
    const std::string expectedLine = expected.substr(start, expectedEnd - start);
    if (actualLine != expectedLine || (actualEnd == actual.size()) != (expectedEnd == expected.size())) {
      return "line " + std::to_string(line) + " is \"" + shown(actualLine) + "\", expected \"" + shown(expectedLine) +
             "\"";
    }
    if (actualEnd == actual.size()) return "";
    start = actualEnd + 1;
  }
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + '\n';
  return text;
}

// lm_open_folder hands the host's opener the ghost folder, the game's data folder joined with "Ghosts",
// as UTF-8 text, and says nothing.
void checkFolderOpened(sim::Game& game, Checks& checks) {
  const std::size_t linesBefore = game.console().lines().size();
  game.console().execute("lm_open_folder");
  const std::string separator(1, static_cast<char>(std::filesystem::path::preferred_separator));
  const std::string expected =
      utf8FromPath(game.root()) + separator + "tessaro" + separator + "data" + separator + "Ghosts";
  const std::vector<std::string>& opened = game.foldersOpened();
  checks.expect(opened.size() == 1 && opened[0] == expected,
                "lm_open_folder hands the host's opener the ghost folder as UTF-8: " +
                    (opened.empty() ? std::string("(nothing)") : opened.back()));
  if (!opened.empty()) {
    checks.expect(opened.back().find("sc\xc3\xa9nario") != std::string::npos,
                  "the \"\xc3\xa9\" in the game root's name reaches the opener as its two UTF-8 bytes");
    const std::u16string wide = utf16FromPath(pathFromUtf8(opened.back()));
    checks.expect(wide.find(u"sc\u00e9nario") != std::u16string::npos && wide == utf16FromPath(game.ghostFolder()),
                  "the folder's wide form, as the Windows shell gets it without a host opener, holds the "
                  "\"\xc3\xa9\" as one UTF-16 unit");
    const std::string what = "the path the opener received, read as UTF-8, is the ghost folder on disk";
    try {
      const std::u8string text(opened.back().begin(), opened.back().end());
      checks.expect(std::filesystem::is_directory(std::filesystem::path(text)), what);
    } catch (const std::exception& error) {
      checks.fail(what + ": " + error.what());
    }
  }
  checks.expect(game.console().lines().size() == linesBefore, "lm_open_folder says nothing");
}

// Ghosts named by players everywhere: each is exported under its UTF-8 name, found on disk under that name,
// offered by the page's list and picked from it, as on every platform.
void checkNonAsciiNames(sim::Game& game, Checks& checks) {
  sim::Console& console = game.console();
  const std::string names[] = {"Caf\xc3\xa9",
                               "Stra\xc3\x9f"
                               "e",
                               "\xe7\x8c\xab"};
  for (const std::string& name : names) {
    const std::size_t linesBefore = console.lines().size();
    console.execute("lm_export_filename \"" + name + "\"");
    console.execute("lm_export");
    const std::string file = name + ".ghost";
    checks.expect(console.lines().size() == linesBefore + 1 &&
                      console.lines().back() == "Exported to ./tessaro/data/Ghosts/" + file + ".",
                  "lm_export_filename " + name + " is exported as " + file);
    checks.expect(std::filesystem::is_regular_file(game.ghostFolder() / pathFromUtf8(file)),
                  file + " is on disk under its UTF-8 name");
  }
#if defined(_WIN32)
  // A name that is not UTF-8 names no Windows file: the export says so as it says any failure to write.
  console.execute("lm_export_filename \"Caf\xe9\"");
  console.execute("lm_export");
  checks.expect(
      console.lines().back() == "Could not export to ./tessaro/data/Ghosts/Caf\xe9.ghost: the name is not UTF-8 text.",
      "an export name that is not UTF-8 is reported as a failed export: " + console.lines().back());
#endif
  console.execute("lm_update_list");
  std::ifstream page(game.settingsPage(), std::ios::binary);
  const std::vector<std::string> listed =
      listedGhostFiles(std::string(std::istreambuf_iterator<char>(page), std::istreambuf_iterator<char>()));
  for (const std::string& name : names) {
    const std::string file = name + ".ghost";
    const bool isListed = std::find(listed.begin(), listed.end(), file) != listed.end();
    if (!checks.expect(isListed, "the page lists " + file)) continue;
    console.execute("lm_ghostfilepath \"" + file + "\"");
    checks.expect(console.lines().back() == "Imported " + file + ".",
                  "picking " + file + " imports it: " + console.lines().back());
  }
}

// The player's own paths: an absolute one and one stepping out and back read the ghost; a folder, judged by
// its open handle, is no ghost; on Windows a named pipe and the null device, in the device namespace, are
// refused unopened.
void checkSelections(sim::Game& game, Checks& checks) {
  std::filesystem::create_directory(game.ghostFolder() / "folder.ghost");
  const std::string absolute = utf8FromPath(game.ghostFolder() / "CrossCheck.ghost");
  std::vector<std::pair<std::string, std::string>> selections = {
      {absolute, "Imported " + absolute + "."},
      {"../Ghosts/CrossCheck.ghost", "Imported ../Ghosts/CrossCheck.ghost."},
      {"folder.ghost", "No Ghost found folder.ghost."}};
#if defined(_WIN32)
  const HANDLE pipe = CreateNamedPipeW(L"\\\\.\\pipe\\lumaro", PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
  for (const std::string device :
       {R"(\\.\pipe\lumaro)", R"(\\.\GLOBALROOT\Device\Null)", R"(\\?\GLOBALROOT\Device\Null)"}) {
    selections.emplace_back(
        device, "No Ghost found " + device +
                    R"(: the path is in Windows' device namespace (\\.\ or \\?\GLOBALROOT\), which is never opened.)");
  }
#endif
  for (const auto& [selection, expected] : selections) {
    game.console().setValue(*game.console().find("lm_ghostfilepath"), selection);
    const std::string said = game.console().lines().back();
    checks.expect(said == expected, "picking " + selection + ": " + said);
  }
#if defined(_WIN32)
  CloseHandle(pipe);
#endif
}

// A ghost of finite values near the float range's ends, shared by a stranger: playback writes only finite
// values to the ghost car's variables, where interpolating in floats overflows to infinities.
void checkFinitePlayback(sim::Game& game, Checks& checks) {
  std::ofstream(game.ghostFolder() / "Huge.ghost", std::ios::binary)
      << "CrossCheck,Eve,1000,1-Lap,1.1\r\n0,0,0,17,0,0,0\r\n8,3e38,0,17,0,3e38,0\r\n500,-3e38,0,17,0,-3e38,0\r\n"
         "1000,0,0,17,0,0,0\r\n";
  game.console().execute("lm_ghostfilepath Huge.ghost");
  const std::size_t before = game.kismetWrites().size();
  game.console().execute("lm_play");
  game.runTicks(40);
  bool finite = game.kismetWrites().size() > before + 40;
  for (std::size_t i = before; i < game.kismetWrites().size(); ++i) {
    const Vector& v = game.kismetWrites()[i].vectorValue;
    finite = finite && std::isfinite(v.X) && std::isfinite(v.Y) && std::isfinite(v.Z);
  }
  checks.expect(finite, "a ghost of values near the float range's ends is played at finite places only");
}

}  // namespace

void runGhostScenario(const std::filesystem::path& plugin, const std::filesystem::path& root,
                      const std::filesystem::path& ghostCopy, Checks& checks) {
  sim::Game game(std::filesystem::absolute(root / std::filesystem::path(u8"sc\u00e9nario")));
  sim::Console& console = game.console();
  sim::LoadedPlugin loaded(std::filesystem::absolute(plugin), game);

  game.loadMap(sim::workshopMap("CrossCheck"));
  game.runFor(0.5);
  console.execute("lm_lapNbr 1");
  console.execute("lm_export_filename CrossCheck");
  console.execute("lm_record");
  game.placeCar(Vector{-1240.0f, 250.0f, 17.0f}, Rotator{});
  game.runTicks(3);
  game.crossStartLine();
  driveLap(game);
  game.crossStartLine();
  game.runTicks(5);
  console.execute("lm_export");
  console.execute("lm_ghostfilepath CrossCheck.ghost");
  game.runFor(0.5);
  checkFolderOpened(game, checks);
  const std::string transcript = joinLines(console.lines());
  checkSelections(game, checks);
  checkNonAsciiNames(game, checks);
  checkFinitePlayback(game, checks);
  loaded.unload();

  const ExpectedRun expected = expectedRun(game.tickLength());
  const std::string transcriptDifference = firstDifference(transcript, joinLines(expected.transcript));
  checks.expect(transcriptDifference.empty(),
                "the console shows the recording, the race's start and finish, the export and the import" +
                    (transcriptDifference.empty() ? "" : ": " + transcriptDifference));
  std::ofstream(ghostCopy.string() + ".console", std::ios::binary) << transcript;

  std::ifstream ghost(game.ghostFolder() / "CrossCheck.ghost", std::ios::binary);
  if (!checks.expect(ghost.good(), "the ghost file exists")) return;
  const std::string bytes{std::istreambuf_iterator<char>(ghost), std::istreambuf_iterator<char>()};
  const std::string ghostDifference = firstDifference(bytes, expected.ghostFile);
  checks.expect(ghostDifference.empty(), "the ghost file holds the header and " + std::to_string(lapSteps + 3) +
                                             " frame lines, each ending in CR LF" +
                                             (ghostDifference.empty() ? "" : ": " + ghostDifference));
  std::ofstream(ghostCopy, std::ios::binary) << bytes;
}
