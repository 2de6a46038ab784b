#include "library/platform/RegularFileReader.h"

#include <algorithm>
#include <cstring>
#include <streambuf>
#include <string>
#include <string_view>
#include <system_error>

#include "library/platform/DeviceName.h"
#include "library/platform/PathText.h"
#include "library/platform/SystemFileStamp.h"

#if defined(_WIN32)
#  include <windows.h>
#else
#  include <fcntl.h>
#  include <sys/stat.h>
#  include <unistd.h>

#  include <cerrno>
#endif

namespace {

#if defined(_WIN32)
HANDLE asHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
#endif

}  // namespace

RegularFileReader::RegularFileReader(const std::filesystem::path& file) {
  if (!mayOpen(file)) return;
#if !defined(_WIN32)
  // Opening a device node can act on the device (a link to one is made in a moment): a name that is plainly
  // no regular file is not opened. On Windows the handle alone decides.
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(file, error);
  if (!std::filesystem::is_regular_file(status)) {
    refusal_ = std::filesystem::is_directory(status) ? Refusal::Folder
               : std::filesystem::exists(status)     ? Refusal::NotAFile
                                                     : Refusal::CannotOpen;
    openError_ = error;
    return;
  }
#endif
  open(file.c_str());
}

RegularFileReader::RegularFileReader(const std::filesystem::directory_entry& entry) {
  if (!mayOpen(entry.path())) return;
  std::error_code error;
  // For anything but a link the listing already said what the entry is; a link's target is looked at.
  if (entry.is_regular_file(error) && !error) open(entry.path().c_str());
}

RegularFileReader::RegularFileReader(const FolderListing& folder, const FolderEntry& entry) {
  if (entry.kind == EntryKind::NoFile) return;
  if (isWindowsDeviceName(entry.name)) {
    refusal_ = Refusal::DeviceName;
    return;
  }
#if defined(_WIN32)
  open((folder.folder() / pathFromUtf8(entry.name)).c_str());
  // The listing's stamp stands for what was read only when the handle is the file it listed; the handle's
  // own information has no change time.
  if (open_ && entry.stamp && stamp_ && stamp_->file == entry.stamp->file) {
    stamp_ = entry.stamp;
  } else {
    stamp_.reset();
  }
#else
  // A link, or an entry the listing gave no type for, is looked at before it is opened, as a path is.
  if (entry.kind == EntryKind::Unknown && !folder.look(entry)) return;
  // The listing holds the name followed by a NUL: it is opened as it stands, no path made of it.
  open(entry.name.data(), folder.handle());
#endif
}

RegularFileReader::~RegularFileReader() {
  if (!open_) return;
#if defined(_WIN32)
  CloseHandle(asHandle(handle_));
#else
  ::close(static_cast<int>(handle_));
#endif
}

bool RegularFileReader::mayOpen(const std::filesystem::path& file) {
  if (!namesWindowsDevice(file)) return true;
  refusal_ = Refusal::DeviceName;
  return false;
}

void RegularFileReader::open(const std::filesystem::path::value_type* file,
                             [[maybe_unused]] std::intptr_t folderHandle) {
#if defined(_WIN32)
  // Opening a pipe's name connects at once or fails; it never waits. The handle's own information then says
  // what was opened: a file on a disk (not a pipe or a character device) that is no folder.
  const HANDLE handle = CreateFileW(file, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // A folder cannot be opened this way at all; it is told apart by its attributes, without an open.
    const DWORD attributes = GetFileAttributesW(file);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      refusal_ = Refusal::Folder;
    } else {
      openError_ = std::error_code(static_cast<int>(error), std::system_category());
    }
    return;
  }
  BY_HANDLE_FILE_INFORMATION information;
  if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &information) ||
      (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    refusal_ = GetFileType(handle) == FILE_TYPE_DISK ? Refusal::Folder : Refusal::NotAFile;
    CloseHandle(handle);
    return;
  }
  handle_ = reinterpret_cast<std::intptr_t>(handle);
  size_ = (static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
  stamp_ = FileStamp{information.dwVolumeSerialNumber,
                     (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow, size_,
                     nanosecondsFromFileTime(information.ftLastWriteTime), 0};
#else
  // Without O_NONBLOCK, opening a pipe waits for a writer; reads of a regular file never wait either way.
  constexpr int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
  const int descriptor =
      folderHandle >= 0 ? ::openat(static_cast<int>(folderHandle), file, flags) : ::open(file, flags);
  if (descriptor < 0) {
    openError_ = std::error_code(errno, std::generic_category());
    return;
  }
  struct stat information {};
  if (::fstat(descriptor, &information) != 0 || !S_ISREG(information.st_mode)) {
    refusal_ = S_ISDIR(information.st_mode) ? Refusal::Folder : Refusal::NotAFile;
    ::close(descriptor);
    return;
  }
  handle_ = descriptor;
  size_ = static_cast<std::uint64_t>(information.st_size);
  stamp_ = stampFromStat(information);
#endif
  open_ = true;
  refusal_ = Refusal::None;
}

std::optional<std::filesystem::path> RegularFileReader::openedPath() const {
  if (!open_) return std::nullopt;
#if defined(_WIN32)
  std::wstring name(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD length = GetFinalPathNameByHandleW(asHandle(handle_), name.data(), static_cast<DWORD>(name.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return std::nullopt;
    if (length < name.size()) return std::filesystem::path(name.substr(0, length));
    name.assign(length, L'\0');  // the length asked for, its terminating zero included
  }
  return std::nullopt;
#else
  // The process's own list of its open files names what each descriptor leads to.
  std::string name(4096, '\0');
  const std::string link = "/proc/self/fd/" + std::to_string(handle_);
  const ssize_t length = ::readlink(link.c_str(), name.data(), name.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= name.size()) return std::nullopt;
  name.resize(static_cast<std::size_t>(length));
  return std::filesystem::path(name);
#endif
}

// NOLINTNEXTLINE(readability-make-member-function-const): a read moves the open file's position
std::size_t RegularFileReader::readFromHandle(char* into, std::size_t count) {
  if (!open_ || count == 0) return 0;
#if defined(_WIN32)
  DWORD got = 0;
  const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(count, 1U << 30));
  if (!ReadFile(asHandle(handle_), into, asked, &got, nullptr)) return 0;
  return got;
#else
  for (;;) {
    const ssize_t got = ::read(static_cast<int>(handle_), into, count);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) return 0;
  }
#endif
}

RegularFileReader::pos_type RegularFileReader::seekpos(pos_type position, std::ios_base::openmode /*which*/) {
  const off_type to = position;
  if (!open_ || to < 0) return pos_type(off_type(-1));
#if defined(_WIN32)
  LARGE_INTEGER start{};
  start.QuadPart = to;
  if (!SetFilePointerEx(asHandle(handle_), start, nullptr, FILE_BEGIN)) return pos_type(off_type(-1));
#else
  if (::lseek(static_cast<int>(handle_), static_cast<off_t>(to), SEEK_SET) != to) return pos_type(off_type(-1));
#endif
  setg(buffered_, buffered_, buffered_);
  return position;
}

RegularFileReader::pos_type RegularFileReader::seekoff(off_type offset, std::ios_base::seekdir direction,
                                                       std::ios_base::openmode which) {
  // Only a move from the start is asked for (a file read twice); other moves are refused.
  if (direction != std::ios_base::beg) return pos_type(off_type(-1));
  return seekpos(pos_type(offset), which);
}

RegularFileReader::int_type RegularFileReader::underflow() {
  const std::size_t got = readFromHandle(buffered_, sizeof buffered_);
  if (got == 0) return traits_type::eof();
  setg(buffered_, buffered_, buffered_ + got);
  return traits_type::to_int_type(buffered_[0]);
}

std::istream& RegularFileReader::stream() {
  if (!stream_) stream_.emplace(static_cast<std::streambuf*>(this));
  return *stream_;
}

std::streamsize RegularFileReader::xsgetn(char* into, std::streamsize count) {
  return static_cast<std::streamsize>(read(into, static_cast<std::size_t>(count)));
}

std::size_t RegularFileReader::read(char* into, std::size_t count) {
  // What a peek left in the small buffer first, then straight from the handle until the count is met.
  const std::size_t held = std::min(count, static_cast<std::size_t>(egptr() - gptr()));
  if (held > 0) {
    std::memcpy(into, gptr(), held);
    gbump(static_cast<int>(held));
  }
  std::size_t taken = held;
  while (taken < count) {
    const std::size_t got = readFromHandle(into + taken, count - taken);
    if (got == 0) break;
    taken += got;
  }
  return taken;
}
