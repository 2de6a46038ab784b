#include "sim/Registry.h"

#include <unordered_map>
#include <utility>

namespace sim {
namespace {

struct Entry {
  ObjectKind kind;
  void* object;
};

struct Book {
  std::unordered_map<std::uintptr_t, Entry> entries;
  std::uintptr_t next = 0x10000;
};

Book& book() {
  static Book instance;
  return instance;
}

}  // namespace

std::uintptr_t enter(ObjectKind kind, void* object) {
  Book& b = book();
  const std::uintptr_t address = b.next;
  b.next += 0x40;
  b.entries.emplace(address, Entry{kind, object});
  return address;
}

void forget(std::uintptr_t address) { book().entries.erase(address); }

void* lookUp(std::uintptr_t address, ObjectKind kind) {
  if (address == 0) return nullptr;
  const auto& entries = book().entries;
  auto it = entries.find(address);
  if (it == entries.end() || it->second.kind != kind) return nullptr;
  return it->second.object;
}

}  // namespace sim
