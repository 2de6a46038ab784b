#include "library/GhostFileWrite.h"

#include <cerrno>
#include <cstdio>
#include <ostream>
#include <streambuf>
#include <system_error>

#if defined(_WIN32)
#  include <fcntl.h>
#  include <io.h>
#  include <sys/stat.h>
#endif

namespace {

// The C library's reason for the last failed operation, when it left one.
std::string reasonOr(int error, const char* fallback) {
  return error != 0 ? std::generic_category().message(error) : std::string(fallback);
}

// A new file opened for writing in binary mode; null (errno set) when anything at all stands at its name. A
// link there is never followed, dangling or not, so the write cannot land outside the folder.
std::FILE* createNewFile(const std::filesystem::path& file) {
#if defined(_WIN32)
  // The C runtime's "x" mode is not honoured here; _O_EXCL is (the file is created with CREATE_NEW).
  const int descriptor = _wopen(file.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (descriptor < 0) return nullptr;
  std::FILE* stream = _fdopen(descriptor, "wb");
  if (stream == nullptr) {
    const int reason = errno;
    _close(descriptor);
    std::error_code ignored;
    std::filesystem::remove(file, ignored);  // made here, so it is ours to remove
    errno = reason;
  }
  return stream;
#else
  return std::fopen(file.c_str(), "wbx");
#endif
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

// Writes the ghost through the open file and closes it; nothing when all of it was written, otherwise why not.
std::optional<std::string> writeAndClose(std::FILE* out, const GhostHeader& header,
                                         std::span<const GhostFrame> frames) {
  errno = 0;
  FileStreamBuffer buffer(out);
  std::ostream stream(&buffer);
  writeGhost(stream, header, frames);
  const bool written = stream.good() && std::fflush(out) == 0;
  const int writeError = errno;
  const bool closed = std::fclose(out) == 0;
  if (written && closed) return std::nullopt;
  return reasonOr(writeError != 0 ? writeError : errno, "the file could not be written");
}

}  // namespace

std::filesystem::path ghostScratchPath(const std::filesystem::path& target) {
  std::filesystem::path scratch = target;
  scratch += ".part";
  return scratch;
}

std::optional<std::string> writeGhostFile(const std::filesystem::path& target, const GhostHeader& header,
                                          std::span<const GhostFrame> frames) {
  const std::filesystem::path scratch = ghostScratchPath(target);
  std::error_code ignored;
  // A scratch file left by an earlier write, or a link planted under its name: removed, never followed. A
  // folder there is left alone, and the new file then cannot be made.
  if (!std::filesystem::is_directory(std::filesystem::symlink_status(scratch, ignored))) {
    std::filesystem::remove(scratch, ignored);
  }

  errno = 0;
  std::FILE* out = createNewFile(scratch);
  if (out == nullptr) return reasonOr(errno, "the file could not be created");
  if (auto failure = writeAndClose(out, header, frames)) {
    std::filesystem::remove(scratch, ignored);
    return failure;
  }
  std::error_code renamed;
  std::filesystem::rename(scratch, target, renamed);
  if (renamed) {
    std::filesystem::remove(scratch, ignored);
    return renamed.message();
  }
  return std::nullopt;
}
