#include "tools/ghost/board/BoardFiles.h"

#include <algorithm>
#include <compare>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/LineReader.h"
#include "library/platform/PathText.h"
#include "tools/ghost/analysis/GhostHeaderFields.h"
#include "tools/ghost/analysis/LoadedGhost.h"
#include "ui/GhostChoice.h"

namespace lumaro_ghost {

namespace {

std::filesystem::path pathOf(const std::string& text) { return pathFromUtf8(text); }

// A folder's path as given, joined with an entry's name by the separator it ends with or the system's own.
std::string joined(const std::string& folder, std::string_view name) {
  const bool ends =
      !folder.empty() && (folder.back() == '/' || folder.back() == std::filesystem::path::preferred_separator);
  return folder + (ends ? "" : std::string(1, static_cast<char>(std::filesystem::path::preferred_separator))) +
         std::string(name);
}

}  // namespace

BoardFiles::BoardFiles(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    std::error_code error;
    if (!std::filesystem::is_directory(pathOf(path), error)) {
      BoardSource source;
      source.path = path;
      source.fileName = utf8FromPath(pathOf(path).filename());
      sources_.push_back(std::move(source));
      continue;
    }
    // The page's rules: the listing's entries with a name the page can list, in byte order of the names; what
    // each is, the open handle tells.
    folders_.push_back(std::make_unique<FolderListing>(pathOf(path)));
    const FolderListing& listing = *folders_.back();
    std::vector<std::size_t> entries;
    for (std::size_t n = 0; n < listing.entries().size(); ++n) {
      const FolderEntry& entry = listing.entries()[n];
      if (entry.kind != EntryKind::NoFile && isListableFileName(entry.name)) entries.push_back(n);
    }
    std::sort(entries.begin(), entries.end(), [&listing](std::size_t a, std::size_t b) {
      return listing.entries()[a].name < listing.entries()[b].name;
    });
    for (const std::size_t n : entries) {
      BoardSource source;
      source.path = joined(path, listing.entries()[n].name);
      source.fileName = std::string(listing.entries()[n].name);
      source.folder = folders_.size() - 1;
      source.entry = n;
      sources_.push_back(std::move(source));
    }
  }
}

std::unique_ptr<RegularFileReader> BoardFiles::open(const BoardSource& source) const {
  if (!source.entry) return std::make_unique<RegularFileReader>(pathOf(source.path));
  FolderListing& listing = *folders_[source.folder];
  return std::make_unique<RegularFileReader>(listing, listing.entries()[*source.entry]);
}

BoardHeader BoardFiles::header(const BoardSource& source) const {
  BoardHeader header;
  const std::unique_ptr<RegularFileReader> in = open(source);
  header.opened = in->isOpen();
  if (!header.opened) {
    header.refusal = refusalReason(*in, pathOf(source.path));
    return header;
  }
  header.line =
      readFirstLineFrom([&in](char* into, std::size_t count) { return in->read(into, count); }, ghostLineLimit);
  if (header.line) header.fields = readHeaderFields(*header.line);
  return header;
}

}  // namespace lumaro_ghost
