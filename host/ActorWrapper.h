// Handles to actors of the game world; the plugin only ever looks at the local player's car.
#pragma once

#include <cstdint>

#include "host/Api.h"
#include "host/HandleWrapper.h"
#include "host/Values.h"

class TESSARO_SDK_API ActorWrapper : public HandleWrapper {
public:
  using HandleWrapper::HandleWrapper;

  Vector GetLocation();
  Rotator GetRotation();
};

class TESSARO_SDK_API CarWrapper : public ActorWrapper {
public:
  using ActorWrapper::ActorWrapper;
};
