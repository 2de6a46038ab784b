// Every host wrapper is a handle: it carries the address of an engine object and nothing else.
// Address 0 is the empty handle. Copying or destroying a handle never touches the object behind it.
#pragma once

#include <cstdint>

#include "host/Api.h"

class TESSARO_SDK_API HandleWrapper {
public:
  explicit HandleWrapper(std::uintptr_t address = 0) : memoryAddress(address) {}

  bool IsNull() const { return memoryAddress == 0; }
  std::uintptr_t address() const { return memoryAddress; }

protected:
  std::uintptr_t memoryAddress;
};
