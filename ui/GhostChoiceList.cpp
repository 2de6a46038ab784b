#include "ui/GhostChoiceList.h"

#include <algorithm>
#include <compare>
#include <cstddef>
#include <limits>
#include <type_traits>
#include <utility>

#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/LineReader.h"
#include "library/platform/FolderListing.h"
#include "library/platform/RegularFileReader.h"
#include "ui/GhostChoice.h"

std::size_t GhostChoiceList::KnownFile::bytes(std::size_t choiceBytes) const {
  return sizeof(KnownFile) + name.capacity() + (header ? header->capacity() : 0) + choiceBytes;
}

std::size_t GhostChoiceList::orderHeldBytes() const {
  return listedNames_.capacity() + nameOrder_.capacity() * sizeof(std::uint32_t);
}

std::size_t GhostChoiceList::heldBytes() const {
  std::size_t bytes = orderHeldBytes() + (known_.capacity() - known_.size()) * sizeof(KnownFile);
  for (const KnownFile& file : known_)
    bytes += file.bytes(file.choice != noChoice ? choices_[file.choice].capacity() : 0);
  return bytes;
}

void GhostChoiceList::forget() {
  known_ = {};
  choices_ = {};
  choicesAreKnown_ = false;
  listedNames_ = {};
  nameOrder_ = {};
}

bool GhostChoiceList::chooseFor(std::string_view mapName, std::int32_t lapCount) {
  if (mapName == mapName_ && lapCount == lapCount_) return false;
  mapName_ = mapName;
  lapCount_ = lapCount;
  return true;
}

bool GhostChoiceList::allKnownAndUnchanged(const std::vector<const FolderEntry*>& files,
                                           const FolderListing& listing) const {
  if (!choicesAreKnown_ || files.size() != known_.size()) return false;
  for (std::size_t n = 0; n < files.size(); ++n) {
    if (files[n]->name != known_[n].name) return false;
    const std::optional<FileStamp> stamp = listing.look(*files[n]);
    if (!stamp || *stamp != known_[n].stamp) return false;
  }
  return true;
}

const std::vector<std::uint32_t>& GhostChoiceList::nameOrder(const std::vector<const FolderEntry*>& listed,
                                                             std::size_t orderBytes) {
  // The same names in the same order as the kept ones: compared in place, nothing copied.
  if (nameOrder_.size() == listed.size() && !listedNames_.empty()) {
    std::string_view kept = listedNames_;
    const bool same = std::all_of(listed.begin(), listed.end(), [&kept](const FolderEntry* entry) {
      if (kept.size() <= entry->name.size() || !kept.starts_with(entry->name) || kept[entry->name.size()] != '\0') {
        return false;
      }
      kept.remove_prefix(entry->name.size() + 1);
      return true;
    });
    if (same && kept.empty()) return nameOrder_;
  }
  std::string names;
  for (const FolderEntry* entry : listed) {
    names += entry->name;
    names += '\0';
  }
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

const std::vector<std::string>& GhostChoiceList::choices(const std::filesystem::path& ghostFolder,
                                                         std::string_view mapName, std::int32_t lapCount,
                                                         std::int64_t moment) {
  if (ghostFolder != folder_) {
    known_.clear();
    choicesAreKnown_ = false;
    folder_ = ghostFolder;
  }
  const bool newChoice = chooseFor(mapName, lapCount);
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
  if (!newChoice && allKnownAndUnchanged(files, listing)) return choices_;

  std::vector<std::string> choices;
  choices.reserve(files.size());
  // The kept list grows with what it keeps, not with the folder. What it holds is its entries' own bytes
  // beside the list's room, which is counted as it stands (not once more at every growth); the room grows
  // only as far as the bound leaves for it.
  std::vector<KnownFile> kept;
  std::size_t heldBeside = orderHeldBytes();  // the order, and the kept entries' names, headers and entries
  const auto keep = [this, &kept, &heldBeside, &choices](KnownFile&& file) {
    if (file.header) file.header->shrink_to_fit();
    const std::size_t choiceBytes = file.choice != noChoice ? choices[file.choice].capacity() : 0;
    const std::size_t beside = heldBeside + file.bytes(choiceBytes) - sizeof(KnownFile);
    if (beside + (kept.size() + 1) * sizeof(KnownFile) > mostKeptBytes_) return;
    if (kept.size() == kept.capacity()) {
      const std::size_t room = (mostKeptBytes_ - beside) / sizeof(KnownFile);
      kept.reserve(std::min(room, std::max<std::size_t>(16, kept.capacity() * 2)));
    }
    heldBeside = beside;
    kept.push_back(std::move(file));
  };
  // An entry joins the page's entries; the file names its place there.
  const auto offer = [&choices](KnownFile& file, std::optional<std::string>&& choice) {
    file.choice = noChoice;
    if (!choice) return;
    file.choice = static_cast<std::uint32_t>(choices.size());
    choices.push_back(std::move(*choice));
  };
  // Both the files and the known ones are in name order: one walk pairs them.
  auto known = known_.begin();
  for (const FolderEntry* entry : files) {
    while (known != known_.end() && known->name < entry->name) ++known;
    if (known != known_.end() && known->name == entry->name) {
      const std::optional<FileStamp> stamp = listing.look(*entry);
      if (stamp && *stamp == known->stamp) {
        // The kept entry moves to its new place; it is made again only for another map or lap count.
        if (newChoice) {
          offer(*known, known->header ? ghostChoice(*known->header, known->name, mapName, lapCount) : std::nullopt);
        } else {
          offer(*known, known->choice != noChoice ? std::optional(std::move(choices_[known->choice])) : std::nullopt);
        }
        keep(std::move(*known));
        continue;
      }
    }
    RegularFileReader in(listing, *entry);
    if (!in.isOpen()) continue;
    ++filesRead_;
    KnownFile file{
        std::string(entry->name), in.stamp().value_or(FileStamp{}),
        readFirstLineFrom([&in](char* into, std::size_t count) { return in.read(into, count); }, ghostLineLimit)};
    offer(file, file.header ? ghostChoice(*file.header, file.name, mapName, lapCount) : std::nullopt);
    if (in.stamp() && isSettled(*in.stamp(), moment)) keep(std::move(file));
  }
  kept.shrink_to_fit();
  known_ = std::move(kept);
  choices_ = std::move(choices);
  choicesAreKnown_ = known_.size() == files.size();
  if (listedNames_.empty()) nameOrder_ = {};
  return choices_;
}

std::vector<std::string> ghostChoices(const std::filesystem::path& ghostFolder, std::string_view mapName,
                                      std::int32_t lapCount) {
  // No stamp is settled before the earliest moment: nothing is kept.
  GhostChoiceList list;
  return list.choices(ghostFolder, mapName, lapCount, std::numeric_limits<std::int64_t>::min());
}
