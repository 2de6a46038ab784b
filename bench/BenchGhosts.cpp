#include "BenchGhosts.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <system_error>

#include "library/ghostfile/GhostFileWrite.h"
#include "library/ghostfile/SplitString.h"
#include "plugin/HostNames.h"

namespace bench {

const GhostHeader sampleHeader{"TestMap", "Player", 0, 1, writtenGhostVersion};

const std::vector<GhostFrame>& sampleRun(std::size_t frameCount) {
  static std::map<std::size_t, std::unique_ptr<std::vector<GhostFrame>>> runs;
  auto& run = runs[frameCount];
  if (!run) {
    std::mt19937 random(static_cast<std::mt19937::result_type>(frameCount));
    std::uniform_real_distribution<float> onMap(-20000.0f, 20000.0f);
    run = std::make_unique<std::vector<GhostFrame>>(frameCount);
    for (std::size_t i = 0; i < frameCount; ++i) {
      GhostFrame& frame = (*run)[i];
      frame.time = static_cast<std::int32_t>(i) * frameSpacingMs;
      frame.x = onMap(random);
      frame.y = onMap(random);
      frame.z = onMap(random) / 20.0f;
      frame.pitch = static_cast<float>(static_cast<int>(random() % 65536) - 32768);
      frame.yaw = static_cast<float>(static_cast<int>(random() % 65536) - 32768);
      frame.roll = static_cast<float>(static_cast<int>(random() % 65536) - 32768);
    }
  }
  return *run;
}

namespace {

struct ScratchFolder {
  std::filesystem::path path;
  ScratchFolder() {
    path = std::filesystem::temp_directory_path() / ("lumaro-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

}  // namespace

const std::filesystem::path& scratchFolder() {
  static const ScratchFolder folder;
  return folder.path;
}

const std::filesystem::path& sampleGhostFile(std::size_t frameCount) {
  static std::map<std::size_t, std::filesystem::path> files;
  auto& file = files[frameCount];
  if (file.empty()) {
    file = scratchFolder() / ("run-" + std::to_string(frameCount) + ".ghost");
    const auto& run = sampleRun(frameCount);
    GhostHeader header = sampleHeader;
    header.runTime = run.empty() ? 0 : run.back().time;
    if (writeGhostFile(file, header, run)) throw std::runtime_error("cannot write " + file.string());
  }
  return file;
}

const std::filesystem::path& sampleGhostFolder(std::size_t fileCount) {
  static std::map<std::size_t, std::filesystem::path> folders;
  auto& folder = folders[fileCount];
  if (folder.empty()) {
    folder = scratchFolder() / ("folder-" + std::to_string(fileCount));
    std::filesystem::create_directories(folder);
    // Twenty frames: enough that the header read meets more of the file, as it does in a recorded ghost.
    const auto& run = sampleRun(20);
    for (std::size_t i = 0; i < fileCount; ++i) {
      const bool fits = i % 2 == 0;
      const GhostHeader header{fits ? folderMapName : std::string_view("OtherMap"), "Player",
                               83456 + static_cast<int>(i), folderLapCount, writtenGhostVersion};
      char name[48];  // room for any std::size_t
      std::snprintf(name, sizeof name, "ghost-%05zu.ghost", i);
      std::ofstream out(folder / name, std::ios::binary);
      writeGhost(out, header, run);
    }
  }
  return folder;
}

// Small blocks in the heap proper, and the large ones the allocator maps on their own.
std::size_t heapBytesInUse() {
  const auto info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

std::size_t residentBytes(void* block, std::size_t bytes) {
  if (bytes == 0) return 0;
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  auto* first = static_cast<unsigned char*>(block);
  const auto lead = static_cast<std::size_t>(reinterpret_cast<std::uintptr_t>(first) % page);
  const std::size_t pages = (lead + bytes + page - 1) / page;
  std::vector<unsigned char> inMemory(pages);
  if (mincore(first - lead, pages * page, inMemory.data()) != 0) return 0;
  std::size_t count = 0;
  for (const unsigned char flags : inMemory) count += flags & 1U;
  return count * page;
}

std::vector<GhostFrame> readGhostLiterally(const std::filesystem::path& file) {
  std::vector<GhostFrame> frames;
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> fields = splitString(line, ",");
    frames.push_back(GhostFrame{std::stof(fields[4]), std::stof(fields[5]), std::stof(fields[6]), std::stof(fields[1]),
                                std::stof(fields[2]), std::stof(fields[3]), std::stoi(fields[0])});
  }
  return frames;
}

void writeGhostWithPrintf(const std::filesystem::path& file, const GhostHeader& header,
                          const std::vector<GhostFrame>& frames) {
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (out == nullptr) throw std::runtime_error("cannot write " + file.string());
  std::fprintf(out, "%.*s,%.*s,%d,%d-Lap,%.*s\r\n", static_cast<int>(header.mapName.size()), header.mapName.data(),
               static_cast<int>(header.playerName.size()), header.playerName.data(), header.runTime, header.lapCount,
               static_cast<int>(header.version.size()), header.version.data());
  char line[frameLineCapacity];
  for (const GhostFrame& frame : frames) {
    const int length =
        std::snprintf(line, sizeof line, "%d,%.2f,%.2f,%.2f,%d,%d,%d\r\n", frame.time, static_cast<double>(frame.x),
                      static_cast<double>(frame.y), static_cast<double>(frame.z), static_cast<int>(frame.pitch),
                      static_cast<int>(frame.yaw), static_cast<int>(frame.roll));
    std::fwrite(line, 1, static_cast<std::size_t>(length), out);
  }
  std::fclose(out);
}

std::size_t countLineFeeds(const std::filesystem::path& file) {
  const int descriptor = ::open(file.c_str(), O_RDONLY);
  if (descriptor < 0) throw std::runtime_error("cannot read " + file.string());
  static char block[1 << 17];
  std::size_t feeds = 0;
  for (;;) {
    const ssize_t got = ::read(descriptor, block, sizeof block);
    if (got <= 0) break;
    const char* at = block;
    const char* const end = block + got;
    while ((at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)))) != nullptr) {
      ++feeds;
      ++at;
    }
  }
  ::close(descriptor);
  return feeds;
}

void writeBytes(const std::filesystem::path& file, const std::string& bytes) {
  const int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (descriptor < 0) throw std::runtime_error("cannot write " + file.string());
  if (::write(descriptor, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
    throw std::runtime_error("short write to " + file.string());
  }
  ::close(descriptor);
}

std::string fileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace bench
