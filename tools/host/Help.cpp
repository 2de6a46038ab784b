// The words of --help and of the interactive "help".
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>

#include "host/HostClock.h"
#include "plugin/HostNames.h"
#include "plugin/Messages.h"
#include "race/RunLife.h"
#include "sim/Driver.h"
#include "tools/ghost/TextMarks.h"
#include "tools/host/MapCheck.h"
#include "tools/host/NumberWords.h"
#include "tools/host/Options.h"
#include "tools/host/ScenarioTick.h"
#include "tools/host/Script.h"
#include "tools/host/TextFile.h"
#include "ui/PageBytes.h"

namespace lumaro_host {

namespace {

// A float with at most six significant digits: 0.2f as "0.2".
std::string floatText(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
}

// The exit status of a map check's verdict.
std::string verdictText(MapVerdict verdict) { return std::to_string(static_cast<int>(verdict)); }

// A power of ten as the help writes it: 1e-5f as "1e-5".
std::string powerOfTenText(float value) {
  return "1e" + std::to_string(std::lround(std::log10(static_cast<double>(value))));
}

// The help with the numbers of a scenario, a map file and the command line, each from its range or default.
std::string withRanges(std::string text) {
  const Drive drive;
  return fillMarks(std::move(text), {
                                        {"{chaos steps}", std::to_string(defaultChaosSteps)},
                                        {"{chaos most}", numberText(chaosStepCount.most)},
                                        {"{seed most}", largestSeedText()},
                                        {"{run-out}", numberText(drive.runOut)},
                                        {"{seed}", std::to_string(drive.seed)},
                                        {"{host call ms}", numberText(Options{}.hostCallMilliseconds)},
                                        {"{vary below}", numberText(variationPercentBelow)},
                                        {"{float tolerance}", powerOfTenText(kismetFloatTolerance)},
                                        {"{speed}", numberText(sim::defaultCarSpeed)},
                                        {"{laps}", boundsText(lapCount)},
                                        {"{lap-time}", boundsText(lapSeconds)},
                                        {"{speed range}", boundsText(carSpeed)},
                                        {"{run-out range}", boundsText(runOutSeconds)},
                                        {"{line}", boundsText(lineOffset)},
                                        {"{lose}", boundsText(lostSeconds)},
                                        {"{wide}", boundsText(wideUnits)},
                                        {"{phase}", boundsText(tickPhase)},
                                        {"{seconds}", boundsText(gameSeconds)},
                                        {"{ticks}", boundsText(tickCount)},
                                        {"{coordinate}", boundsText(trackCoordinate)},
                                        {"{lap length}", boundsText(trackLapLength)},
                                        {"{file MiB}", std::to_string(maxTextFileBytes / (std::size_t{1024} * 1024))},
                                    });
}

// The help with the names, status texts and defaults it quotes, each from its home, in place of its mark.
std::string withNames(std::string text) {
  namespace command = names::command;
  namespace cvar = names::cvar;
  namespace kismet = names::kismet;
  const std::string textLine = pageControlStart(PageControl::Text);
  const std::string tickMilliseconds =
      std::to_string(Tessaro::wholeMillisecondsOfTicks(lumaro_host::scenarioTickLength));
  text = fillMarks(std::move(text), {
                                        {"{command::record}", command::record},
                                        {"{command::exportGhost}", command::exportGhost},
                                        {"{cvar::lapCount}", cvar::lapCount},
                                        {"{cvar::ghostFilePath}", cvar::ghostFilePath},
                                        {"{cvar::isRecording}", cvar::isRecording},
                                        {"{kismet::lapCounter}", kismet::lapCounter},
                                        {"{kismet::mapName}", kismet::mapName},
                                        {"{kismet::ghostPosition}", kismet::ghostPosition},
                                        {"{kismet::ghostRotation}", kismet::ghostRotation},
                                        {"{kismet::ghostColor}", kismet::ghostColor},
                                        {"{kismet::ghostDelta}", kismet::ghostDelta},
                                        {"{messages::recordingArmed}", messages::recordingArmed},
                                        {"{messages::raceStarted}", messages::raceStarted},
                                        {"{messages::raceEndedIn}", messages::raceEndedIn},
                                        {"{messages::stoppedGhost}", messages::stoppedGhost},
                                        {"{tick ms}", tickMilliseconds},
                                        {"{page::text}", textLine},
                                        {"{look delay}", floatText(lookAfterSpawnDelay)},
                                        {"{no race}", std::to_string(kismet::lapCounterNoRace)},
                                        {"{works}", verdictText(MapVerdict::Works)},
                                        {"{ignoring}", verdictText(MapVerdict::WorksIgnoring)},
                                        {"{will not}", verdictText(MapVerdict::WillNotWork)},
                                        {"{not found}", verdictText(MapVerdict::NotFound)},
                                    });
  return withRanges(std::move(text));
}

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

std::string helpText() {
  return withNames(R"(lumaro-host: the stand-in host for the Lumaro plugin, and a scenario runner.

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
                                     {works} Lumaro works on the map; {ignoring} it works but ignores a
                                     variable the map means to offer (an optional one of another
                                     type or a near-miss name); {will not} it will not work; {not found} no such
                                     file. Of several files the worst: {not found}, then {will not}, then {ignoring}.
                                     The option takes every word up to the next option; on Windows
                                     lumaro-host expands wildcards itself (maps\*.map)
  lumaro-host --chaos SEED [--steps N] a seeded random storm of N steps (default {chaos steps}, at most
                                     {chaos most}; SEED from 0 to {seed most}), the plugin's
                                     invariants checked after each; a failure prints the shortest
                                     step list that reproduces it, as a scenario (a step the game
                                     refused there is a comment, so the scenario replays it)

Options:
  --plugin PATH     the plugin library to load (default: the Lumaro library beside lumaro-host)
  --root DIR        the game root: tessaro/, tessaro/data/Ghosts and the settings page live in it; kept
                    as it is, so ghosts in it stay from one run to the next (default: a fresh temporary
                    folder, whose name is printed, removed when the run ends whatever its outcome,
                    Ctrl-C, SIGTERM and SIGHUP included)
  --keep            keep the fresh temporary game root after the run
  --remove-root     remove the fresh temporary game root at the end (the default; for older scripts)
  --realtime        run against the wall clock: each tick sleeps until it is due, and the game clock
                    moves by the wall time that really passed (default: virtual time, as fast as it goes)
  --tick-ms MS      the length of a game tick (default {tick ms})
  --host-call-ms MS every call the plugin makes to the host moves the virtual clock on by MS (default
                    {host call ms}), so that what the plugin reads before or after it takes the time shows
  --page            print the settings page at the end, as the player sees it: a row of text for each
                    row of controls, each with its console variable's value
  --raw             print the settings page (--page, show page) as the page file's lines instead
  --trace FILE.csv  write every Kismet write to a CSV file: time_ms,variable,x,y,z,value (time since
                    the start; x, y, z for a vector, value for a float); the file is opened before the
                    run starts, so a place that cannot be written stops lumaro-host at once
  --list-ghosts     list the ghost folder at the end: each file's size, frames and header line
  --svg FILE.svg    draw the scenario at the end: the track, each ghost file of the ghost folder coloured
                    by speed, and the ghost car's path (compare two runs with lumaro-ghost compare/plot)
  -v, --verbose     also report each expectation that holds
  -h, --help        this text

A scenario:
  # A comment: a line that begins with #. Blank lines are allowed.
  map speedway                          # a comment may also end a step, except a console step
  wait 1                                # {look delay} s after a spawn the plugin looks at the lap counter
  console {cvar::lapCount} 3
  console {command::record}
  expect console "{messages::recordingArmed}"
  drive 3 laps lap-time 20
  expect console "{messages::raceStarted}"
  expect console containing "{messages::raceEndedIn}01:00:"
  console {command::exportGhost}
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
                                                            console {cvar::ghostFilePath} "My-PB.ghost"
  player NAME
      Names the local player (default Player); ghosts are exported under this name.   player Ann
  drive N laps [lap-time S | speed V] [vary P%] [seed N] [run-out S] [RACING...] [phase P]
      The car drives along the track, one move every game tick, facing the way it goes, until it has
      completed N laps at the start/finish line: from the spawn (or after a ball reset) the first
      crossing starts the race and each later one completes a lap, and the map's script counts every
      crossing in {kismet::lapCounter}. After the last lap the car rolls on for run-out seconds (default {run-out}), so
      the plugin sees the finish before the step ends. lap-time sets the speed from the lap's length;
      speed is in engine units per second (default: the map's lap time, else {speed}). vary P% makes
      each lap's time differ by up to P percent, the same way for the same seed (default {seed}).
      N from {laps}, lap-time S from {lap-time}, speed V from {speed range}, run-out from {run-out range},
      P below {vary below}; all the laps together may take at most a day of game time.
                                                  drive 3 laps lap-time 20 vary 2% seed 7
      style racing drives the racing line instead of the track's path at one speed: every corner
      rounded into an arc, flat out on the straights, braking for each corner as tight as it is and
      accelerating out of it; lap-time then sets the pace of the whole lap, speed the top speed
      (default: the map's drive-style, else steady). The options below drive the racing line too:
      line UNITS drives that far to the left of it ({line}; negative: to the right);
      lose SECONDS lap N FROM-TO% loses that much time ({lose} s) over that stretch of
      the drive's Nth lap (laps counted from its first crossing of the line), slowing smoothly and
      recovering; wide UNITS lap N FROM-TO% swings the line up to that far ({wide}) towards the
      outside of the stretch's turn, at the same pace: a run that differs only in its line reaches
      every point of the track at the same time. phase P ({phase}) sets the car off P of a game tick
      late, so that it crosses the line at another moment between two ticks.
                            drive 3 laps lap-time 20 style racing lose 0.5 lap 2 42-58% phase 0.5
  drive S seconds [lap-time S | speed V] [vary P%] [seed N] [RACING...] [phase P]
      Drives for S seconds of game time, from {seconds}.       drive 4.5 seconds speed 1800
  reset-ball
      The map's script puts {kismet::lapCounter} back to -1; the car stays where it is.        reset-ball
  respawn
      The car goes back to the spawn, {kismet::lapCounter} to -1, and the game fires its player-spawn event.
                                                                              respawn
  remove-car, restore-car
      The local car disappears (the host then has no car to give), or comes back where it was.
                                                                              remove-car
  pause, unpause
      Pauses or resumes the game; a paused car does not move.                 pause
  wait S [seconds] | wait N ticks
      Lets game time pass with the car standing still: S from {seconds}, N from {ticks}.
                                                                              wait 0.2
  copy SOURCE DESTINATION
      Copies a file into the game root; a DESTINATION ending in / is a folder. DESTINATION is a
      path in the game root: one leading out of it (absolute, by "..", or through a link) is refused.
                                               copy ghosts/Ann-Speedway-3.ghost tessaro/data/Ghosts/
  pick-ghost TEXT
      Chooses, in the settings page's "Load a ghost" list, the first entry whose label contains
      TEXT, as a player does: the console gets {cvar::ghostFilePath} "FILE".   pick-ghost "by Ann"
      A label shows the code points of a file name that reorder or hide text as escapes, as the
      player sees them; TEXT may write them so or hold them as they are.   pick-ghost 'Ann(\u202e'
  show page|ghosts|kismet|car|cvars
      Prints the settings page (as the host read it at its last reload, as the player sees it; with
      --raw its lines), the ghost folder, the map's Kismet variables, the car, or the console
      variables, as they are now.                                             show kismet
  expect console [containing|matching] TEXT
      A console line shown after the one the previous console expectation matched is TEXT (or
      contains it, or matches it as a regular expression).    expect console "{messages::raceStarted}"
  expect no-console [containing|matching] TEXT
      No console line shown after the one the previous console expectation matched is (contains,
      matches) TEXT.                                  expect no-console containing "Exported"
  expect cvar NAME [containing|matching] VALUE
      The console variable's value.                           expect cvar {cvar::isRecording} 1
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
                                                  expect page last-line "{page::text}{messages::stoppedGhost}"
  expect kismet NAME VALUE
      The Kismet variable's value: a whole number, a number (floats compare to within {float tolerance} of the
      value's size), a text, true/false, or three numbers for a vector.
                                                  expect kismet {kismet::ghostColor} 10.999
  expect writes NAME at-least N
      The plugin has written the Kismet variable at least N times.
                                                  expect writes {kismet::ghostPosition} at-least 100
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
  variable int {kismet::lapCounter} -1             a variable: int, float, string, vector (three numbers) or bool
  variable string {kismet::mapName} "Canyon Run"
  lap-time 25                       the lap time of a drive that names none (optional)
  drive-style racing                a drive that names no style drives the racing line (default steady)
  line 800 -600 800 600             the start/finish line, from X1 Y1 to X2 Y2
  point 0 0 17                      the track: points in driving order, joined back to the first;
  point 9000 0 17                   the car spawns on the first
  ...

Map files are found and read when the scenario is read: a map file with a mistake is bad input like a bad
step. Every number of a scenario or a map file is written in decimal (1e3 is one, 0x10 is not) and read
against its range (above; map coordinates from {coordinate}, a lap of {lap length} units), and
a scenario or map file larger than {file MiB} MiB is not read. A Kismet value, a map's starting value or an expected
one, is read alike: an int within 32 bits, a float within single precision, no blanks (" -1" is not one).
The map step names every Kismet variable the plugin works with that the map lacks or has with another type
({kismet::lapCounter} int, {kismet::mapName} string, {kismet::ghostPosition} and {kismet::ghostRotation} vectors, {kismet::ghostColor} float, {kismet::ghostDelta} float),
and a {kismet::lapCounter} that does not start at {no race} or an empty {kismet::mapName}.
Bundled maps are looked for in share/lumaro/maps beside the folder of lumaro-host, else in maps beside it.

Exit status: 0 when every step was carried out and every expectation held; 1 when an expectation failed
or a step could not be carried out; 2 for bad input of any kind, before anything runs: a mistake on the
command line, in the scenario or in a map file it names (every bad line is reported, in line order), a
trace file that cannot be written, a game root that cannot be made, or a plugin library that cannot be
loaded. Stopped by Ctrl-C, SIGTERM or SIGHUP, lumaro-host removes its fresh game root and ends by that signal.
)");
}

}  // namespace lumaro_host
