#include "ui/GhostChoiceList.h"

#include <algorithm>
#include <compare>
#include <limits>
#include <utility>

#include "library/FolderListing.h"
#include "library/GhostFormat.h"
#include "library/LineReader.h"
#include "library/RegularFileReader.h"
#include "ui/GhostChoice.h"

std::size_t GhostChoiceList::KnownFile::bytes() const {
  return sizeof(KnownFile) + name.capacity() + (header ? header->capacity() : 0) + (choice ? choice->capacity() : 0);
}

std::size_t GhostChoiceList::orderHeldBytes() const {
  return listedNames_.capacity() + nameOrder_.capacity() * sizeof(std::uint32_t);
}

std::size_t GhostChoiceList::heldBytes() const {
  std::size_t bytes = orderHeldBytes() + (known_.capacity() - known_.size()) * sizeof(KnownFile);
  for (const KnownFile& file : known_) bytes += file.bytes();
  return bytes;
}

void GhostChoiceList::forget() {
  known_ = {};
  listedNames_ = {};
  nameOrder_ = {};
}

void GhostChoiceList::chooseFor(std::string_view mapName, std::int32_t lapCount) {
  if (mapName == mapName_ && lapCount == lapCount_) return;
  mapName_ = mapName;
  lapCount_ = lapCount;
  for (KnownFile& file : known_) {
    file.choice = file.header ? ghostChoice(*file.header, file.name, mapName, lapCount) : std::nullopt;
  }
}

const std::vector<std::uint32_t>& GhostChoiceList::nameOrder(const std::vector<const FolderEntry*>& listed,
                                                             std::size_t orderBytes) {
  std::string names;
  names.reserve(listedNames_.size());
  for (const FolderEntry* entry : listed) {
    names += entry->name;
    names += '\0';
  }
  if (names == listedNames_ && nameOrder_.size() == listed.size()) return nameOrder_;
  // Names too many to keep are sorted again at every page.
  listedNames_ = names.size() + listed.size() * sizeof(std::uint32_t) <= orderBytes ? std::move(names) : std::string();
  listedNames_.shrink_to_fit();
  nameOrder_.resize(listed.size());
  nameOrder_.shrink_to_fit();
  for (std::uint32_t n = 0; n < nameOrder_.size(); ++n) nameOrder_[n] = n;
  std::sort(nameOrder_.begin(), nameOrder_.end(),
            [&listed](std::uint32_t a, std::uint32_t b) { return listed[a]->name < listed[b]->name; });
  return nameOrder_;
}

std::vector<std::string> GhostChoiceList::choices(const std::filesystem::path& ghostFolder, std::string_view mapName,
                                                  std::int32_t lapCount, std::int64_t moment) {
  if (ghostFolder != folder_) {
    known_.clear();
    folder_ = ghostFolder;
  }
  chooseFor(mapName, lapCount);
  filesRead_ = 0;

  FolderListing listing(ghostFolder);
  std::vector<const FolderEntry*> listed;
  for (const FolderEntry& entry : listing.entries()) {
    if (isListableFileName(entry.name)) listed.push_back(&entry);
  }
  // The platform's listing order differs between systems; byte order gives every system the same page.
  std::vector<const FolderEntry*> files;
  files.reserve(listed.size());
  for (const std::uint32_t position : nameOrder(listed, mostKeptBytes_ / 2)) files.push_back(listed[position]);

  std::vector<std::string> choices;
  choices.reserve(files.size());
  // The kept list grows with what it keeps, not with the folder. What it holds is its entries' own bytes
  // beside the list's room, which is counted as it stands (not once more at every growth); the room grows
  // only as far as the bound leaves for it.
  std::vector<KnownFile> kept;
  std::size_t heldBeside = orderHeldBytes();  // the order, and the kept entries' names, headers and entries
  const auto keep = [this, &kept, &heldBeside](KnownFile&& file) {
    if (file.header) file.header->shrink_to_fit();
    const std::size_t beside = heldBeside + file.bytes() - sizeof(KnownFile);
    if (beside + (kept.size() + 1) * sizeof(KnownFile) > mostKeptBytes_) return;
    if (kept.size() == kept.capacity()) {
      const std::size_t room = (mostKeptBytes_ - beside) / sizeof(KnownFile);
      kept.reserve(std::min(room, std::max<std::size_t>(16, kept.capacity() * 2)));
    }
    heldBeside = beside;
    kept.push_back(std::move(file));
  };
  // Both the files and the known ones are in name order: one walk pairs them.
  auto known = known_.begin();
  for (const FolderEntry* entry : files) {
    while (known != known_.end() && known->name < entry->name) ++known;
    if (known != known_.end() && known->name == entry->name) {
      const std::optional<FileStamp> stamp = listing.look(*entry);
      if (stamp && *stamp == known->stamp) {
        if (known->choice) choices.push_back(*known->choice);
        keep(std::move(*known));
        continue;
      }
    }
    RegularFileReader in(listing, *entry);
    if (!in.isOpen()) continue;
    ++filesRead_;
    KnownFile file{
        std::string(entry->name), in.stamp().value_or(FileStamp{}), readFirstLine(in.stream(), ghostLineLimit), {}};
    if (file.header) file.choice = ghostChoice(*file.header, file.name, mapName, lapCount);
    if (file.choice) choices.push_back(*file.choice);
    if (in.stamp() && isSettled(*in.stamp(), moment)) keep(std::move(file));
  }
  kept.shrink_to_fit();
  known_ = std::move(kept);
  if (listedNames_.empty()) nameOrder_ = {};
  return choices;
}

std::vector<std::string> ghostChoices(const std::filesystem::path& ghostFolder, std::string_view mapName,
                                      std::int32_t lapCount) {
  // No stamp is settled before the earliest moment: nothing is kept.
  return GhostChoiceList().choices(ghostFolder, mapName, lapCount, std::numeric_limits<std::int64_t>::min());
}
