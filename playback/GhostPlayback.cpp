// Ghost playback: the map's ghost car follows the loaded ghost because every playback tick writes its pose
// into GhostPosition and GhostRotation. The tick is a chain of one-shot timers that ends by its own tests;
// stopping only clears isPlaying, and the pending tick ends the chain.
#include <optional>
#include <string>
#include <utility>

#include "playback/FrameChoice.h"
#include "playback/PlaybackClock.h"
#include "plugin/Lumaro.h"
#include "plugin/Messages.h"

namespace {

struct GhostCarVariables {
  SequenceVariableWrapper position;
  SequenceVariableWrapper rotation;
};

// Both vector variables of the ghost car from the freshly fetched table, or nothing when either is missing.
std::optional<GhostCarVariables> findGhostCarVariables(Lumaro& plugin) {
  std::optional<SequenceVariableWrapper> position = plugin.findLastVariable(KismetType::Vector, "GhostPosition");
  std::optional<SequenceVariableWrapper> rotation = plugin.findLastVariable(KismetType::Vector, "GhostRotation");
  if (!position || !rotation) return std::nullopt;
  return GhostCarVariables{std::move(*position), std::move(*rotation)};
}

void placeGhostCar(SequenceVariableWrapper& position, SequenceVariableWrapper& rotation, const GhostPose& pose) {
  position.SetVector(pose.position);
  rotation.SetVector(pose.rotation);
}

}  // namespace

void Lumaro::playGhost() {
  if (!gameWrapper->IsInFreeplay()) {
    failNotInWorkshop();
    return;
  }
  SequenceWrapper sequence = mainSequence();
  if (sequence.IsNull()) {
    failNoKismet();
    return;
  }
  refreshSequenceVariables(sequence);
  if (ghostFrames.empty()) {
    logStatus(std::string(messages::noGhostLoaded));
    return;
  }
  std::optional<GhostCarVariables> ghostCar = findGhostCarVariables(*this);
  if (!ghostCar) return;

  const SystemTime now = systemNow();
  playbackStart = now.time_since_epoch().count();
  // The ghost may have been replaced in its old storage since it was last looked at.
  ghostFrameOrder.forget();
  // A running chain simply plays from the new start on its next tick.
  if (isPlaying) return;
  isPlaying = true;
  playbackTick(ghostCar->position, ghostCar->rotation, now);
}

void Lumaro::stopGhost() {
  isPlaying = false;
  SequenceWrapper sequence = mainSequence();
  if (sequence.IsNull()) {
    failNoKismet();
    return;
  }
  refreshSequenceVariables(sequence);
  if (ghostFrames.empty()) {
    logStatus(std::string(messages::noGhostLoaded));
    runReset();
    return;
  }
  std::optional<GhostCarVariables> ghostCar = findGhostCarVariables(*this);
  if (!ghostCar) return;
  // Parked at the origin with no rotation.
  placeGhostCar(ghostCar->position, ghostCar->rotation, GhostPose{});
}

void Lumaro::playbackTick(SequenceVariableWrapper position, SequenceVariableWrapper rotation, SystemTime lastTick) {
  if (!gameWrapper->IsInFreeplay()) {
    failNotInWorkshop();
    return;
  }
  if (!isHeldVariableValid(position, false)) {
    failNoKismet();
    return;
  }
  if (!isPlaying) {
    logStatus("Stopped ghost.");
    return;
  }

  const SystemTime now = systemNow();
  const std::int64_t nowTicks = now.time_since_epoch().count();
  const std::int64_t elapsed = playbackElapsed(nowTicks, playbackStart);
  if (gameWrapper->IsPaused()) {
    // The ghost stands still: the start moves on with the pause, so play resumes where it stood.
    playbackStart += pauseShift(nowTicks, lastTick.time_since_epoch().count());
  } else {
    const FrameChoice choice = chooseFrame(ghostFrames, elapsed, ghostFrameOrder.inTimeOrder(ghostFrames));
    if (choice.kind == FrameChoiceKind::ghostEnded) {
      isPlaying = false;
      return;
    }
    if (choice.kind == FrameChoiceKind::show) placeGhostCar(position, rotation, choice.pose);
  }
  schedule("playbackTick", 0.001f,
           [this, position, rotation, now] { playbackTick(position, rotation, now); });
}
