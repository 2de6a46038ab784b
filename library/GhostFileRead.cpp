#include "library/GhostFileRead.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "library/LargePages.h"
#include "library/RegularFileReader.h"

GhostFileRead readGhostFile(const std::filesystem::path& file, std::vector<GhostFrame>& frames) {
  frames = {};  // storage of an earlier ghost is given back, not kept
  GhostFileRead read;
  RegularFileReader in(file);
  read.deviceName = in.refusal() == RegularFileReader::Refusal::DeviceName;
  if (!in.isOpen()) return read;
  read.opened = true;
  // The frame lines are counted first, so the list is sized once and its frames are read straight into it:
  // no frame is ever copied, and the process holds no more than the list. The count stops where the read
  // stops at a long line, so a planted file of holes claims nothing, and it is bounded by the file's own
  // lines however many of them later turn out to be bad.
  const std::size_t frameLines = countFrameLines(in.stream());
  if (!in.rewind()) return read;
  frames.reserve(frameLines);
  // The list is all new memory, written once from start to end: large pages spare most of its page faults.
  adviseLargePages(frames.data(), frames.capacity() * sizeof(GhostFrame));
  read.report = readGhostFrames(in.stream(), frames);
  // Room the file's lines did not fill (lines skipped, a bad line that stopped the read, or a file that
  // changed between the count and the read) is given back when it is more than an eighth of the list.
  if (frames.capacity() - frames.size() > frames.capacity() / 8) frames.shrink_to_fit();
  return read;
}
