#include "library/GhostFileAccess.h"

#include <algorithm>

#include "library/PathText.h"

namespace {

// Whether file lies below folder, both written with every link resolved.
bool liesBelow(const std::filesystem::path& folder, const std::filesystem::path& file) {
  const auto [folderEnd, fileRest] = std::mismatch(folder.begin(), folder.end(), file.begin(), file.end());
  return folderEnd == folder.end() && fileRest != file.end();
}

// Whether a relative path can only name something below the folder it is joined to, without asking the disk.
bool staysBelow(const std::filesystem::path& relative) {
  if (relative.has_root_name() || relative.has_root_directory()) return false;
  return std::none_of(relative.begin(), relative.end(), [](const std::filesystem::path& part) { return part == ".."; });
}

}  // namespace

GhostFileAccess::GhostFileAccess(const std::filesystem::path& ghostFolder) : folder_(ghostFolder) {
  std::error_code error;
  resolvedFolder_ = std::filesystem::canonical(ghostFolder, error);
  if (error) resolvedFolder_.clear();
}

bool GhostFileAccess::mayRead(const std::filesystem::path& file) const {
  if (resolvedFolder_.empty()) return false;
  std::error_code error;
  // status follows links: a link to a regular file counts as one, a link to a device as the device.
  if (!std::filesystem::is_regular_file(std::filesystem::status(file, error))) return false;
  const std::filesystem::path resolved = std::filesystem::canonical(file, error);
  return !error && liesBelow(resolvedFolder_, resolved);
}

bool GhostFileAccess::mayRead(const std::filesystem::directory_entry& entry) const {
  std::error_code error;
  if (entry.is_symlink(error) || error) return mayRead(entry.path());
  return !resolvedFolder_.empty() && entry.is_regular_file(error) && !error;
}

std::optional<std::filesystem::path> GhostFileAccess::selectedFile(std::string_view selection) const {
  const std::optional<std::filesystem::path> relative = pathFromUtf8IfAny(selection);
  if (!relative || !staysBelow(*relative)) return std::nullopt;
  std::filesystem::path file = folder_ / *relative;
  if (!mayRead(file)) return std::nullopt;
  return file;
}
