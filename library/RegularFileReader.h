// Opens a file that strangers may have put there, for reading. The name is opened first, without waiting (a
// pipe would otherwise hold the game until something writes to it), and then the open handle is asked what
// it opened: only a regular file is kept, a link to one being followed, and anything else is closed unread.
// Its size and its bytes come from that handle, so nothing swapped in under the name is ever read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <streambuf>

class RegularFileReader final : private std::streambuf {
public:
  // A name that is plainly no regular file (by the folder listing's own word, or on POSIX systems by a look at
  // it) is not even opened, since opening some devices acts on them; the open handle decides all the same.
  explicit RegularFileReader(const std::filesystem::path& file);
  explicit RegularFileReader(const std::filesystem::directory_entry& entry);
  ~RegularFileReader() override;
  RegularFileReader(const RegularFileReader&) = delete;
  RegularFileReader& operator=(const RegularFileReader&) = delete;

  // Whether a regular file is open.
  bool isOpen() const { return open_; }
  // Its size in bytes, as its handle gives it.
  std::uint64_t size() const { return size_; }
  // Its bytes, read from the handle. A read error ends the stream as its end does.
  std::istream& stream() { return stream_; }

private:
  void open(const std::filesystem::path& file);
  // Up to count bytes from the handle: 0 at the end, and on an error.
  std::size_t readFromHandle(char* into, std::size_t count);
  int_type underflow() override;
  std::streamsize xsgetn(char* into, std::streamsize count) override;

  bool open_ = false;
  std::uint64_t size_ = 0;
  std::intptr_t handle_ = -1;  // the file descriptor, or the Windows handle
  char buffered_[256] = {};    // for reads of a few bytes at a time (peek); larger reads go straight to the caller
  std::istream stream_{this};
};
