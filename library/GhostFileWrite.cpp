#include "library/GhostFileWrite.h"

#include <cerrno>
#include <fstream>
#include <system_error>

namespace {

// The C library's reason for the last failed stream operation, when it left one.
std::string reasonOr(int error, const char* fallback) {
  return error != 0 ? std::generic_category().message(error) : std::string(fallback);
}

}  // namespace

std::filesystem::path ghostScratchPath(const std::filesystem::path& target) {
  std::filesystem::path scratch = target;
  scratch += ".part";
  return scratch;
}

std::optional<std::string> writeGhostFile(const std::filesystem::path& target, const GhostHeader& header,
                                          std::span<const GhostFrame> frames) {
  const std::filesystem::path scratch = ghostScratchPath(target);
  std::error_code ignored;
  errno = 0;
  // Binary mode: the format's CR LF line ends are written by the encoder itself, on every platform.
  std::ofstream out(scratch, std::ios::binary | std::ios::trunc);
  if (!out.is_open()) return reasonOr(errno, "the file could not be created");

  errno = 0;
  writeGhost(out, header, frames);
  out.close();
  if (out.fail()) {
    const std::string reason = reasonOr(errno, "the file could not be written");
    std::filesystem::remove(scratch, ignored);
    return reason;
  }

  std::error_code renamed;
  std::filesystem::rename(scratch, target, renamed);
  if (renamed) {
    std::filesystem::remove(scratch, ignored);
    return renamed.message();
  }
  return std::nullopt;
}
