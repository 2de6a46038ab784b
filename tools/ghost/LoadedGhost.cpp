#include "tools/ghost/LoadedGhost.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

namespace lumaro_ghost {

LoadResult loadGhost(const std::string& path) {
  LoadResult result;
  const std::filesystem::path file = std::filesystem::path(reinterpret_cast<const char8_t*>(path.c_str()));
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(file, error);
  if (std::filesystem::is_directory(status)) {
    result.error = "is a folder, not a ghost file";
    return result;
  }
  // A pipe would block the read until something writes to it, a device may never end: only regular files
  // are opened, as the plugin opens only those.
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    result.error = "is a pipe, device or socket, not a ghost file";
    return result;
  }
  errno = 0;
  std::ifstream in(file, std::ios::binary);
  if (!in.is_open()) {
    // The reason the system gave for the open, else the one it gave when asked about the path.
    const std::string reason = errno != 0 ? std::generic_category().message(errno) : error ? error.message() : "";
    result.error = "cannot be opened" + (reason.empty() ? "" : ": " + reason);
    return result;
  }
  LoadedGhost ghost;
  ghost.shownName = path;
  const std::u8string name = file.filename().u8string();
  ghost.fileName.assign(name.begin(), name.end());
  ghost.content = readGhostFileContent(in);
  if (in.bad()) {
    result.error = "could not be read to the end";
    return result;
  }
  if (ghost.content.headerLine) ghost.header = readHeaderFields(*ghost.content.headerLine);
  ghost.profile = profileRun(ghost.content.frames);
  result.ghost = std::move(ghost);
  return result;
}

}  // namespace lumaro_ghost
