// The run sampler: one frame of the local car per tick, stamped with the run time. Paused ticks record
// nothing and move the run's start forward by whole milliseconds, so paused time stays out of the run;
// each paused interval's sub-millisecond remainder is dropped and therefore stays run time.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/ActorWrapper.h"
#include "host/GameWrapper.h"
#include "host/Values.h"
#include "library/ghostfile/GhostFrame.h"
#include "playback/PlaybackClock.h"
#include "plugin/ClockTicks.h"
#include "plugin/Lumaro.h"
#include "plugin/SystemClock.h"
#include "race/RunLife.h"

namespace {

GhostFrame frameOf(const Rotator& rotation, const Vector& location, std::int32_t runTime) {
  // Rotations keep the engine's integer units, only widened to float.
  return GhostFrame{static_cast<float>(rotation.Pitch),
                    static_cast<float>(rotation.Yaw),
                    static_cast<float>(rotation.Roll),
                    location.X,
                    location.Y,
                    location.Z,
                    runTime};
}

}  // namespace

void Lumaro::sampleRun(SystemTime runStart, SystemTime lastSample) {
  runTickOfLiveRun("sampleRun", [this, runStart, lastSample] { sampleCar(runStart, lastSample); });
}

void Lumaro::sampleCar(SystemTime runStart, SystemTime lastSample) {
  CarWrapper car = gameWrapper->GetLocalCar();
  if (car.IsNull()) {
    // Sampling ends for good. The run's last frame would no longer be its finish, so a run whose finish is
    // not yet seen has no true time: it ends here, unrecorded. A finish already seen stands.
    endRun(RunEnd::CarLost);
    return;
  }
  SystemTime now;
  if (gameWrapper->IsPaused()) {
    now = systemNow();
    // The same pause rule as playback's: the paused interval in whole milliseconds only.
    runStart += SystemTicks(pauseShift(now.time_since_epoch().count(), lastSample.time_since_epoch().count()));
  } else {
    // Location, then rotation, then the clock: the frame's time is taken once the car has been read.
    const Vector location = car.GetLocation();
    const Rotator rotation = car.GetRotation();
    now = systemNow();
    runLife.frames().push_back(frameOf(rotation, location, runMilliseconds((now - runStart).count())));
    sampleGhostDelta();
  }
  if (isRecording()) {
    scheduleForRun("sampleRun", [this, runStart, now] { sampleRun(runStart, now); });
  } else {
    // Switched off at the console: the run ends unfinished, its frames with it.
    endRun(RunEnd::SwitchedOff);
  }
}
