// lumaro-host: the command line. Reads the options and the scenario, makes the game root, loads the plugin
// into the stand-in host, runs the scenario (or the interactive mode), and shows what was asked for.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "host/HostClock.h"
#include "host/PluginExports.h"
#include "library/platform/PathText.h"
#include "sim/Game.h"
#include "sim/PluginLoader.h"
#include "tools/host/MapFile.h"

#if defined(_WIN32)
#  include <windows.h>
#  include <io.h>

#  include "tools/WideArguments.h"
#else
#  include <unistd.h>
#endif

#include "tools/ghost/picture/ScenarioPicture.h"
#include "tools/ghost/text/TextEscapes.h"
#include "tools/host/Chaos.h"
#include "tools/host/MapCheck.h"
#include "tools/host/Options.h"
#include "tools/host/Reports.h"
#include "tools/host/Runner.h"
#include "tools/host/ScenarioMaps.h"
#include "tools/host/Script.h"
#include "tools/host/Session.h"
#include "tools/host/StopSignals.h"
#include "tools/host/TextFile.h"

namespace fs = std::filesystem;
using namespace lumaro_host;

namespace {

bool stdinIsTerminal() {
#if defined(_WIN32)
  return _isatty(_fileno(stdin)) != 0;
#else
  return isatty(fileno(stdin)) != 0;
#endif
}

fs::path executableFolder(const fs::path& program) {
  std::error_code error;
#if defined(_WIN32)
  wchar_t buffer[32768];
  const DWORD length = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
  if (length > 0 && length < std::size(buffer)) return fs::path(std::wstring(buffer, length)).parent_path();
#else
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  if (!error) return self.parent_path();
#endif
  return fs::absolute(program, error).parent_path();
}

// A new folder under the system's temporary folder, named lumaro-host-XXXXXXXX.
fs::path freshRoot() {
  std::mt19937_64 random(static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                         std::random_device{}());
  for (;;) {
    char name[32];
    std::snprintf(name, sizeof name, "lumaro-host-%08llx", static_cast<unsigned long long>(random() & 0xFFFFFFFFu));
    fs::path root = fs::temp_directory_path() / name;
    if (fs::create_directory(root)) return root;
  }
}

// Removes a fresh temporary game root when main returns, whatever the outcome.
struct RootRemoval {
  fs::path root;
  ~RootRemoval() {
    std::error_code error;
    if (!root.empty()) fs::remove_all(root, error);
  }
};

int badInput(const std::string& message) {
  std::cerr << "lumaro-host: " << message << "\n";
  return 2;
}

std::string secondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f s", seconds);
  return text;
}

}  // namespace

int runSession(const Options& options, const SessionSettings& settings, const Script& script,
               const fs::path& scriptFolder, bool interactive, bool rootStays, std::ofstream& trace);

// The whole run of the words after the program's name, in UTF-8; hostMain adds what a stop by a signal needs.
int run(const std::vector<std::string>& arguments, const fs::path& program) {
  const ParsedOptions parsed = parseOptions(arguments);
  if (!parsed.error.empty()) {
    std::cerr << "lumaro-host: " << lumaro_ghost::lineText(parsed.error) << " (lumaro-host --help)\n";
    return 2;
  }
  const Options& options = parsed.options;
  if (options.help) {
    std::cout << helpText();
    return 0;
  }
  if (options.version) {
    std::cout << versionText();
    return 0;
  }

  // The scenario and the map files it names are read and checked whole before anything else happens.
  const fs::path here = executableFolder(program);
  const fs::path bundledMaps = bundledMapsFolder(here);
  if (!options.checkMaps.empty()) return static_cast<int>(checkMaps(options.checkMaps, bundledMaps, std::cout));
  const bool chaos = options.chaosSeed.has_value();
  const bool interactive = !chaos && (options.interactive || (!options.script && stdinIsTerminal()));
  Script script;
  fs::path scriptFolder = fs::current_path();
  if (!interactive && !chaos) {
    const bool fromInput = !options.script || *options.script == "-";
    const std::string name = fromInput ? "<stdin>" : *options.script;
    const TextFile read = fromInput ? readTextStream(std::cin) : readTextFile(pathFromUtf8(*options.script));
    if (stopSignal() != 0) return 2;
    if (!read.error.empty()) return badInput("cannot read the scenario " + name + ": " + read.error);
    script = parseScript(read.text, name);
    if (!fromInput) scriptFolder = fs::absolute(pathFromUtf8(*options.script)).parent_path();
    readScriptMaps(script, scriptFolder, bundledMaps);
    if (!script.errors.empty()) {
      for (const auto& error : script.errors) std::cerr << lumaro_ghost::terminalText(error) << "\n";
      const auto bad = std::count_if(script.errors.begin(), script.errors.end(),
                                     [](const std::string& error) { return error.front() != ' '; });
      std::cerr << "lumaro-host: " << bad << (bad == 1 ? " line" : " lines") << " not understood; nothing was run\n";
      return 2;
    }
  }

  SessionSettings settings;
  settings.plugin = options.plugin ? *options.plugin : here / LUMARO_PLUGIN_FILE;
  settings.mapsFolder = bundledMaps;
  settings.realtime = options.realtime;
  settings.tickLength = Tessaro::ticksOfMilliseconds(options.tickMilliseconds);
  settings.hostCallLength = Tessaro::ticksOfMilliseconds(options.hostCallMilliseconds);
  settings.verbose = options.verbose;
  // Without a trace or a picture to draw, a long run keeps no record per game tick.
  settings.keepRecords = options.trace.has_value() || options.svg.has_value();
  settings.rawPage = options.rawPage;
  RootRemoval removal;
  try {
    if (options.root) {
      settings.root = fs::absolute(*options.root);
      fs::create_directories(settings.root);
    } else {
      settings.root = freshRoot();
      if (!options.keepRoot) removal.root = settings.root;
    }
  } catch (const fs::filesystem_error& error) {
    return badInput(std::string("cannot make the game root: ") + error.what());
  }
  // The trace is opened now (it may lie in the game root), so a place that cannot be written stops everything
  // before the run.
  std::ofstream trace;
  if (options.trace) {
    trace.open(*options.trace, std::ios::binary | std::ios::trunc);
    if (!trace) return badInput("cannot write the trace " + utf8FromPath(*options.trace));
  }
  const bool rootStays = removal.root.empty();
  // A chaos run makes its own games under the root and carries out its own steps.
  if (chaos) return runChaos(settings, *options.chaosSeed, options.chaosSteps, std::cout);
  return runSession(options, settings, script, scriptFolder, interactive, rootStays, trace);
}

int runSession(const Options& options, const SessionSettings& settings, const Script& script,
               const fs::path& scriptFolder, bool interactive, bool rootStays, std::ofstream& trace) {
  std::cout << "Game root " << shownPath(settings.root) << (options.realtime ? ", real time" : ", virtual time")
            << (rootStays ? "" : " (removed at the end; --keep keeps it)") << "\n";

  int status = 0;
  const auto wallStart = std::chrono::steady_clock::now();
  {
    std::unique_ptr<Session> session;
    try {
      session = std::make_unique<Session>(settings, std::cout);
    } catch (const std::exception& error) {
      return badInput(error.what());
    }
    const auto& record = session->plugin().exports();
    std::cout << record.displayTitle << " " << record.versionText << " loaded from "
              << shownPath(fs::absolute(settings.plugin)) << " (host interface build " << record.hostApiBuild << ")\n";

    ScriptResult result;
    if (interactive) {
      const int failed = runInteractive(*session, std::cin, std::cout, stdinIsTerminal());
      if (failed > 0) {
        std::cout << failed << (failed == 1 ? " step" : " steps") << " not understood or failed\n";
        status = 1;
      }
    } else {
      result = runScript(*session, script, scriptFolder, std::cerr);
      status = result.passed ? 0 : 1;
    }
    stopIfAsked();  // a prompt ended by a signal, or one that came during a step that took no time
    session->unloadPlugin();
    sim::Game& game = session->game();
    const double wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();

    if (options.page || options.listGhosts) std::cout << "\n";
    if (options.page) writePage(std::cout, game, options.rawPage);
    if (options.listGhosts) writeGhostListing(std::cout, game);
    bool traceWritten = false;
    if (options.trace) {
      writeTraceCsv(trace, game, session->start());
      trace.close();
      traceWritten = static_cast<bool>(trace);
      if (!traceWritten) {
        std::cerr << "lumaro-host: cannot write the trace " << utf8FromPath(*options.trace) << "\n";
        status = status == 0 ? 1 : status;
      }
    }
    bool pictureWritten = false;
    if (options.svg) {
      const std::string error = lumaro_ghost::writeScenarioPicture(*options.svg, game, session->driver(), script.name,
                                                                   session->consoleLines());
      pictureWritten = error.empty();
      if (!pictureWritten) std::cerr << "lumaro-host: " << error << "\n";
      if (!pictureWritten && status == 0) status = 1;
    }

    std::cout << "\n";
    if (!interactive) {
      std::cout << "Scenario " << script.name << (result.passed ? " passed: " : " FAILED: ") << result.stepsRun
                << " of " << script.steps.size() << " steps, " << session->expectationsChecked()
                << (session->expectationsChecked() == 1 ? " expectation, " : " expectations, ")
                << secondsText(Tessaro::secondsOfTicks(session->elapsed())) << " of game time in "
                << secondsText(wallSeconds) << ".\n";
    }
    if (rootStays) {
      std::error_code error;
      std::vector<fs::path> ghosts;
      for (const auto& entry : fs::directory_iterator(game.ghostFolder(), error)) ghosts.push_back(entry.path());
      std::sort(ghosts.begin(), ghosts.end());
      if (ghosts.empty()) std::cout << "Ghost folder   " << shownPath(game.ghostFolder()) << " (empty)\n";
      for (const auto& ghost : ghosts)
        std::cout << "Ghost file     " << lumaro_ghost::terminalText(shownPath(ghost)) << "\n";
      std::cout << "Settings page  " << shownPath(game.settingsPage())
                << (fs::exists(game.settingsPage(), error) ? "" : " (not written)") << "\n";
    } else {
      std::cout << "Game root      " << shownPath(settings.root) << " removed (--keep keeps it)\n";
    }
    if (traceWritten) {
      std::cout << "Write trace    " << shownPath(fs::absolute(*options.trace)) << " (" << game.kismetWrites().size()
                << " Kismet writes)\n";
    }
    if (pictureWritten) std::cout << "Picture        " << shownPath(fs::absolute(*options.svg)) << "\n";
  }
  return status;
}

int hostMain(const std::vector<std::string>& arguments, const fs::path& program) {
#if !defined(_WIN32)
  // Output into a pipe whose reader has gone (lumaro-host ... | head) must not end the process before the
  // temporary game root is removed: the writes fail instead, and the run ends as usual.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  watchStopSignals();
  int status = 2;
  // A stop asked for by a signal unwinds to here from the next game tick or the next line of a map file being
  // read; the game root is removed on the way out.
  try {
    status = run(arguments, program);
  } catch (const RunStopped&) {}
  const int signal = stopSignal();
  if (signal == 0) return status;
  std::cout.flush();
  std::cerr << "lumaro-host: stopped by " << signalName(signal) << "\n";
  std::cerr.flush();
#if !defined(_WIN32)
  // Ended the way the signal would have ended it, now that the game root is gone: a shell running
  // lumaro-host in a loop sees the signal and stops too.
  std::signal(signal, SIG_DFL);
  std::raise(signal);
#endif
  return 128 + signal;
}

#if defined(_WIN32)
// The words as Windows gives them, in UTF-16, converted to UTF-8 once: every path lumaro-host takes (a scenario,
// a map, the plugin, the root, the trace, the picture) is made from them as UTF-8, whatever its letters.
int wmain(int argc, wchar_t** argv) {
  const lumaro_tools::Utf8ConsoleOutput console;
  return hostMain(lumaro_tools::utf8Arguments(argc, argv), fs::path(argv[0]));
}
#else
int main(int argc, char** argv) { return hostMain(std::vector<std::string>(argv + 1, argv + argc), fs::path(argv[0])); }
#endif
