#include <benchmark/benchmark.h>

#include <iomanip>
#include <istream>
#include <ostream>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "library/GhostFormat.h"
#include "library/SplitString.h"

// Reading and writing a ghost of a million frames (about 2.3 hours of run at one frame per 8 ms): the ghost
// codec against the literal approach of getline, splitString into strings, stoi/stof, and ostream output.
namespace {

constexpr std::size_t frameCount = 1'000'000;

const std::vector<GhostFrame>& millionFrames() {
  static const std::vector<GhostFrame> frames = [] {
    std::mt19937 random(1);
    std::uniform_real_distribution<float> onMap(-20000.0f, 20000.0f);
    std::vector<GhostFrame> made(frameCount);
    for (std::size_t i = 0; i < made.size(); ++i) {
      made[i].time = static_cast<std::int32_t>(i * 8);
      made[i].x = onMap(random);
      made[i].y = onMap(random);
      made[i].z = onMap(random) / 20.0f;
      made[i].pitch = static_cast<float>(static_cast<int>(random() % 65536) - 32768);
      made[i].yaw = static_cast<float>(static_cast<int>(random() % 65536) - 32768);
      made[i].roll = static_cast<float>(static_cast<int>(random() % 65536) - 32768);
    }
    return made;
  }();
  return frames;
}

const GhostHeader header{"TestMap", "Player", 7'999'992, 1, "1.1"};

// A stream that keeps nothing, so that writing measures formatting alone.
class DiscardBuffer : public std::streambuf {
protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

// A stream reading straight out of memory, so that reading measures parsing alone.
class MemoryBuffer : public std::streambuf {
public:
  explicit MemoryBuffer(const std::string& text) {
    char* start = const_cast<char*>(text.data());
    setg(start, start, start + text.size());
  }
};

void writeLiterally(std::ostream& out, const GhostHeader& head, const std::vector<GhostFrame>& frames) {
  out << head.mapName << ',' << head.playerName << ',' << head.runTime << ',' << head.lapCount << "-Lap,"
      << head.version << "\r\n";
  out << std::fixed << std::setprecision(2);
  for (const GhostFrame& frame : frames) {
    out << frame.time << ',' << static_cast<double>(frame.x) << ',' << static_cast<double>(frame.y) << ','
        << static_cast<double>(frame.z) << ',' << static_cast<int>(frame.pitch) << ',' << static_cast<int>(frame.yaw)
        << ',' << static_cast<int>(frame.roll) << "\r\n";
  }
}

void readLiterally(std::istream& in, std::vector<GhostFrame>& frames) {
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> fields = splitString(line, ",");
    frames.push_back(GhostFrame{std::stof(fields[4]), std::stof(fields[5]), std::stof(fields[6]), std::stof(fields[1]),
                                std::stof(fields[2]), std::stof(fields[3]), std::stoi(fields[0])});
  }
}

const std::string& millionFrameFile() {
  static const std::string text = [] {
    std::ostringstream out;
    writeGhost(out, header, millionFrames());
    return out.str();
  }();
  return text;
}

// Both writers must give the same bytes and both readers the same frames, or the figures mean nothing.
bool sameResults() {
  std::ostringstream literal;
  writeLiterally(literal, header, millionFrames());
  if (literal.str() != millionFrameFile()) return false;
  MemoryBuffer first(millionFrameFile());
  MemoryBuffer second(millionFrameFile());
  std::istream codecIn(&first);
  std::istream literalIn(&second);
  std::vector<GhostFrame> codecFrames;
  std::vector<GhostFrame> literalFrames;
  readGhostFrames(codecIn, codecFrames);
  readLiterally(literalIn, literalFrames);
  return codecFrames == literalFrames && codecFrames.size() == frameCount;
}

void BM_WriteGhost_Codec(benchmark::State& state) {
  if (!sameResults()) state.SkipWithError("the codec and the literal approach disagree");
  DiscardBuffer sink;
  std::ostream out(&sink);
  for (auto _ : state) writeGhost(out, header, millionFrames());
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * frameCount));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * millionFrameFile().size()));
}

void BM_WriteGhost_Literal(benchmark::State& state) {
  DiscardBuffer sink;
  std::ostream out(&sink);
  for (auto _ : state) writeLiterally(out, header, millionFrames());
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * frameCount));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * millionFrameFile().size()));
}

void BM_ReadGhost_Codec(benchmark::State& state) {
  for (auto _ : state) {
    MemoryBuffer buffer(millionFrameFile());
    std::istream in(&buffer);
    std::vector<GhostFrame> frames;
    readGhostFrames(in, frames);
    benchmark::DoNotOptimize(frames.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * frameCount));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * millionFrameFile().size()));
}

void BM_ReadGhost_Literal(benchmark::State& state) {
  for (auto _ : state) {
    MemoryBuffer buffer(millionFrameFile());
    std::istream in(&buffer);
    std::vector<GhostFrame> frames;
    readLiterally(in, frames);
    benchmark::DoNotOptimize(frames.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * frameCount));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * millionFrameFile().size()));
}

}  // namespace

BENCHMARK(BM_WriteGhost_Codec)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteGhost_Literal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadGhost_Codec)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadGhost_Literal)->Unit(benchmark::kMillisecond);
