// Chaos runs: a seeded random storm of steps (console commands and variable changes, map loads, respawns,
// ball resets, pauses, car removals, waits and drives) run on the stand-in host in virtual time, with the
// plugin's invariants checked after every step. A failing storm is cut down to the shortest step list that
// still fails, printed as a scenario that reproduces it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/host/Session.h"

namespace lumaro_host {

// The storm of a seed, as scenario lines; the same seed gives the same lines.
std::vector<std::string> chaosSteps(std::uint64_t seed, int count);

struct ChaosViolation {
  std::size_t step = 0;  // index of the step after which it was seen; the list's size for the final check
  std::string what;
};

// Runs the lines on a fresh session (in a fresh folder under settings.root, removed afterwards), checks the
// invariants after each, then records, finishes and exports one normal run. The first violation, if any.
// refusals, when given, gets for each line carried out why the game refused it ("" when it did not).
std::optional<ChaosViolation> runChaosSteps(const SessionSettings& settings, const std::vector<std::string>& lines,
                                            std::vector<std::string>* refusals = nullptr);

// The lines as a scenario that replays what a chaos run did with them: a scenario stops at a step the game
// refuses, where a chaos run goes on, so each step refused (a drive in a paused game, say) is a comment
// saying why. withFinalRun adds the steps of the run after the storm.
std::vector<std::string> replayScenario(const SessionSettings& settings, const std::vector<std::string>& lines,
                                        bool withFinalRun);

// Delta debugging: a shortest sublist of lines (no single line can be removed) on which fails still holds;
// empty when fails holds with no line at all.
std::vector<std::string> shortestFailing(std::vector<std::string> lines,
                                         const std::function<bool(const std::vector<std::string>&)>& fails);

// lumaro-host --chaos SEED [--steps N]: the exit status, 0 when every invariant held.
int runChaos(const SessionSettings& settings, std::uint64_t seed, int steps, std::ostream& out);

}  // namespace lumaro_host
