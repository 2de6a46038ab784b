// A folder of strangers' files, listed once: each entry's name and what the listing itself tells of it. The
// folder stays open while the listing lives, so that an entry is looked at and opened through the folder's own
// handle (POSIX) rather than by a path walked again for each file. RegularFileReader opens an entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/platform/FileStamp.h"

// What the listing says an entry is. Only a look past it tells what a link, or an entry of a type the
// listing does not give, leads to.
enum class EntryKind { RegularFile, NoFile, Unknown };

struct FolderEntry {
  // UTF-8, held by the listing and followed there by a NUL byte (a name with no UTF-8 form, on Windows, is not
  // listed).
  std::string_view name;
  EntryKind kind = EntryKind::Unknown;
  // Where the listing gives them (Windows), the stamp of a regular file; nothing elsewhere.
  std::optional<FileStamp> stamp;
};

class FolderListing {
public:
  // Lists the folder at once; a folder that cannot be listed has no entries.
  explicit FolderListing(const std::filesystem::path& folder);
  ~FolderListing();
  FolderListing(const FolderListing&) = delete;
  FolderListing& operator=(const FolderListing&) = delete;

  const std::filesystem::path& folder() const { return folder_; }
  // Every entry but "." and "..", in the order the system lists them.
  std::vector<FolderEntry>& entries() { return entries_; }
  const std::vector<FolderEntry>& entries() const { return entries_; }

  // The entry's stamp as far as it is known without opening it: on POSIX systems one look at the entry (a link
  // followed) gives it for a regular file, on Windows the listing's own. Nothing for anything else, an entry
  // gone, or a link on Windows.
  std::optional<FileStamp> look(const FolderEntry& entry) const;

  // The folder's open handle (a POSIX file descriptor), or -1 where entries are opened by their paths.
  std::intptr_t handle() const { return handle_; }

private:
  // Keeps an entry, its name in names_; the entries' views into it are made once the listing is complete.
  void add(std::string_view name, EntryKind kind, std::optional<FileStamp> stamp);
  void nameEntries();

  std::filesystem::path folder_;
  std::string names_;  // every name, each followed by a NUL byte
  std::vector<std::size_t> nameEnds_;
  std::vector<FolderEntry> entries_;
  void* stream_ = nullptr;  // the POSIX directory stream, kept open for its handle
  std::intptr_t handle_ = -1;
};
