// The run's timer chains and the glue between the run's life and the host. Arming gives a run an identity,
// and its lap watcher, sampler and finish timers carry it. Whatever ends the run changes it, so a tick still
// pending from it finds itself stale and does nothing: no frame appended, nothing scheduled, no message.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "host/CVarManagerWrapper.h"
#include "host/CVarWrapper.h"
#include "library/ghostfile/GhostFrame.h"
#include "plugin/Lumaro.h"
#include "race/RunLife.h"

// The finished run and the laps it was raced over go together.
void Lumaro::clearRecordedRun() {
  recordedFrames.clear();
  runLife.forgetFinishedRun();
}

// Something other than its finish ended the run: the switch goes off, and the player is told once, in the
// words of what ended it, when that cost a run (or, after a finish seen, the car).
void Lumaro::endRun(RunEnd cause) {
  const std::optional<std::string_view> told = runLife.end(cause);
  stopRecording();
  if (told) logStatus(std::string(*told));
}

// "lm_isrecording 0" typed at the console has no change handler: the run it ended is found by the next tick
// of its chains, or by the next command, whichever comes first, and told once.
void Lumaro::endSwitchedOffRun() {
  if (runLife.isUnfinished()) endRun(RunEnd::SwitchedOff);
}

// A tick that an error cut short has left its chain broken: a watcher gone leaves recording on with a race
// that never finishes, a sampler gone leaves a last frame that is not the finish. Either way the run has no
// true time, so it ends as a run without its car does. A run whose finish was seen keeps its finish.
void Lumaro::runTickOfLiveRun(std::string_view entry, const std::function<void()>& tick) {
  if (runGuarded(entry, tick) || !runLife.isUnfinished()) return;
  endRun(RunEnd::TickError);
}

void Lumaro::scheduleForRun(std::string entry, std::function<void()> body) {
  if (runLife.identity() == 0) return;
  scheduleNextTick(std::move(entry), runLife.identity(), std::move(body));
}

void Lumaro::scheduleNextTick(std::string entry, const std::uint64_t& current, std::function<void()> body) {
  schedule(std::move(entry), nextTickDelay, [&current, held = current, body = std::move(body)] {
    if (held == current) body();
  });
}
