// The life of a run: arming gives it a new identity, and its lap watcher, sampler and finish timers carry
// that identity. Whatever ends the run clears it, so a tick still pending from it finds itself stale and
// does nothing: no frame appended, nothing scheduled, no message. Only the finish keeps the run's frames.
#include <utility>

#include "plugin/Lumaro.h"

namespace {

// Ticks are as short as the host allows; every poll, sample and the finish run on the next one.
constexpr float everyTick = 0.001f;

}  // namespace

void Lumaro::beginRun() {
  liveRun = ++lastRunIdentity;
  runFrames.clear();
}

void Lumaro::finishRun() {
  // Frozen here: a sampler tick still pending from this run appends nothing after this.
  recordedFrames = std::move(runFrames);
  runFrames.clear();
  liveRun = 0;
}

void Lumaro::abandonRun() {
  liveRun = 0;
  runFrames.clear();
}

// "lm_isrecording 0" typed at the console has no change handler: the live run ends wherever the switch is
// next looked at, by a chain's tick or here.
bool Lumaro::isArmedRunLive() {
  if (liveRun != 0 && !isRecording()) abandonRun();
  return liveRun != 0;
}

void Lumaro::scheduleForRun(std::string entry, std::function<void()> body) {
  if (liveRun == 0) return;
  schedule(std::move(entry), everyTick, [this, run = liveRun, body = std::move(body)] {
    if (run == liveRun) body();
  });
}
