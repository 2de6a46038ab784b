// The settings page's ghost list, made again at every page: each entry with a listable name is read (only a
// regular file, a link to one followed, no further than a header line of ghostLineLimit bytes and its line
// end) and offered when its header fits the map and lap count (ui/GhostChoice.h). The list keeps what it read
// of each file with the file's stamp (library/platform/FileStamp.h) and reads a file again only when its stamp has
// changed, so a page costs one look at each file it knows. A stamp is kept only once it has settled: a file
// written within the last few seconds is read at every page, since another write within the same step of the
// clock would leave its stamp as it is. Files edited in place are thus never shown as they were. The entries
// themselves are kept between pages too: when every file is known and its stamp unchanged, a page costs the
// listing, one look and one comparison a file, and gives back the very entries of the page before.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/platform/FileStamp.h"
#include "library/platform/FolderListing.h"

class GhostChoiceList {
public:
  // At most this many bytes are held between pages, counted as allocated: the kept files' names, headers
  // and entries, and the listing's names kept to reuse their order (some twenty thousand ordinary ghosts, the
  // order of a hundred thousand names beside them). The files past it are read at every page. A file gone
  // from the folder is let go at the next page.
  static constexpr std::size_t defaultMostKeptBytes = std::size_t{8} << 20;

  explicit GhostChoiceList(std::size_t mostKeptBytes = defaultMostKeptBytes) : mostKeptBytes_(mostKeptBytes) {}

  // The entries for every ghost file of the folder, in byte order of the (UTF-8) file names. Entries that are
  // no regular file, files that cannot be read and a folder that cannot be listed give no entries. moment:
  // the page's time by the system's clock (fileClockNow), taken before the folder is listed. The entries are
  // the list's own, valid until its next call.
  const std::vector<std::string>& choices(const std::filesystem::path& ghostFolder, std::string_view mapName,
                                          std::int32_t lapCount, std::int64_t moment);

  // Lets go of everything kept: the next page reads every file afresh (the player's own refresh, which thus
  // also shows a file whose writer left its times as they were).
  void forget();

  // How many files the last call opened and read, how many it kept, and the bytes held until the next call for
  // the files kept (the entries of files not kept are the last page's, held only until the next one).
  std::size_t filesRead() const { return filesRead_; }
  std::size_t filesKept() const { return known_.size(); }
  std::size_t heldBytes() const;

private:
  static constexpr std::uint32_t noChoice = ~std::uint32_t{0};
  struct KnownFile {
    std::string name;
    FileStamp stamp;
    std::optional<std::string> header;  // nothing: a file without a first line the page reads
    std::uint32_t choice = noChoice;    // its entry among choices_, for the map and lap count of the last call
    std::size_t bytes(std::size_t choiceBytes) const;
  };
  // Whether the map or the lap count differ from the last call's (every kept file's entry is then made again).
  bool chooseFor(std::string_view mapName, std::int32_t lapCount);
  // Whether the files, in order, are the kept ones with the same stamps; the kept entries then stand as they are.
  bool allKnownAndUnchanged(const std::vector<const FolderEntry*>& files, const FolderListing& listing) const;

  // The files in byte order of their names, as positions in the listing's order of listable names. A folder
  // lists its names in the same order while it is unchanged: the order found for that sequence is reused
  // when its names fit within orderBytes.
  const std::vector<std::uint32_t>& nameOrder(const std::vector<const FolderEntry*>& listed, std::size_t orderBytes);
  std::size_t orderHeldBytes() const;

  std::filesystem::path folder_;
  std::string listedNames_;  // the last listing's listable names in its order, each followed by a NUL
  std::vector<std::uint32_t> nameOrder_;
  std::string mapName_;
  std::int32_t lapCount_ = 0;
  std::vector<KnownFile> known_;      // in byte order of the names
  std::vector<std::string> choices_;  // the last page's entries
  bool choicesAreKnown_ = false;      // every file of the last page was kept: choices_ are the kept files' entries
  std::size_t mostKeptBytes_;
  std::size_t filesRead_ = 0;
};

// The entries made by a list that keeps nothing: every file read afresh.
std::vector<std::string> ghostChoices(const std::filesystem::path& ghostFolder, std::string_view mapName,
                                      std::int32_t lapCount);
