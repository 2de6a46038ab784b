#include "tools/ghost/analysis/LoadedGhost.h"

#include <filesystem>
#include <iosfwd>
#include <string_view>
#include <system_error>
#include <type_traits>
#include <utility>

#include "library/platform/DeviceName.h"
#include "library/platform/RegularFileReader.h"

namespace lumaro_ghost {

LoadResult loadGhost(const std::string& path) {
  LoadResult result;
  const std::filesystem::path file = std::filesystem::path(reinterpret_cast<const char8_t*>(path.c_str()));
  // Opened first, without waiting, and judged by its open handle, as the plugin opens a ghost: a pipe swapped
  // in under the name cannot hold the tool, a device is never read, and a Windows device's name is refused
  // before any open.
  RegularFileReader in(file);
  using Refusal = RegularFileReader::Refusal;
  switch (in.refusal()) {
    case Refusal::None: break;
    case Refusal::DeviceName: result.error = "is refused: " + std::string(deviceRefusalReason(file)); return result;
    case Refusal::Folder: result.error = "is a folder, not a ghost file"; return result;
    case Refusal::NotAFile: result.error = "is a pipe, device or socket, not a ghost file"; return result;
    case Refusal::CannotOpen: {
      const std::string reason = in.openError() ? in.openError().message() : "";
      result.error = "cannot be opened" + (reason.empty() ? "" : ": " + reason);
      return result;
    }
  }
  LoadedGhost ghost;
  ghost.shownName = path;
  ghost.stamp = in.stamp();
  const std::u8string name = file.filename().u8string();
  ghost.fileName.assign(name.begin(), name.end());
  ghost.content = readGhostFileContent(in.stream());
  if (in.stream().bad()) {
    result.error = "could not be read to the end";
    return result;
  }
  if (ghost.content.headerLine) ghost.header = readHeaderFields(*ghost.content.headerLine);
  ghost.profile = profileRun(ghost.content.frames);
  result.ghost = std::move(ghost);
  return result;
}

}  // namespace lumaro_ghost
