// The floor of the settings page: the system calls any page must make, with nothing else around them. A page
// must list the folder; it must learn, for each file it knows, whether the file changed (one look at it on
// POSIX systems; on Windows the listing itself tells); it must open, read the first bytes of and close each file
// it does not know or that changed; and it must write its bytes.
#pragma once

#include <filesystem>
#include <string>

namespace bench {

// Every file known and unchanged: the listing, one look at each entry, the page written.
void floorOfAKnownFolder(const std::filesystem::path& folder, const std::filesystem::path& pageFile,
                         const std::string& page);

// Every file new: the listing, then for each entry one open, one read of its first 256 bytes and one close,
// the page written.
void floorOfANewFolder(const std::filesystem::path& folder, const std::filesystem::path& pageFile,
                       const std::string& page);

// The CPU time this thread has used, in seconds (on Windows counted in the scheduler's steps).
double threadCpuSeconds();

}  // namespace bench
