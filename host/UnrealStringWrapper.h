// An engine string handle; ToString gives its bytes as narrow text.
#pragma once

#include <cstdint>
#include <string>

#include "host/Api.h"
#include "host/HandleWrapper.h"

class TESSARO_SDK_API UnrealStringWrapper : public HandleWrapper {
public:
  using HandleWrapper::HandleWrapper;

  std::string ToString();
};
