// The files a board reads, found in the paths given: a file as it is named, and a folder's entries as the
// plugin's ghost list takes them (library/platform/FolderListing.h): not descending into sub-folders or links to
// them, each entry with a name the page can list, opened through the folder's own handle, only a regular file
// (a link to one followed) ever read. A file is first read no further than its header line, as the page reads it,
// so files of other races are never read whole.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "library/ghostfile/GhostHeaderLine.h"
#include "library/platform/FolderListing.h"
#include "library/platform/RegularFileReader.h"

namespace lumaro_ghost {

// A file found, and how to open it again.
struct BoardSource {
  std::string path;                  // as given, or the folder's path as given joined with the entry's name
  std::string fileName;              // its last component
  std::size_t folder = 0;            // with entry: the listing it is an entry of
  std::optional<std::size_t> entry;  // its entry in that listing; none for a file named as it is
};

// A file's header line as the page reads it (none: the file is empty, its first line is longer than the page
// reads, or it could not be opened), and why it could not be opened.
struct BoardHeader {
  bool opened = false;
  std::string refusal;  // when not opened: why, as the tool says it ("is a folder, not a ghost file")
  std::optional<std::string> line;
  GhostHeaderFields fields;
};

class BoardFiles {
public:
  // paths: files and folders, as given (UTF-8).
  explicit BoardFiles(const std::vector<std::string>& paths);
  BoardFiles(const BoardFiles&) = delete;
  BoardFiles& operator=(const BoardFiles&) = delete;

  // Every file given and every listable entry of every folder given, in the order given, a folder's entries in
  // byte order of their names.
  const std::vector<BoardSource>& sources() const { return sources_; }

  // Opens a source again: a file by its path, an entry through its folder's handle.
  std::unique_ptr<RegularFileReader> open(const BoardSource& source) const;

  // Its header line, read as the page reads it, the file closed again.
  BoardHeader header(const BoardSource& source) const;

private:
  std::vector<std::unique_ptr<FolderListing>> folders_;
  std::vector<BoardSource> sources_;
};

}  // namespace lumaro_ghost
