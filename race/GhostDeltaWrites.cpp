// The map's GhostDelta: while a challenge's race is under way, every sample of the player's car writes the
// seconds the player is behind the ghost at that place (race/GhostDelta.h), and the finish writes the final
// difference. The variable is optional: it is looked up once per challenge start, after everything else that
// tick does, so a map without it sees no other call. A plain recording never writes it. A race whose
// comparison ends early (its counter back at -1, its ghost stopped, or ended short of the race's laps) writes 0
// once and nothing more.
#include <optional>
#include <span>
#include <vector>

#include "host/GameWrapper.h"
#include "host/Kismet.h"
#include "library/ghostfile/GhostFrame.h"
#include "plugin/HostNames.h"
#include "plugin/Lumaro.h"
#include "race/GhostDelta.h"
#include "race/RunLife.h"

void Lumaro::lookUpGhostDelta() {
  SequenceWrapper sequence = mainSequence();
  if (sequence.IsNull()) return;
  refreshSequenceVariables(sequence);
  ghostDeltaVariable = findLastVariable(KismetType::Float, names::kismet::ghostDelta);
  if (!ghostDeltaVariable) return;
  ghostDelta.start(ghostFrames, runLife.raceLapCount());
  // The start's own sample was taken before the lookup.
  sampleGhostDelta();
}

void Lumaro::sampleGhostDelta() {
  if (!ghostDeltaVariable || runLife.phase() != RunPhase::RacingGhost || runLife.frames().empty()) return;
  const std::optional<float> seconds = ghostDelta.sample(ghostFrames, runLife.frames());
  // A ghost ended short of the race supports no difference: 0 once, for the rest of the race and at its finish.
  if (ghostDelta.endedShort()) {
    endGhostDelta();
    return;
  }
  // Off the ghost's path the value holds.
  if (seconds) writeGhostDelta(*seconds);
}

void Lumaro::endGhostDelta() {
  writeGhostDelta(0.0f);
  ghostDeltaVariable.reset();
}

// A held variable is tested before each use: one whose map went away is let go.
void Lumaro::writeGhostDelta(float seconds) {
  if (!ghostDeltaVariable) return;
  if (!isHeldVariableValid(*ghostDeltaVariable, true)) {
    ghostDeltaVariable.reset();
    return;
  }
  ghostDeltaVariable->SetFloat(seconds);
}

void Lumaro::onRunPhase(RunPhase from, RunPhase to) {
  switch (to) {
    case RunPhase::ArmedChallenge: writeGhostDelta(0.0f); break;
    // A plain run never writes it past its arming, which clears what an earlier challenge left; a challenge's
    // race looks it up afresh.
    case RunPhase::Armed: endGhostDelta(); break;
    // A race that leaves its ghost shows 0 once for the rest of it.
    case RunPhase::Racing:
      if (from == RunPhase::RacingGhost) endGhostDelta();
      ghostDeltaVariable.reset();
      break;
    case RunPhase::RacingGhost: ghostDeltaVariable.reset(); break;
    case RunPhase::Idle: writeGhostDelta(0.0f); break;
    case RunPhase::Finished:
      if (from == RunPhase::FinishSeen && ghostDeltaVariable) {
        writeGhostDelta(ghostDelta.finish(runLife.frames()));
      }
      break;
    case RunPhase::FinishSeen: break;
  }
}
