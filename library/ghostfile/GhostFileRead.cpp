#include "library/ghostfile/GhostFileRead.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "library/platform/LargePages.h"
#include "library/platform/RegularFileReader.h"

std::size_t mostFramesInFile(std::uint64_t fileBytes) {
  // A frame line holds seven fields and the six commas between them, and every line but the last ends with
  // its line feed: n frame lines take 14 n - 1 bytes at least, and the header line before them one (its line
  // feed), so 14 n bytes in all.
  constexpr std::uint64_t shortestFrameLine = std::uint64_t{2} * frameFieldCount;
  const std::uint64_t most = fileBytes / shortestFrameLine;
  return static_cast<std::size_t>(std::min<std::uint64_t>(most, mostFramesReservedAhead));
}

GhostFileRead readGhostFile(const std::filesystem::path& file, std::vector<GhostFrame>& frames) {
  // The storage of an earlier ghost is given back, not kept (assigning an empty list would keep its room).
  std::vector<GhostFrame>().swap(frames);
  GhostFileRead read;
  RegularFileReader in(file);
  read.deviceName = in.refusal() == RegularFileReader::Refusal::DeviceName;
  if (!in.isOpen()) return read;
  read.opened = true;
  // One pass over the bytes: the list's room is taken once, for as many frames as the file's size can hold,
  // and filled from its start as the lines are read. Room is address space until it is written: a large block
  // comes fresh from the system, whose pages are given memory at their first write, so the process holds
  // the frames read and not the room reserved (a small one may be memory the process already holds). The
  // room is kept as it is when the reading ends: giving the rest back would copy the frames, holding them
  // twice for that moment.
  frames.reserve(mostFramesInFile(in.size()));
  // The list is new memory, written once from its start: large pages spare most of its page faults. A large
  // page is given memory whole at its first write, so one that the last frames fill only in part would hold
  // up to 2 MiB that no frame needs: only the list up to the frames the rest of the file surely holds is
  // advised, as the reading goes on. The rest's frames are judged by the bytes per frame so far, less a
  // sixteenth for lines that grow longer (a written line's time gains digits as the run goes on).
  std::size_t advised = 0;
  const std::uint64_t fileBytes = in.size();
  const auto adviseAhead = [&frames, &advised, fileBytes](std::uint64_t taken) {
    if (taken == 0 || frames.empty() || taken >= fileBytes) return;
    const double framesPerByte = static_cast<double>(frames.size()) / static_cast<double>(taken);
    const double restFrames = static_cast<double>(fileBytes - taken) * framesPerByte * (15.0 / 16.0);
    const std::size_t ahead = std::min(frames.size() + static_cast<std::size_t>(restFrames), frames.capacity());
    if (ahead * sizeof(GhostFrame) < advised * sizeof(GhostFrame) + largePageBytes) return;
    adviseLargePages(frames.data(), ahead * sizeof(GhostFrame));
    advised = ahead;
  };
  read.report = readGhostFrames(in.stream(), frames, adviseAhead);
  return read;
}
