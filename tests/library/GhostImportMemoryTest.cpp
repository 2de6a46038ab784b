// The import's memory, counted by the heap itself: this program's operator new and delete keep the bytes in
// use and their high-water mark (the array forms call them), so a test sees every byte the import asks for.
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "GhostFileHelpers.h"
#include "library/ghostfile/GhostFileRead.h"
#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostFrame.h"
#include "support/TempFolder.h"

namespace {

std::atomic<std::size_t> bytesInUse{0};
std::atomic<std::size_t> mostBytesInUse{0};

// Each block carries its size in front of it, 16 bytes to keep the alignment new promises.
constexpr std::size_t blockHead = 16;

void* allocate(std::size_t size) {
  void* block = std::malloc(size + blockHead);
  if (block == nullptr) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  const std::size_t now = bytesInUse += size;
  std::size_t most = mostBytesInUse;
  while (now > most && !mostBytesInUse.compare_exchange_weak(most, now)) {}
  return static_cast<char*>(block) + blockHead;
}

void release(void* memory) {
  if (memory == nullptr) return;
  void* block = static_cast<char*>(memory) - blockHead;
  bytesInUse -= *static_cast<std::size_t*>(block);
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void operator delete(void* memory) noexcept { release(memory); }
void operator delete(void* memory, std::size_t /*size*/) noexcept { release(memory); }

namespace {

// Mended: the list was reserved from the file's length and then copied once to trim it, so a loaded ghost
// of 28 bytes a frame cost twice that and more while it was read. The room is now taken once from the
// file's size, two bytes of list for each byte of file (a frame line is at least fourteen bytes), and kept.
TEST(GhostImportMemory, TheReadAsksOnceForTheRoomTheFileSizeAllowsAndOneLineBuffer) {
  TempFolder folder;
  const auto file = folder.path() / "run.ghost";
  constexpr std::size_t frameCount = 20000;
  std::string bytes = "TestMap,Ann,159992,1-Lap,1.1\r\n";
  for (std::size_t i = 0; i < frameCount; ++i)
    bytes += std::to_string(8 * i) + ",-12345.67,2345.12,-17.01,0,16384,-5\r\n";
  writeBytes(file, bytes);

  std::vector<GhostFrame> frames;
  const std::size_t before = bytesInUse;
  mostBytesInUse = before;
  readGhostFile(file, frames);
  ASSERT_EQ(frames.size(), frameCount);
  const std::size_t lineBuffer = (std::size_t{1} << 16) + 1024;
  EXPECT_LE(mostBytesInUse - before, 2 * bytes.size() + lineBuffer);
}

}  // namespace
