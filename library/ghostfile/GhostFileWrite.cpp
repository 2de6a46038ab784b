#include "library/ghostfile/GhostFileWrite.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <ostream>
#include <streambuf>
#include <string_view>
#include <system_error>

#include "library/platform/DeviceName.h"
#include "library/platform/PathText.h"
#include "ui/PageBytes.h"

#if defined(_WIN32)
#  include <windows.h>
#  include <fcntl.h>
#  include <io.h>
#  include <sys/stat.h>
#else
#  include <fcntl.h>
#  include <unistd.h>
#endif

namespace {

// The C library's reason for the last failed operation, when it left one.
std::string reasonOr(int error, const char* fallback) {
  return error != 0 ? std::generic_category().message(error) : std::string(fallback);
}

#if defined(_WIN32)
// A Windows error in the words of the C library when it has them, as the other failures are worded.
std::string windowsReason(DWORD error) {
  const std::error_condition condition = std::system_category().default_error_condition(static_cast<int>(error));
  if (condition.category() == std::generic_category()) return condition.message();
  return std::system_category().message(static_cast<int>(error));
}
#endif

// A new file opened for writing in binary mode; null (errno set) when anything at all stands at its name. A
// link there is never followed, dangling or not, so the write cannot land outside the folder.
std::FILE* createNewFile(const std::filesystem::path& file) {
#if defined(_WIN32)
  // The C runtime's "x" mode is not honoured here; _O_EXCL is (the file is created with CREATE_NEW).
  const int descriptor = _wopen(file.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (descriptor < 0) return nullptr;
  std::FILE* stream = _fdopen(descriptor, "wb");
#else
  const int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (descriptor < 0) return nullptr;
  std::FILE* stream = ::fdopen(descriptor, "wb");
#endif
  if (stream == nullptr) {
    const int reason = errno;
#if defined(_WIN32)
    _close(descriptor);
#else
    ::close(descriptor);
#endif
    std::error_code ignored;
    std::filesystem::remove(file, ignored);  // made here, so it is ours to remove
    errno = reason;
  }
  return stream;
}

// Hands what the ghost writer writes to a C stream, which buffers it.
class FileStreamBuffer : public std::streambuf {
public:
  explicit FileStreamBuffer(std::FILE* file) : file_(file) {}

protected:
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    return static_cast<std::streamsize>(std::fwrite(text, 1, static_cast<std::size_t>(count), file_));
  }
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    return std::fputc(c, file_) == EOF ? traits_type::eof() : c;
  }

private:
  std::FILE* file_;
};

// Has the system write the file's data through to the disk: after a power cut the renamed file holds all of it.
std::optional<std::string> flushToStableStorage(std::FILE* out) {
#if defined(_WIN32)
  if (FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(out))))) return std::nullopt;
  return windowsReason(GetLastError());
#else
  if (::fsync(::fileno(out)) == 0) return std::nullopt;
  return reasonOr(errno, "the file could not be flushed");
#endif
}

// Writes through the open file, flushes it to the disk and closes it; nothing when all of it was written,
// otherwise why not.
std::optional<std::string> writeAndClose(std::FILE* out, const std::function<void(std::ostream&)>& write) {
  errno = 0;
  FileStreamBuffer buffer(out);
  std::ostream stream(&buffer);
  write(stream);
  const bool written = stream.good() && std::fflush(out) == 0;
  const int writeError = errno;
  std::optional<std::string> failure;
  if (!written) {
    failure = reasonOr(writeError, "the file could not be written");
  } else {
    failure = flushToStableStorage(out);
  }
  errno = 0;
  const bool closed = std::fclose(out) == 0;
  if (!failure && !closed) failure = reasonOr(errno, "the file could not be written");
  return failure;
}

// Writes the bytes through the open file's descriptor, flushes it to the disk when asked and closes it; nothing
// when all of them were written, otherwise why not.
std::optional<std::string> writeBytesAndClose(std::FILE* out, std::string_view bytes, bool flushToDisk) {
  std::optional<std::string> failure;
#if defined(_WIN32)
  const int descriptor = _fileno(out);
#else
  const int descriptor = ::fileno(out);
#endif
  while (!bytes.empty() && !failure) {
    errno = 0;
#if defined(_WIN32)
    const int chunk = static_cast<int>(std::min<std::size_t>(bytes.size(), 1U << 30));
    const int written = _write(descriptor, bytes.data(), static_cast<unsigned>(chunk));
#else
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
#endif
    if (written <= 0) {
      failure = reasonOr(errno, "the file could not be written");
    } else {
      bytes.remove_prefix(static_cast<std::size_t>(written));
    }
  }
  if (!failure && flushToDisk) failure = flushToStableStorage(out);
  errno = 0;
  const bool closed = std::fclose(out) == 0;
  if (!failure && !closed) failure = reasonOr(errno, "the file could not be written");
  return failure;
}

// Puts the complete scratch file in the target's place in one step, replacing a ghost already there.
std::optional<std::string> replaceTarget(const std::filesystem::path& scratch, const std::filesystem::path& target) {
#if defined(_WIN32)
  // Write-through: the call returns once the rename itself is on the disk.
  if (MoveFileExW(scratch.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return std::nullopt;
  }
  return windowsReason(GetLastError());
#else
  std::error_code renamed;
  std::filesystem::rename(scratch, target, renamed);
  if (renamed) return renamed.message();
  return std::nullopt;
#endif
}

}  // namespace

std::filesystem::path ghostScratchPath(const std::filesystem::path& target, unsigned attempt) {
  const std::size_t targetLength = target.filename().native().size();
  // The label separator starts it: no name the page lists holds one, so a scratch file is never offered.
  std::string name = pageLabelSeparator + std::to_string(attempt) + ".part";
  if (name.size() > targetLength) name.resize(name.size() - 5);  // without ".part"
  return target.parent_path() / pathFromUtf8(name);
}

namespace {

// Creates a fresh scratch file beside target, has fill write it (and close it), and renames it over target.
std::optional<std::string> replaceThroughScratch(const std::filesystem::path& target,
                                                 const std::function<std::optional<std::string>(std::FILE*)>& fill) {
  if (namesWindowsDevice(target)) return std::string(deviceRefusalReason(target));
  std::FILE* out = nullptr;
  std::filesystem::path scratch;
  int createError = 0;
  unsigned attempt = 0;
  for (; attempt < scratchAttempts && out == nullptr; ++attempt) {
    scratch = ghostScratchPath(target, attempt);
    errno = 0;
    out = createNewFile(scratch);
    createError = errno;
    // Something stands at that name (a file, a folder, a link; on Windows also a file being deleted): try the
    // next. Any other failure would fail every name.
    if (out == nullptr && createError != EEXIST && createError != EACCES) break;
  }
  if (out == nullptr && attempt == scratchAttempts && (createError == EEXIST || createError == EACCES)) {
    // Every scratch name is taken (left by crashes, or planted): say which files stand in the way.
    return reasonOr(createError, "the file could not be created") + " (the scratch names " +
           utf8FromPath(ghostScratchPath(target, 0).filename()) + " to " +
           utf8FromPath(ghostScratchPath(target, scratchAttempts - 1).filename()) +
           " beside it are all taken: remove them)";
  }
  if (out == nullptr) return reasonOr(createError, "the file could not be created");

  std::error_code ignored;
  if (auto failure = fill(out)) {
    std::filesystem::remove(scratch, ignored);
    return failure;
  }
  if (auto failure = replaceTarget(scratch, target)) {
    std::filesystem::remove(scratch, ignored);
    return failure;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> writeFileThroughScratch(const std::filesystem::path& target,
                                                   const std::function<void(std::ostream&)>& write) {
  return replaceThroughScratch(target, [&write](std::FILE* out) { return writeAndClose(out, write); });
}

std::optional<std::string> writeFileThroughScratch(const std::filesystem::path& target, std::string_view bytes,
                                                   bool flushToDisk) {
  return replaceThroughScratch(target, [=](std::FILE* out) { return writeBytesAndClose(out, bytes, flushToDisk); });
}

std::optional<std::string> writeGhostFile(const std::filesystem::path& target, const GhostHeader& header,
                                          std::span<const GhostFrame> frames) {
  return writeFileThroughScratch(target, [&](std::ostream& out) { writeGhost(out, header, frames); });
}
