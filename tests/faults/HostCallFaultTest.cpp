// Every host call a callback makes, failed in turn: the stand-in host throws from the Nth call of the
// callback, once (its host-call observer sees every SDK call as it is made). The plugin must keep the error from
// reaching the host, report it through its callback guard, leave the ghost already exported byte for byte (or complete,
// when the failed call came after the new file was in place), and then record, finish and export a run as if nothing
// happened.
#include <algorithm>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "FaultSession.h"
#include "sim/Game.h"

namespace {

using Lines = std::vector<std::string>;

const std::initializer_list<std::string> settledOnSpeedway = {"map speedway", "wait 1"};
const std::initializer_list<std::string> exportedRun = {"console lm_lapNbr 1", "console lm_record",
                                                        "drive 1 laps lap-time 2", "console lm_export"};

// While alive, counts the SDK calls the plugin makes and makes the call'th of them throw (0: none).
class FailingHostCall {
public:
  FailingHostCall(sim::Game& game, std::uint64_t call) : game_(game) {
    game.setHostCallObserver([this, call](const char* name) {
      if (++made_ == call) throw std::runtime_error(std::string("host call ") + name + " failed");
    });
  }
  ~FailingHostCall() { game_.setHostCallObserver({}); }
  std::uint64_t made() const { return made_; }

private:
  sim::Game& game_;
  std::uint64_t made_ = 0;
};

struct Callback {
  const char* name;
  std::vector<std::string> setup;   // after a run has been exported as My-PB.ghost
  std::vector<std::string> action;  // the steps whose host calls fail in turn
};

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Runs setup, then action with the call'th host call of the action failing (0: none). Returns how many host
// calls the action made.
std::uint64_t runWithFault(FaultSession& host, const Callback& callback, std::uint64_t call) {
  host.run(settledOnSpeedway);
  host.run(exportedRun);
  for (const std::string& line : callback.setup) host.run({line});
  host.newLines();
  const FailingHostCall fault(host.game(), call);
  for (const std::string& line : callback.action) {
    try {
      host.run({line});
    } catch (const std::exception& escaped) {
      ADD_FAILURE() << "the error reached the host: " << escaped.what();
    }
  }
  return fault.made();
}

void checkEveryCall(const Callback& callback) {
  std::uint64_t calls = 0;
  std::string previous;
  {
    FaultSession host;
    calls = runWithFault(host, callback, 0);
    previous = FaultSession::bytes(host.ghost("My-PB.ghost"));
    ASSERT_FALSE(host.guardReported());
  }
  ASSERT_GT(calls, 0u);
  for (std::uint64_t call = 1; call <= calls; ++call) {
    SCOPED_TRACE(std::string(callback.name) + ": host call " + std::to_string(call) + " of " + std::to_string(calls));
    FaultSession host;
    runWithFault(host, callback, call);
    EXPECT_TRUE(host.guardReported()) << "the failed call was not reported";

    // The ghost in place is the old one, or a whole new one that the export reported.
    const std::string now = FaultSession::bytes(host.ghost("My-PB.ghost"));
    EXPECT_TRUE(now == previous || endsWith(now, "\r\n")) << "the ghost was left half written";
    EXPECT_FALSE(std::filesystem::exists(host.ghost("@0.part")));

    // And the plugin goes on: a new run is recorded, finished and exported.
    host.newLines();
    host.run({"respawn", "wait 1", "console lm_stop", "console lm_lapNbr 1", "console lm_export_filename After",
              "console lm_record", "drive 1 laps lap-time 2", "console lm_export"});
    const Lines after = host.newLines();
    EXPECT_NE(std::find(after.begin(), after.end(), "Exported to ./tessaro/data/Ghosts/After.ghost."), after.end());
    if (::testing::Test::HasFailure()) return;  // one failing call is enough to read
  }
}

TEST(HostCallFaults, EveryCallOfTheConsoleCommandsFailsCleanly) {
  for (const Callback& callback : {
           Callback{"lm_export",
                    {"console lm_lapNbr 1", "console lm_record", "drive 1 laps lap-time 3"},
                    {"console lm_export"}},
           Callback{"lm_record", {"respawn", "wait 1"}, {"console lm_record"}},
           Callback{"lm_challenge",
                    {"console lm_ghostfilepath \"My-PB.ghost\"", "respawn", "wait 1"},
                    {"console lm_challenge"}},
           Callback{"lm_play", {"console lm_ghostfilepath \"My-PB.ghost\""}, {"console lm_play"}},
           Callback{"lm_stop",
                    {"console lm_ghostfilepath \"My-PB.ghost\"", "console lm_play", "wait 3 ticks"},
                    {"console lm_stop"}},
           Callback{"lm_update_list", {}, {"console lm_update_list"}},
       }) {
    checkEveryCall(callback);
  }
}

TEST(HostCallFaults, EveryCallOfTheValueChangesFailsCleanly) {
  for (const Callback& callback : {
           Callback{"lm_ghostfilepath", {}, {"console lm_ghostfilepath \"My-PB.ghost\""}},
           Callback{"lm_lapNbr", {}, {"console lm_lapNbr 2"}},
           Callback{"lm_color", {}, {"console lm_color #FF0000", "wait 3 ticks"}},
           Callback{"lm_autorecord", {}, {"console lm_autorecord 1", "wait 0.5"}},
       }) {
    checkEveryCall(callback);
  }
}

TEST(HostCallFaults, EveryCallOfTheTimerChainsAndEventsFailsCleanly) {
  for (const Callback& callback : {
           Callback{"a map load", {}, {"map speedway", "wait 0.5"}},
           Callback{"a respawn", {}, {"respawn", "wait 0.5"}},
           Callback{
               "the race start", {"respawn", "wait 1", "console lm_record", "drive 0.4 seconds"}, {"wait 2 ticks"}},
           Callback{"a racing tick", {"respawn", "wait 1", "console lm_record", "drive 2 seconds"}, {"wait 1 ticks"}},
           Callback{"a playback tick",
                    {"console lm_ghostfilepath \"My-PB.ghost\"", "console lm_play", "wait 3 ticks"},
                    {"wait 1 ticks"}},
       }) {
    checkEveryCall(callback);
  }
}

// Mended: a racing tick's error left the run with no sampler (the finish gave the error's time) or no watcher.
TEST(HostCallFaults, AnErrorInARacingTickEndsTheRunUnrecordedOnce) {
  for (const auto& [call, failure] : {std::pair{3, "sampleRun stopped on an error: host call GetLocation failed"},
                                      std::pair{10, "watchLap stopped on an error: host call GetInt failed"}}) {
    FaultSession host;
    host.run({"map speedway", "wait 1", "console lm_record", "drive 2 seconds"});
    host.newLines();
    const FailingHostCall fault(host.game(), call);
    host.run({"wait 1 ticks", "drive 1 laps lap-time 20", "console lm_export"});
    EXPECT_EQ(host.newLines(),
              (Lines{failure, "Recording stopped on an error. The run was not recorded.", "No Ghost to export."}));
  }
}

}  // namespace
