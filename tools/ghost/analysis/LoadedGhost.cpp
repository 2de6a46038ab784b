#include "tools/ghost/analysis/LoadedGhost.h"

#include <filesystem>
#include <iosfwd>
#include <string_view>
#include <system_error>
#include <type_traits>
#include <utility>

#include "library/platform/DeviceName.h"
#include "library/platform/RegularFileReader.h"
#include "tools/ghost/text/NumberText.h"

namespace lumaro_ghost {

std::string refusalReason(const RegularFileReader& reader, const std::filesystem::path& file) {
  using Refusal = RegularFileReader::Refusal;
  switch (reader.refusal()) {
    case Refusal::None: return {};
    case Refusal::DeviceName: return "is refused: " + std::string(deviceRefusalReason(file));
    case Refusal::Folder: return "is a folder, not a ghost file";
    case Refusal::NotAFile: return "is a pipe, device or socket, not a ghost file";
    case Refusal::CannotOpen: break;
  }
  const std::string reason = reader.openError() ? reader.openError().message() : "";
  return "cannot be opened" + (reason.empty() ? "" : ": " + reason);
}

std::string noPathReason(std::size_t frames) {
  return "holds no path to use: the import would load " + countText(frames, "frame", "frames");
}

LoadResult loadGhost(const std::string& path) {
  LoadResult result;
  const std::filesystem::path file = std::filesystem::path(reinterpret_cast<const char8_t*>(path.c_str()));
  // Opened first, without waiting, and judged by its open handle, as the plugin opens a ghost: a pipe swapped
  // in under the name cannot hold the tool, a device is never read, and a Windows device's name is refused
  // before any open.
  RegularFileReader in(file);
  result.error = refusalReason(in, file);
  if (!in.isOpen()) return result;
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
