// The words of --help and of the interactive "help", written as the reader sees them.
#include <cstddef>
#include <string>

#include "host/GameNames.h"
#include "host/HostClock.h"
#include "race/RunLife.h"
#include "sim/Driver.h"
#include "tools/host/MapCheck.h"
#include "tools/host/NumberWords.h"
#include "tools/host/Options.h"
#include "tools/host/ScenarioTick.h"
#include "tools/host/Script.h"
#include "tools/host/TextFile.h"

namespace lumaro_host {

namespace {

// The help states these numbers in words: a change to one stops the build here until the help says it too.
constexpr bool bounds(const NumberRange& range, double least, double most) {
  return range.least == least && range.most == most;
}
static_assert(defaultChaosSteps == 300 && bounds(chaosStepCount, 1, 1'000'000));
static_assert(Tessaro::wholeMillisecondsOfTicks(scenarioTickLength) == 8);
static_assert(defaultRunOutSeconds == 0.5 && defaultDriveSeed == 1 && sim::defaultCarSpeed == 1400.0);
static_assert(bounds(lapCount, 1, 1000) && bounds(lapSeconds, 1, 3600) && bounds(carSpeed, 1, 100'000) &&
              bounds(runOutSeconds, 0, 60) && variationPercentBelow == 100.0);
static_assert(bounds(lineOffset, -1000, 1000) && bounds(lostSeconds, 0.001, 60) && bounds(wideUnits, 1, 1000) &&
              bounds(tickPhase, 0, 1));
static_assert(bounds(gameSeconds, 0.001, 3600) && bounds(tickCount, 1, 1'000'000));
static_assert(bounds(trackCoordinate, -1'000'000, 1'000'000) && bounds(trackLapLength, 100, 100'000'000));
static_assert(maxTextFileBytes == std::size_t{16} * 1024 * 1024 && kismetFloatTolerance == 1e-5f &&
              lookAfterSpawnDelay == 0.2f);
static_assert(static_cast<int>(MapVerdict::Works) == 0 && static_cast<int>(MapVerdict::WorksIgnoring) == 3 &&
              static_cast<int>(MapVerdict::WillNotWork) == 1 && static_cast<int>(MapVerdict::NotFound) == 2 &&
              Tessaro::gameNames::kismet::lapCounterNoRace == -1);

}  // namespace

std::string stepSummary() {
  return R"(Steps (lumaro-host --help explains each one):
  map FILE                         load a workshop map from a map file
  main-menu                        go to the main menu
  console LINE                     type a line into the console
  player NAME                      name the local player
  drive N laps [lap-time S | speed V] [vary P%] [seed N] [run-out S] [RACING...] [phase P]
  drive S seconds [lap-time S | speed V] [vary P%] [seed N] [RACING...] [phase P]
      RACING: style racing|steady, line UNITS, lose SECONDS lap N FROM-TO%, wide UNITS lap N FROM-TO%
  reset-ball | respawn | remove-car | restore-car | pause | unpause
  wait S [seconds] | wait N ticks
  copy SOURCE DESTINATION          copy a file into the game root
  pick-ghost TEXT                  choose a ghost in the settings page's list
  show page|ghosts|kismet|car|cvars
  expect console|no-console|cvar|file|page|kismet|writes ...
  help, quit
)";
}

std::string helpHead() {
  return R"(lumaro-host: the stand-in host for the Lumaro plugin, and a scenario runner.

It starts a simulated game, loads the plugin library through its exports exactly as the host does
(exports, getPlugin, the console and game pointers, onLoad), and runs a scenario: a plain-text script
of steps, one per line. The console is written out as it goes.

Usage:
  lumaro-host [options] SCENARIO     run a scenario file
  lumaro-host [options] -            read the scenario from standard input
  lumaro-host [options] -i           interactive: type steps at a prompt (also when no scenario is
                                     given and standard input is a terminal)
  lumaro-host --check-map FILE...    check map files: each one's mistakes, the Kismet variables
                                     Lumaro works with that it lacks, has with another type or
                                     starts with a value Lumaro cannot work with, then its verdict;
                                     several files end with a count of the verdicts. Exit status:
                                     0 Lumaro works on the map; 3 it works but ignores a
                                     variable the map means to offer (an optional one of another
                                     type or a near-miss name); 1 it will not work; 2 no such
                                     file. Of several files the worst: 2, then 1, then 3.
                                     The option takes every word up to the next option; on Windows
                                     lumaro-host expands wildcards itself (maps\*.map)
  lumaro-host --chaos SEED [--steps N] a seeded random storm of N steps (default 300, at most
                                     1000000; SEED from 0 to 18446744073709551615), the plugin's
                                     invariants checked after each; a failure prints the shortest
                                     step list that reproduces it, as a scenario (a step the game
                                     refused there is a comment, so the scenario replays it)
  lumaro-host --version              the version
)";
}

std::string helpFoot() {
  return R"(A scenario:
  # A comment: a line that begins with #. Blank lines are allowed.
  map speedway                          # a comment may also end a step, except a console step
  wait 1                                # 0.2 s after a spawn the plugin looks at the lap counter
  console lm_lapNbr 3
  console lm_record
  expect console "Recording starts and ends when you cross the finish line."
  drive 3 laps lap-time 20
  expect console "Race started."
  expect console containing "Race ended in 01:00:"
  console lm_export
  expect file tessaro/data/Ghosts/My-PB.ghost first-line containing "Speedway,Player,"

Words are separated by blanks. "Double quotes" hold a text with blanks (\" and \\ inside stand for a quote
and a backslash); 'single quotes' hold a text exactly. Time passes only in drive and wait steps; every
other step happens at one instant. Relative files are looked for in the scenario's folder first, then in
the current folder (and, for maps, in the bundled maps folder).

Steps:
  map FILE
      Loads a workshop map from a map file (".map" may be left out): the map's main sequence and its
      variables are made, the car is put on the spawn, and the game fires its map-load and then its
      player-spawn event.                                              map speedway
  main-menu
      Leaves the map for the main menu: no map, no main sequence, not freeplay.   main-menu
  console LINE
      Types LINE into the console exactly as written, quotes, # and all; the console cuts it into
      words (double quotes group) and runs the command or sets the variable.
                                                            console lm_ghostfilepath "My-PB.ghost"
  player NAME
      Names the local player (default Player); ghosts are exported under this name.   player Ann
  drive N laps [lap-time S | speed V] [vary P%] [seed N] [run-out S] [RACING...] [phase P]
      The car drives along the track, one move every game tick, facing the way it goes, until it has
      completed N laps at the start/finish line: from the spawn (or after a ball reset) the first
      crossing starts the race and each later one completes a lap, and the map's script counts every
      crossing in LapNb. After the last lap the car rolls on for run-out seconds (default 0.5), so
      the plugin sees the finish before the step ends. lap-time sets the speed from the lap's length;
      speed is in engine units per second (default: the map's lap time, else 1400). vary P% makes
      each lap's time differ by up to P percent, the same way for the same seed (default 1).
      N from 1 to 1000, lap-time S from 1 to 3600, speed V from 1 to 100000, run-out from 0 to 60,
      P below 100; all the laps together may take at most a day of game time.
                                                  drive 3 laps lap-time 20 vary 2% seed 7
      style racing drives the racing line instead of the track's path at one speed: every corner
      rounded into an arc, flat out on the straights, braking for each corner as tight as it is and
      accelerating out of it; lap-time then sets the pace of the whole lap, speed the top speed
      (default: the map's drive-style, else steady). The options below drive the racing line too:
      line UNITS drives that far to the left of it (-1000 to 1000; negative: to the right);
      lose SECONDS lap N FROM-TO% loses that much time (0.001 to 60 s) over that stretch of
      the drive's Nth lap (laps counted from its first crossing of the line), slowing smoothly and
      recovering; wide UNITS lap N FROM-TO% swings the line up to that far (1 to 1000) towards the
      outside of the stretch's turn, at the same pace: a run that differs only in its line reaches
      every point of the track at the same time. phase P (0 to 1) sets the car off P of a game tick
      late, so that it crosses the line at another moment between two ticks.
                            drive 3 laps lap-time 20 style racing lose 0.5 lap 2 42-58% phase 0.5
  drive S seconds [lap-time S | speed V] [vary P%] [seed N] [RACING...] [phase P]
      Drives for S seconds of game time, from 0.001 to 3600.       drive 4.5 seconds speed 1800
  reset-ball
      The map's script puts LapNb back to -1; the car stays where it is.        reset-ball
  respawn
      The car goes back to the spawn, LapNb to -1, and the game fires its player-spawn event.
                                                                              respawn
  remove-car, restore-car
      The local car disappears (the host then has no car to give), or comes back where it was.
                                                                              remove-car
  pause, unpause
      Pauses or resumes the game; a paused car does not move.                 pause
  wait S [seconds] | wait N ticks
      Lets game time pass with the car standing still: S from 0.001 to 3600, N from 1 to 1000000.
      In a drive or a wait, laps may also be written lap; seconds second, sec or s; ticks tick.
                                                                              wait 0.2
  copy SOURCE DESTINATION
      Copies a file into the game root; a DESTINATION ending in / is a folder. DESTINATION is a
      path in the game root: one leading out of it (absolute, by "..", or through a link) is refused.
                                               copy ghosts/Ann-Speedway-3.ghost tessaro/data/Ghosts/
  pick-ghost TEXT
      Chooses, in the settings page's "Load a ghost" list, the first entry whose label contains
      TEXT, as a player does: the console gets lm_ghostfilepath "FILE".   pick-ghost "by Ann"
      A label shows the code points of a file name that reorder or hide text as escapes, as the
      player sees them; TEXT may write them so or hold them as they are.   pick-ghost 'Ann(\u202e'
  show page|ghosts|kismet|car|cvars
      Prints the settings page (as the host read it at its last reload, as the player sees it; with
      --raw its lines), the ghost folder, the map's Kismet variables, the car, or the console
      variables, as they are now.                                             show kismet
  expect console [containing|matching] TEXT
      A console line shown after the one the previous console expectation matched is TEXT (or
      contains it, or matches it as a regular expression).    expect console "Race started."
  expect no-console [containing|matching] TEXT
      No console line shown after the one the previous console expectation matched is (contains,
      matches) TEXT.                                  expect no-console containing "Exported"
  expect cvar NAME [containing|matching] VALUE
      The console variable's value.                           expect cvar lm_isrecording 1
  expect file PATH exists|missing
  expect file PATH first-line|last-line|line|no-line [containing|matching] TEXT
  expect file PATH contains TEXT
      A file under the game root (a path leading out of it is refused): it exists, or its first
      line, last line, any line or no line is (contains, matches) TEXT; "contains" is short for
      "line containing".
                             expect file tessaro/data/Ghosts/My-PB.ghost exists
  expect page ...
      The same checks on the plugin's settings page (tessaro/plugins/settings/Lumaro.set) as
      the host read it at its last reload, which is what the player sees.
                                                  expect page last-line "9|Stopped ghost."
  expect kismet NAME VALUE
      The Kismet variable's value: a whole number, a number (floats compare to within 1e-5 of the
      value's size), a text, true/false, or three numbers for a vector.
                                                  expect kismet GhostColor 10.999
  expect writes NAME at-least N
      The plugin has written the Kismet variable at least N times.
                                                  expect writes GhostPosition at-least 100
  A regular expression (matching) uses RE2's syntax, which has no back-references or look-arounds: it
  matches in time that grows with the text, whatever the pattern. A pattern it refuses is a mistake on
  its line. (A lumaro-host built without RE2, the Windows one, refuses every pattern.)
  A failed expectation stops the scenario and names the script, the line, the step and what was seen;
  in the interactive mode it is reported with the input line it came from ("input:LINE: ...") and the
  session goes on, and ends with exit status 1.

Map files (maps/*.map, see maps/README.md):
  map "Canyon Run"                  the map's name
  freeplay yes                      played in freeplay (default yes)
  kismet yes                        has a main Kismet sequence (default yes)
  variable int LapNb -1             a variable: int, float, string, vector (three numbers) or bool
  variable string MapName "Canyon Run"
  lap-time 25                       the lap time of a drive that names none (optional)
  drive-style racing                a drive that names no style drives the racing line (default steady)
  line 800 -600 800 600             the start/finish line, from X1 Y1 to X2 Y2
  point 0 0 17                      the track: points in driving order, joined back to the first;
  point 9000 0 17                   the car spawns on the first
  ...

Map files are found and read when the scenario is read: a map file with a mistake is bad input like a bad
step. Every number of a scenario or a map file is written in decimal (1e3 is one, 0x10 is not) and read
against its range (above; map coordinates from -1000000 to 1000000, a lap of 100 to 100000000 units), and
a scenario or map file larger than 16 MiB is not read. A Kismet value, a map's starting value or an expected
one, is read alike: an int within 32 bits, a float within single precision, no blanks (" -1" is not one).
The map step names every Kismet variable the plugin works with that the map lacks or has with another type
(LapNb int, MapName string, GhostPosition and GhostRotation vectors, GhostColor float, GhostDelta float),
a LapNb that does not start at -1, and a MapName that is empty or too long for any ghost's header line to
be listed.
Bundled maps are looked for in share/lumaro/maps beside the folder of lumaro-host, else in maps beside it.

The plugin's console commands, which a console step types: lm_record, lm_play, lm_stop, lm_challenge,
lm_export, lm_import, lm_open_folder, lm_update_list. Its console variables, which a console step sets and
show cvars prints: lm_ghostfilepath, lm_export_filename, lm_lapNbr, lm_isrecording, lm_log, lm_autorecord,
lm_maxsecs, lm_autoexport, lm_color. The players' guide says what each one does.

Exit status: 0 when every step was carried out and every expectation held; 1 when an expectation failed
or a step could not be carried out; 2 for bad input of any kind, before anything runs: a mistake on the
command line, in the scenario or in a map file it names (every bad line is reported, in line order), a
trace file that cannot be written, a game root that cannot be made, or a plugin library that cannot be
loaded. Stopped by Ctrl-C, SIGTERM or SIGHUP, lumaro-host removes its fresh game root and ends by that signal.
)";
}

}  // namespace lumaro_host
