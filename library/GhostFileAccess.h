// What of the ghost folder the plugin reads. The folder is filled by other players' downloads and by hand, so
// only regular files are read (a link to one is followed), and only files that still lie inside the folder
// once every link is resolved: no device, pipe or folder is ever opened, and no name typed or link planted
// in the folder reaches a file outside it.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

class GhostFileAccess {
public:
  explicit GhostFileAccess(const std::filesystem::path& ghostFolder);

  // Whether this file, named by a path under the folder, is a ghost file the plugin may read.
  bool mayRead(const std::filesystem::path& file) const;

  // The same answer for an entry of the folder's own listing, asking the disk only about links: an entry
  // that is a plain regular file lies in the folder already, and its type came with the listing.
  bool mayRead(const std::filesystem::directory_entry& entry) const;

  // The file a selection (the UTF-8 value of lm_ghostfilepath) names, when the plugin may read it: a relative
  // path without ".." (a sub-folder is fine), joined to the folder. Nothing for an absolute path, a root or
  // drive name, a step up, or a name that is no readable ghost file.
  std::optional<std::filesystem::path> selectedFile(std::string_view selection) const;

private:
  std::filesystem::path folder_;
  std::filesystem::path resolvedFolder_;  // every link resolved; empty when the folder cannot be resolved
};
