// Ghost colour: lm_color packed into the one float the map's Kismet script reads back as a colour, written
// a moment (ghostColorDelay) after each change of the colour and after every map load and run reset in freeplay.
#include <memory>
#include <string>
#include <string_view>

#include "host/CVarManagerWrapper.h"
#include "host/CVarWrapper.h"
#include "host/Kismet.h"
#include "playback/GhostColorPacking.h"
#include "plugin/HostNames.h"
#include "plugin/Lumaro.h"
#include "plugin/Settings.h"
#include "race/RunLife.h"

void Lumaro::updateGhostColor() {
  if (!checkInWorkshopMap()) return;
  const GhostColorParts parts = ghostColorParts(settings::color(*cvarManager));
  schedule("setGhostColor", ghostColorDelay, [this, parts] { setGhostColor(parts.red, parts.green, parts.blue); });
}

void Lumaro::setGhostColor(float red, float green, float blue) {
  // The reset's own colour step would come straight back here on a freeplay map without a sequence.
  if (!checkMainSequence(false)) return;
  const float packed = packGhostColor(red, green, blue);
  forEachVariable(KismetType::Float, names::kismet::ghostColor,
                  [packed](SequenceVariableWrapper& variable) { variable.SetFloat(packed); });
}
