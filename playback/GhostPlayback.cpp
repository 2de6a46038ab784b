// Ghost playback: the map's ghost car follows the loaded ghost because every playback tick writes its pose
// into GhostPosition and GhostRotation. The tick is a chain of one-shot timers that ends by its own tests;
// stopping only clears isPlaying, and the pending tick ends the chain. Each chain carries the identity of
// the preview it plays: a chain left behind by a newer preview, or by a map load that took the ghost car
// away, ends silently, so only one ever runs.
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/GameWrapper.h"
#include "host/Kismet.h"
#include "playback/FrameChoice.h"
#include "playback/GhostFrameOrder.h"
#include "playback/PlaybackClock.h"
#include "plugin/HostNames.h"
#include "plugin/Lumaro.h"
#include "plugin/Messages.h"
#include "plugin/SystemClock.h"
#include "race/RunLife.h"

namespace {

struct GhostCarVariables {
  SequenceVariableWrapper position;
  SequenceVariableWrapper rotation;
};

enum class AfterNoGhost { KeepRun, ResetRun, ResetRunUntold };

// What the play and stop commands both need before they touch the ghost car: the main sequence (without it,
// the no-Kismet failure), a fresh variable table, a loaded ghost (without it, "No Ghost loaded.", and for the
// stop also the run reset, which keeps a finished run) and both vector variables of the ghost car (without them,
// silence). Nothing is returned when any of these is missing.
std::optional<GhostCarVariables> lookUpGhostCar(Lumaro& plugin, AfterNoGhost afterNoGhost) {
  if (!plugin.checkMainSequence()) return std::nullopt;
  if (plugin.ghostFrames.empty()) {
    plugin.logStatus(std::string(messages::noGhostLoaded));
    if (afterNoGhost != AfterNoGhost::KeepRun) plugin.resetRunForStop(afterNoGhost == AfterNoGhost::ResetRun);
    return std::nullopt;
  }
  std::optional<SequenceVariableWrapper> position =
      plugin.findLastVariable(KismetType::Vector, names::kismet::ghostPosition);
  std::optional<SequenceVariableWrapper> rotation =
      plugin.findLastVariable(KismetType::Vector, names::kismet::ghostRotation);
  if (!position || !rotation) return std::nullopt;
  return GhostCarVariables{*position, *rotation};
}

void placeGhostCar(SequenceVariableWrapper& position, SequenceVariableWrapper& rotation, const GhostPose& pose) {
  position.SetVector(pose.position);
  rotation.SetVector(pose.rotation);
}

// Playback is on exactly while its chain goes on: a tick that ends without setting the next one, by an error
// escaping it too, leaves isPlaying cleared, so the play command starts a new chain instead of trusting one
// that is gone. Every other way a tick ends clears it already.
class ChainLink {
public:
  explicit ChainLink(bool& isPlaying) : isPlaying_(isPlaying) {}
  ChainLink(const ChainLink&) = delete;
  ChainLink& operator=(const ChainLink&) = delete;
  ~ChainLink() {
    if (!continued_) isPlaying_ = false;
  }
  void continued() { continued_ = true; }

private:
  bool& isPlaying_;
  bool continued_ = false;
};

// The stop command: playback ends, and the ghost car is parked at the origin with no rotation.
void stopGhostCar(Lumaro& plugin, AfterNoGhost afterNoGhost) {
  plugin.isPlaying = false;
  std::optional<GhostCarVariables> ghostCar = lookUpGhostCar(plugin, afterNoGhost);
  if (!ghostCar) return;
  placeGhostCar(ghostCar->position, ghostCar->rotation, GhostPose{});
}

}  // namespace

void Lumaro::playGhost() {
  if (!checkInWorkshopMap()) return;
  std::optional<GhostCarVariables> ghostCar = lookUpGhostCar(*this, AfterNoGhost::KeepRun);
  if (!ghostCar) return;

  const SystemTime now = systemNow();
  playbackStart = now.time_since_epoch().count();
  // A running chain simply plays from the new start on its next tick.
  if (isPlaying) return;
  isPlaying = true;
  ++currentPreview;
  playbackTick(ghostCar->position, ghostCar->rotation, now);
}

// A challenge's race goes on without its ghost, as a plain race with no difference to show.
void Lumaro::stopGhost() {
  stopGhostCar(*this, AfterNoGhost::ResetRun);
  runLife.ghostStopped();
}

// An armed run is kept to be armed again: should automatic recording be switched off before that, the switch
// ends it and says so.
void Lumaro::stopGhostBeforeRearming() {
  stopGhostCar(*this, runLife.isArmed() ? AfterNoGhost::KeepRun : AfterNoGhost::ResetRunUntold);
}

void Lumaro::playbackTick(SequenceVariableWrapper position, SequenceVariableWrapper rotation, SystemTime lastTick) {
  ChainLink link(isPlaying);
  if (!checkInWorkshopMap()) return;
  if (!isHeldVariableValid(position, false)) {
    failNoKismet();
    return;
  }
  if (!isPlaying) {
    logStatus(std::string(messages::stoppedGhost));
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
    if (choice.kind == FrameChoiceKind::GhostEnded) {
      isPlaying = false;
      return;
    }
    if (choice.kind == FrameChoiceKind::Show) placeGhostCar(position, rotation, choice.pose);
  }
  scheduleNextTick("playbackTick", currentPreview,
                   [this, position, rotation, now] { playbackTick(position, rotation, now); });
  link.continued();
}
