#include "library/platform/LargePages.h"

#include <cstdint>

#if defined(__linux__)
#  include <sys/mman.h>
#endif

void adviseLargePages([[maybe_unused]] void* block, [[maybe_unused]] std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  constexpr std::uintptr_t largePage = largePageBytes;
  const auto start = reinterpret_cast<std::uintptr_t>(block);
  const std::uintptr_t first = (start + largePage - 1) & ~(largePage - 1);
  const std::uintptr_t last = (start + bytes) & ~(largePage - 1);
  // A refusal (no such support, or the block not mapped as the heap's own pages) leaves the block as it was.
  // The aligned start is reached from the block's own pointer, so no address is made from a number.
  if (last > first) ::madvise(static_cast<char*>(block) + (first - start), last - first, MADV_HUGEPAGE);
#endif
}
