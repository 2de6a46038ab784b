// Asks the system to back a large block that is about to be written for the first time with large pages
// where it offers them (Linux: transparent huge pages on request), so that filling it takes one page fault
// per 2 MiB rather than per 4 KiB. Only the part of the block that covers whole large pages is affected;
// elsewhere, and where the system declines, nothing changes.
#pragma once

#include <cstddef>

void adviseLargePages(void* block, std::size_t bytes);

// The size of a large page where the system offers them, the step of their advice.
inline constexpr std::size_t largePageBytes = std::size_t{2} << 20;
