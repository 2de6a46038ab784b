#include "library/platform/FolderListing.h"

#include <exception>

#include "library/platform/PathText.h"
#include "library/platform/SystemFileStamp.h"

#if defined(_WIN32)
#  include <windows.h>
#else
#  include <dirent.h>
#  include <fcntl.h>
#  include <sys/stat.h>
#endif

void FolderListing::add(std::string_view name, EntryKind kind, std::optional<FileStamp> stamp) {
  names_ += name;
  nameEnds_.push_back(names_.size());
  names_ += '\0';
  entries_.push_back({{}, kind, stamp});
}

void FolderListing::nameEntries() {
  std::size_t start = 0;
  for (std::size_t n = 0; n < entries_.size(); ++n) {
    entries_[n].name = std::string_view(names_).substr(start, nameEnds_[n] - start);
    start = nameEnds_[n] + 1;
  }
}

#if defined(_WIN32)

// One request to the folder's handle brings every entry with its number, size and times, so a page learns
// what changed without a call per file. A link (a reparse point) is listed as itself: only opening it tells
// what it leads to.
FolderListing::FolderListing(const std::filesystem::path& folder) : folder_(folder) {
  const HANDLE listed =
      CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (listed == INVALID_HANDLE_VALUE) return;
  std::vector<LONGLONG> buffer(8192);  // 64 KiB, aligned as the entries need
  const auto bufferBytes = static_cast<DWORD>(buffer.size() * sizeof(LONGLONG));
  FILE_INFO_BY_HANDLE_CLASS request = FileIdBothDirectoryRestartInfo;
  while (GetFileInformationByHandleEx(listed, request, buffer.data(), bufferBytes)) {
    request = FileIdBothDirectoryInfo;
    const auto* information = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data());
    for (;;) {
      const std::wstring_view wide(information->FileName, information->FileNameLength / sizeof(WCHAR));
      std::string name;
      try {
        name = utf8FromPath(std::filesystem::path(std::wstring(wide)));
      } catch (const std::exception&) {
        name.clear();  // a name with no UTF-8 form is not listed
      }
      const DWORD attributes = information->FileAttributes;
      if (wide == L"." || wide == L".." || name.empty()) {
        // not an entry of the folder's own
      } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        add(name, EntryKind::NoFile, std::nullopt);
      } else if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        add(name, EntryKind::Unknown, std::nullopt);
      } else {
        add(name, EntryKind::RegularFile,
            FileStamp{0, static_cast<std::uint64_t>(information->FileId.QuadPart),
                      static_cast<std::uint64_t>(information->EndOfFile.QuadPart),
                      nanosecondsFromFileTime(information->LastWriteTime.QuadPart),
                      nanosecondsFromFileTime(information->ChangeTime.QuadPart)});
      }
      if (information->NextEntryOffset == 0) break;
      information = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(reinterpret_cast<const char*>(information) +
                                                                   information->NextEntryOffset);
    }
  }
  CloseHandle(listed);
  nameEntries();
}

FolderListing::~FolderListing() = default;

std::optional<FileStamp> FolderListing::look(const FolderEntry& entry) const { return entry.stamp; }

#else

FolderListing::FolderListing(const std::filesystem::path& folder) : folder_(folder) {
  DIR* stream = ::opendir(folder.c_str());
  if (stream == nullptr) return;
  stream_ = stream;
  handle_ = ::dirfd(stream);
  // NOLINTNEXTLINE(concurrency-mt-unsafe): the stream is this listing's own; readdir shares nothing between streams
  while (const dirent* listed = ::readdir(stream)) {
    const std::string_view name = listed->d_name;
    if (name == "." || name == "..") continue;
    EntryKind kind = EntryKind::NoFile;
    if (listed->d_type == DT_REG) kind = EntryKind::RegularFile;
    if (listed->d_type == DT_LNK || listed->d_type == DT_UNKNOWN) kind = EntryKind::Unknown;
    add(name, kind, std::nullopt);
  }
  nameEntries();
}

FolderListing::~FolderListing() {
  if (stream_ != nullptr) ::closedir(static_cast<DIR*>(stream_));
}

std::optional<FileStamp> FolderListing::look(const FolderEntry& entry) const {
  if (handle_ < 0 || entry.kind == EntryKind::NoFile) return std::nullopt;
  struct stat information {};
  if (::fstatat(static_cast<int>(handle_), entry.name.data(), &information, 0) != 0 || !S_ISREG(information.st_mode)) {
    return std::nullopt;
  }
  return stampFromStat(information);
}

#endif
