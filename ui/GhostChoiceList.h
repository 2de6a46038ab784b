// The settings page's ghost list, made again at every page: each entry with a listable name is read (only a
// regular file, a link to one followed, no further than a header line of ghostLineLimit bytes and its line
// end) and offered when its header fits the map and lap count (ui/GhostChoice.h). The list keeps what it read
// of each file with the file's stamp (library/FileStamp.h) and reads a file again only when its stamp has
// changed, so a page costs one look at each file it knows. A stamp is kept only once it has settled: a file
// written within the last few seconds is read at every page, since another write within the same step of the
// clock would leave its stamp as it is. Files edited in place are thus never shown as they were.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/FileStamp.h"
#include "library/FolderListing.h"

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
  // the page's time by the system's clock (fileClockNow), taken before the folder is listed.
  std::vector<std::string> choices(const std::filesystem::path& ghostFolder, std::string_view mapName,
                                   std::int32_t lapCount, std::int64_t moment);

  // Lets go of everything kept: the next page reads every file afresh (the player's own refresh, which thus
  // also shows a file whose writer left its times as they were).
  void forget();

  // How many files the last call opened and read, how many it kept, and the bytes held until the next call.
  std::size_t filesRead() const { return filesRead_; }
  std::size_t filesKept() const { return known_.size(); }
  std::size_t heldBytes() const;

private:
  struct KnownFile {
    std::string name;
    FileStamp stamp;
    std::optional<std::string> header;  // nothing: a file without a first line the page reads
    std::optional<std::string> choice;  // for the map and lap count of the last call
    std::size_t bytes() const;
  };
  void chooseFor(std::string_view mapName, std::int32_t lapCount);

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
  std::vector<KnownFile> known_;  // in byte order of the names
  std::size_t mostKeptBytes_;
  std::size_t filesRead_ = 0;
};

// The entries made by a list that keeps nothing: every file read afresh.
std::vector<std::string> ghostChoices(const std::filesystem::path& ghostFolder, std::string_view mapName,
                                      std::int32_t lapCount);
