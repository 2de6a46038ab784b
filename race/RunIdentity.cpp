// The life of a run: arming gives it a new identity, and its lap watcher, sampler and finish timers carry
// that identity. Whatever ends the run clears it, so a tick still pending from it finds itself stale and
// does nothing: no frame appended, nothing scheduled, no message. Only the finish keeps the run's frames.
// What ended the run tells the player, once, where the run ends unfinished.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "plugin/GhostFrame.h"
#include "plugin/Lumaro.h"
#include "plugin/Messages.h"

namespace {

// Ticks are as short as the host allows; every poll, sample, playback step and the finish run on the next.
constexpr float nextTick = 0.001f;

}  // namespace

void Lumaro::beginRun() {
  liveRun = ++lastRunIdentity;
  runFrames.clear();
  runFinishSeen = false;
}

void Lumaro::finishRun() {
  // Frozen here: a sampler tick still pending from this run appends nothing after this.
  recordedFrames = std::move(runFrames);
  recordedLapCount = runLapCount;
  runFrames.clear();
  liveRun = 0;
  runFinishSeen = false;
}

// The finished run and the laps it was raced over go together.
void Lumaro::clearRecordedRun() {
  recordedFrames.clear();
  recordedLapCount.reset();
}

// A run whose finish the watcher has seen was finished by the player: a spawn (a map that puts the car back
// at the start as it crosses the line) or the console switch in the tick before the finish handler runs
// ends its sampling, not the race.
void Lumaro::abandonRun() {
  if (!runFinishSeen) dropRun();
}

void Lumaro::dropRun() {
  liveRun = 0;
  runFrames.clear();
  runFinishSeen = false;
}

// "lm_isrecording 0" typed at the console has no change handler: a chain of the live run finds the switch
// off at its next tick (the plugin itself turns it off only after ending the run, which leaves the chains
// stale). The first chain to find it tells the player; the other one is stale by then.
void Lumaro::endSwitchedOffRun() {
  if (!isRunUnfinished()) return;
  endRunUnrecorded(messages::runSwitchedOff);
}

// The run ends without a finish and the player is told; the race is over for the plugin too, so the
// commands answer by the lap counter ("Reset the lap counter ...") rather than claim a run is recording.
void Lumaro::endRunUnrecorded(std::string_view message) {
  stopRecording();
  currentLap = -1;
  logStatus(std::string(message));
}

// A run armed and still waiting for its start. Neither a run whose finish has been seen nor one whose switch
// was turned off at the console is armed any more, though their last ticks are still pending.
bool Lumaro::isArmedRunLive() { return isRunUnfinished() && isRecording(); }

// A run armed or under way whose finish has not been seen: ending it now drops it unrecorded.
bool Lumaro::isRunUnfinished() const { return liveRun != 0 && !runFinishSeen; }

// A tick that an error cut short has left its chain broken: a watcher gone leaves recording on with a race
// that never finishes, a sampler gone leaves a last frame that is not the finish. Either way the run has no
// true time, so it ends as a run without its car does. A run whose finish was seen keeps its finish.
void Lumaro::runTickOfLiveRun(std::string_view entry, const std::function<void()>& tick) {
  if (runGuarded(entry, tick) || !isRunUnfinished()) return;
  endRunUnrecorded(messages::runStoppedOnError);
}

void Lumaro::scheduleForRun(std::string entry, std::function<void()> body) {
  if (liveRun == 0) return;
  scheduleNextTick(std::move(entry), liveRun, std::move(body));
}

void Lumaro::scheduleNextTick(std::string entry, const std::uint64_t& current, std::function<void()> body) {
  schedule(std::move(entry), nextTick, [&current, held = current, body = std::move(body)] {
    if (held == current) body();
  });
}
