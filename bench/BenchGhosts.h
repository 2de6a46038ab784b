// What the benchmarks share: recorded-looking runs, ghost files and ghost folders in a scratch folder that
// lives as long as the program, and the literal baselines every figure stands beside (getline + splitString
// + stoi/stof reading, snprintf writing, a plain read that only counts line feeds).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "host/HostClock.h"
#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostFrame.h"
#include "tools/host/ScenarioTick.h"

namespace bench {

extern const GhostHeader sampleHeader;

// The benchmarks' runs are sampled as lumaro-host's scenarios are: a frame every game tick, 8 ms apart.
inline constexpr std::int32_t frameSpacingMs =
    static_cast<std::int32_t>(Tessaro::wholeMillisecondsOfTicks(lumaro_host::scenarioTickLength));

// A run of frameCount frames, one every frameSpacingMs, on a map 40,000 units wide; the same run for the same count.
const std::vector<GhostFrame>& sampleRun(std::size_t frameCount);

// The scratch folder, removed when the program ends.
const std::filesystem::path& scratchFolder();

// The sample run of frameCount frames written as a ghost file (once per count).
const std::filesystem::path& sampleGhostFile(std::size_t frameCount);

// A ghost folder of fileCount ghost files of twenty frames, half of them for the map and lap count below
// (once per count).
inline constexpr std::string_view folderMapName = "TestMap";
inline constexpr int folderLapCount = 1;
const std::filesystem::path& sampleGhostFolder(std::size_t fileCount);

// Memory the C library's allocator holds for the program right now.
std::size_t heapBytesInUse();

// Bytes of the block's pages that have memory behind them (pages never written have none).
std::size_t residentBytes(void* block, std::size_t bytes);

// ---- literal baselines ----

// getline per line, splitString into strings, stoi and stof per field, push_back per frame.
std::vector<GhostFrame> readGhostLiterally(const std::filesystem::path& file);

// snprintf per frame line into a stdio stream.
void writeGhostWithPrintf(const std::filesystem::path& file, const GhostHeader& header,
                          const std::vector<GhostFrame>& frames);

// The read limit: the file read in large blocks, its line feeds counted, nothing else (what wc -l does).
std::size_t countLineFeeds(const std::filesystem::path& file);

// The write limit: the given bytes written to a new file with one write.
void writeBytes(const std::filesystem::path& file, const std::string& bytes);

// The whole file as bytes.
std::string fileBytes(const std::filesystem::path& file);

}  // namespace bench
