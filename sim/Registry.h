// The stand-in host's address book. Every engine object a handle can point at is entered here under an
// address that is never reused; a handle resolves its address through this table, so a handle that
// outlived its object (a variable of an unloaded map, a removed car) finds nothing instead of freed memory.
#pragma once

#include <cstdint>

#include "host/Api.h"

namespace sim {

enum class ObjectKind { Console, CVar, Game, Sequence, Variable, Car, Text };

TESSARO_SDK_API std::uintptr_t enter(ObjectKind kind, void* object);
TESSARO_SDK_API void forget(std::uintptr_t address);
TESSARO_SDK_API void* lookUp(std::uintptr_t address, ObjectKind kind);

template <class T>
T* resolve(std::uintptr_t address, ObjectKind kind) {
  return static_cast<T*>(lookUp(address, kind));
}

}  // namespace sim
