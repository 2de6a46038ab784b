#include "PageFloor.h"

#include <array>

#if defined(_WIN32)
#  include <windows.h>

#  include <vector>
#else
#  include <dirent.h>
#  include <fcntl.h>
#  include <sys/stat.h>
#  include <unistd.h>

#  include <ctime>
#endif

namespace bench {

#if defined(_WIN32)

namespace {

// The folder's entries with their numbers, sizes and times, in 64 KiB requests; each entry's name is given to
// visit (the stamps are what a page compares, so listing them is all a known folder costs).
template <typename Visit>
void listFolder(const std::filesystem::path& folder, Visit visit) {
  const HANDLE listed =
      CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (listed == INVALID_HANDLE_VALUE) return;
  std::vector<LONGLONG> buffer(8192);
  FILE_INFO_BY_HANDLE_CLASS request = FileIdBothDirectoryRestartInfo;
  while (GetFileInformationByHandleEx(listed, request, buffer.data(),
                                      static_cast<DWORD>(buffer.size() * sizeof(LONGLONG)))) {
    request = FileIdBothDirectoryInfo;
    const auto* information = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data());
    for (;;) {
      if ((information->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        visit(std::wstring(information->FileName, information->FileNameLength / sizeof(WCHAR)));
      }
      if (information->NextEntryOffset == 0) break;
      information = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(reinterpret_cast<const char*>(information) +
                                                                   information->NextEntryOffset);
    }
  }
  CloseHandle(listed);
}

void writePage(const std::filesystem::path& pageFile, const std::string& page) {
  const HANDLE file =
      CreateFileW(pageFile.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, page.data(), static_cast<DWORD>(page.size()), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

void floorOfAKnownFolder(const std::filesystem::path& folder, const std::filesystem::path& pageFile,
                         const std::string& page) {
  listFolder(folder, [](const std::wstring&) {});
  writePage(pageFile, page);
}

void floorOfANewFolder(const std::filesystem::path& folder, const std::filesystem::path& pageFile,
                       const std::string& page) {
  listFolder(folder, [&folder](const std::wstring& name) {
    const HANDLE file = CreateFileW((folder / name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::array<char, 256> first;  // not cleared: the floor does nothing but the calls
    DWORD got = 0;
    ReadFile(file, first.data(), static_cast<DWORD>(first.size()), &got, nullptr);
    CloseHandle(file);
  });
  writePage(pageFile, page);
}

double threadCpuSeconds() {
  FILETIME created, ended, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
  const auto seconds = [](const FILETIME& time) {
    return static_cast<double>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime) *
           1e-7;
  };
  return seconds(kernel) + seconds(user);
}

#else

namespace {

template <typename Visit>
void listFolder(const std::filesystem::path& folder, Visit visit) {
  DIR* stream = ::opendir(folder.c_str());
  if (stream == nullptr) return;
  const int handle = ::dirfd(stream);
  // NOLINTNEXTLINE(concurrency-mt-unsafe): the stream is this call's own; readdir shares nothing between streams
  while (const dirent* entry = ::readdir(stream)) {
    if (entry->d_name[0] == '.' && (entry->d_name[1] == '\0' || (entry->d_name[1] == '.' && entry->d_name[2] == '\0')))
      continue;
    visit(handle, entry->d_name);
  }
  ::closedir(stream);
}

void writePage(const std::filesystem::path& pageFile, const std::string& page) {
  const int file = ::open(pageFile.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (file < 0) return;
  [[maybe_unused]] const ssize_t written = ::write(file, page.data(), page.size());
  ::close(file);
}

}  // namespace

void floorOfAKnownFolder(const std::filesystem::path& folder, const std::filesystem::path& pageFile,
                         const std::string& page) {
  listFolder(folder, [](int handle, const char* name) {
    struct stat information {};
    ::fstatat(handle, name, &information, 0);
  });
  writePage(pageFile, page);
}

void floorOfANewFolder(const std::filesystem::path& folder, const std::filesystem::path& pageFile,
                       const std::string& page) {
  listFolder(folder, [](int handle, const char* name) {
    const int file = ::openat(handle, name, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (file < 0) return;
    std::array<char, 256> first;  // not cleared: the floor does nothing but the calls
    [[maybe_unused]] const ssize_t got = ::read(file, first.data(), first.size());
    ::close(file);
  });
  writePage(pageFile, page);
}

double threadCpuSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

#endif

}  // namespace bench
