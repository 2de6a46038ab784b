// Opens a file that strangers may have put there, for reading. The name is opened first, without waiting (a
// pipe would otherwise hold the game until something writes to it), and then the open handle is asked what
// it opened: only a regular file is kept, a link to one being followed, and anything else is closed unread.
// Its size and its bytes come from that handle, so nothing swapped in under the name is ever read. A name
// that Windows opens as a device (library/platform/DeviceName.h) is never opened at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <optional>
#include <streambuf>
#include <system_error>

#include "library/platform/FileStamp.h"
#include "library/platform/FolderListing.h"

class RegularFileReader final : private std::streambuf {
public:
  // A name that is plainly no regular file (by the folder listing's own word, or on POSIX systems by a look at
  // it) is not even opened, since opening some devices acts on them; the open handle decides all the same.
  explicit RegularFileReader(const std::filesystem::path& file);
  explicit RegularFileReader(const std::filesystem::directory_entry& entry);
  // An entry of a listed folder, opened through the folder's handle where there is one.
  RegularFileReader(const FolderListing& folder, const FolderEntry& entry);
  ~RegularFileReader() override;
  RegularFileReader(const RegularFileReader&) = delete;
  RegularFileReader& operator=(const RegularFileReader&) = delete;

  // Why nothing is open, when nothing is.
  enum class Refusal { None, DeviceName, Folder, NotAFile, CannotOpen };

  // Whether a regular file is open.
  bool isOpen() const { return open_; }
  Refusal refusal() const { return refusal_; }
  // With CannotOpen: the system's reason, when it gave one.
  const std::error_code& openError() const { return openError_; }
  // Its size in bytes, as its handle gives it.
  std::uint64_t size() const { return size_; }
  // The stamp of what was opened, taken from its handle before anything is read (on Windows without a change
  // time). For a listed entry on Windows, the listing's own, and only when the handle is the file the listing
  // saw. Nothing when nothing is open.
  const std::optional<FileStamp>& stamp() const { return stamp_; }
  // The path the open handle leads to, links followed and (on Windows) short names made long; nothing when
  // nothing is open or the system cannot tell.
  std::optional<std::filesystem::path> openedPath() const;
  // Up to count of its next bytes put at into, straight from the handle: fewer only at its end or on a read
  // error. The plainest read, for a caller that needs no stream.
  std::size_t read(char* into, std::size_t count);
  // Its bytes, read from the handle. A read error ends the stream as its end does. The stream is made at the
  // first call (making one costs more than a small file's read); reads through it and through read follow
  // one another.
  std::istream& stream();

private:
  // Opens file (NUL-ended), or the entry of that name in the folder whose handle is given (-1: none, file is a
  // path).
  void open(const std::filesystem::path::value_type* file, std::intptr_t folderHandle = -1);
  // Up to count bytes from the handle: 0 at the end, and on an error.
  std::size_t readFromHandle(char* into, std::size_t count);
  // Whether the name may be opened at all; refused with DeviceName when it is a Windows device's.
  bool mayOpen(const std::filesystem::path& file);
  int_type underflow() override;
  std::streamsize xsgetn(char* into, std::streamsize count) override;
  // Moves the handle to a byte from the start (seekg), for readers that read a file twice.
  pos_type seekpos(pos_type position, std::ios_base::openmode which) override;
  pos_type seekoff(off_type offset, std::ios_base::seekdir direction, std::ios_base::openmode which) override;

  bool open_ = false;
  Refusal refusal_ = Refusal::CannotOpen;
  std::error_code openError_;
  std::uint64_t size_ = 0;
  std::optional<FileStamp> stamp_;
  std::intptr_t handle_ = -1;  // the file descriptor, or the Windows handle
  char buffered_[256] = {};    // for reads of a few bytes at a time (peek); larger reads go straight to the caller
  std::optional<std::istream> stream_;
};
