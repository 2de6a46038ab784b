// Access to the running game: one-shot timers, event hooks, host folders, game state, the current map's
// main Kismet sequence and the local car. Timer callbacks run on a later game tick, never inside
// SetTimeout itself.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "host/ActorWrapper.h"
#include "host/Api.h"
#include "host/HandleWrapper.h"
#include "host/Kismet.h"
#include "host/UnrealStringWrapper.h"

class TESSARO_SDK_API GameWrapper : public HandleWrapper {
public:
  using HandleWrapper::HandleWrapper;

  void SetTimeout(std::function<void(GameWrapper*)> callback, float delaySeconds);
  void HookEvent(std::string eventName, std::function<void(std::string eventName)> callback);

  std::filesystem::path GetDataFolder();
  std::filesystem::path GetTessaroPath();
  std::filesystem::path FixRelativePath(std::filesystem::path path);

  bool IsInFreeplay();
  bool IsPaused();

  SequenceWrapper GetMainSequence();
  CarWrapper GetLocalCar();
  UnrealStringWrapper GetPlayerName();
};
