#include "tools/ghost/DocumentOutput.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "library/ghostfile/GhostFileName.h"
#include "library/ghostfile/GhostFileWrite.h"
#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostHeaderLine.h"
#include "library/ghostfile/LineReader.h"
#include "library/ghostfile/NumberReading.h"
#include "library/platform/DeviceName.h"
#include "library/platform/PathText.h"
#include "library/platform/RegularFileReader.h"

#if !defined(_WIN32)
#  include <fcntl.h>
#  include <sys/stat.h>
#  include <unistd.h>

#  include <cerrno>
#endif

namespace lumaro_ghost {

namespace {

// Whether a file's first line is a ghost's header as the settings page reads one: the fields up to the lap
// count or more, the last of them a lap count (its leading number, whatever follows it: "3-Lap", "3 laps"). The first
// line is read as the page reads it: none past the page's line limit.
bool startsAsGhost(std::istream& in) {
  const std::optional<std::string> line = readFirstLine(in, ghostLineLimit);
  if (!line) return false;
  const GhostHeaderFields header = readGhostHeader(*line);
  return header.fieldCount >= lapFieldCount && header.lapCount.error == NumberError::None;
}

// Whether the regular file open in reader is one a document is never written over.
bool isGhostOrInput(RegularFileReader& reader, std::span<const FileStamp> inputs) {
  const FileStamp& opened = *reader.stamp();
  const bool input = std::any_of(inputs.begin(), inputs.end(), [&](const FileStamp& stamp) {
    return stamp.device == opened.device && stamp.file == opened.file;
  });
  const std::optional<std::filesystem::path> name = reader.openedPath();
  return input || (name && endsInGhostExtension(utf8FromPath(name->filename()))) || startsAsGhost(reader.stream());
}

// Whether an open failed because nothing is at the name.
bool nothingAt(const std::error_code& error) {
#if defined(_WIN32)
  constexpr int fileNotFound = 2;  // ERROR_FILE_NOT_FOUND
  if (error.category() == std::system_category() && error.value() == fileNotFound) return true;
#endif
  return error == std::errc::no_such_file_or_directory;
}

#if !defined(_WIN32)
// Writes the document to the pipe or terminal at the name: opened for writing without waiting (a pipe that
// nothing reads fails at once), and written only when the handle is indeed no regular file or folder.
std::optional<DocumentRefusal> writeToPipeOrDevice(const std::filesystem::path& file, const std::string& document) {
  const int descriptor = ::open(file.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) {
    const int error = errno;
    if (error == ENXIO) return DocumentRefusal{false, "it is a pipe that nothing reads"};
    return DocumentRefusal{false, std::generic_category().message(error)};
  }
  struct stat information {};
  std::optional<DocumentRefusal> refusal;
  if (::fstat(descriptor, &information) != 0 || S_ISREG(information.st_mode) || S_ISDIR(information.st_mode)) {
    refusal = DocumentRefusal{false, "what is at the name changed while it was looked at"};
  } else {
    // Written at the reader's pace from here on.
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    for (std::size_t written = 0; written < document.size() && !refusal;) {
      const ssize_t wrote = ::write(descriptor, document.data() + written, document.size() - written);
      if (wrote > 0) {
        written += static_cast<std::size_t>(wrote);
      } else if (wrote < 0 && errno != EINTR) {
        refusal = DocumentRefusal{false, std::generic_category().message(errno)};
      }
    }
  }
  ::close(descriptor);
  return refusal;
}
#endif

}  // namespace

std::string nameAsWritten(const std::string& output) {
  std::string name = utf8FromPath(pathFromUtf8(output).filename());
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  return name;
}

bool spelledAsGhost(const std::string& output) { return endsInGhostExtension(nameAsWritten(output)); }

std::optional<DocumentRefusal> writeDocument(const std::string& output, const std::string& document,
                                             std::span<const FileStamp> inputs) {
  const std::filesystem::path file = pathFromUtf8(output);
  if (spelledAsGhost(output)) return DocumentRefusal{true, ""};
  if (namesWindowsDevice(file)) return DocumentRefusal{false, std::string(deviceRefusalReason(file))};
  // Closed before the rename: Windows replaces no file that is open.
  std::optional<RegularFileReader> reader(std::in_place, file);
  using Refusal = RegularFileReader::Refusal;
  switch (reader->refusal()) {
    case Refusal::None:
      if (isGhostOrInput(*reader, inputs)) return DocumentRefusal{true, ""};
      break;
    case Refusal::DeviceName: return DocumentRefusal{false, std::string(deviceRefusalReason(file))};
    case Refusal::Folder: return DocumentRefusal{false, "it is a folder"};
    case Refusal::NotAFile:
#if defined(_WIN32)
      return DocumentRefusal{false, "it is a pipe or device, which is not written to"};
#else
      return writeToPipeOrDevice(file, document);
#endif
    case Refusal::CannotOpen:
      // Nothing at the name (or a link that leads nowhere) is what a new document is written in place of;
      // a file that cannot be looked at is never replaced.
      if (reader->openError() && !nothingAt(reader->openError())) {
        return DocumentRefusal{false, reader->openError().message()};
      }
      break;
  }
  reader.reset();
  if (auto failure = writeFileThroughScratch(file, [&](std::ostream& out) { out << document; })) {
    return DocumentRefusal{false, *failure};
  }
  return std::nullopt;
}

}  // namespace lumaro_ghost
