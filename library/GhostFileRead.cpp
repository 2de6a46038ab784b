#include "library/GhostFileRead.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "library/RegularFileReader.h"

GhostFileRead readGhostFile(const std::filesystem::path& file, std::vector<GhostFrame>& frames) {
  frames = {};  // storage of an earlier ghost is given back, not kept
  GhostFileRead read;
  RegularFileReader in(file);
  if (!in.isOpen()) return read;
  read.opened = true;
  // Room for as many frames as lines of the writer's shortest form ("0,0.00,0.00,0.00,0,0,0" and CR LF)
  // fit in the file, by the size its open handle gives: a written ghost never outgrows it, and pages of it
  // that are never filled are never touched. A file of shorter hand-made lines grows the list as usual. The
  // room asked for ahead is capped at a million frames (over two hours of racing; 28 MiB): a huge or sparse
  // file planted in the folder must not make the import claim hundreds of megabytes (committed at once on
  // some systems, shadowed at once by memory checkers) before its first bad line stops the read. A longer
  // ghost grows past it as usual.
  constexpr std::uintmax_t shortestFrameLine = 24;
  constexpr std::uintmax_t mostFramesReservedAhead = std::uintmax_t{1} << 20;
  frames.reserve(static_cast<std::size_t>(std::min(in.size() / shortestFrameLine + 1, mostFramesReservedAhead)));
  read.report = readGhostFrames(in.stream(), frames);
  // The one copy: the list cut to its frames, so that a loaded ghost holds nothing beyond them.
  if (frames.capacity() != frames.size()) frames.shrink_to_fit();
  return read;
}
