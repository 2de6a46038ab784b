// Would the page list a file: the page's own decision, with the reason when it would not.
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "library/ghostfile/GhostFormat.h"
#include "tools/ghost/analysis/GhostFileContent.h"
#include "tools/ghost/analysis/PageListing.h"
#include "ui/GhostChoice.h"

using namespace lumaro_ghost;

namespace {

// A file of the header line alone, or an empty file.
PageListing listingOf(const std::optional<std::string>& header, std::string_view fileName, std::string_view map,
                      std::int32_t laps) {
  std::istringstream in(header ? *header + "\r\n" : "");
  return pageListing(readGhostFileContent(in), fileName, map, laps);
}

}  // namespace

TEST(PageListing, AListedFileShowsThePagesOwnEntry) {
  const std::string header = "Speedway,Ann\xC3\xA9,83456,3-Lap,1.1";
  const PageListing listing = listingOf(header, "My-PB.ghost", "Speedway", 3);
  ASSERT_TRUE(listing.listed);
  EXPECT_EQ(listing.entry, "3-Lap in 01:23:456 by Ann(My-PB.ghost)");
  EXPECT_EQ(listing.entry + "@My-PB.ghost", *ghostChoice(header, "My-PB.ghost", "Speedway", 3));
  // The most and fewest laps a race is set to (the laps past them are refused below).
  EXPECT_TRUE(listingOf("Speedway,Ann,1,6-Lap,1.1", "a.ghost", "Speedway", 6).listed);
  EXPECT_TRUE(listingOf("Speedway,Ann,1,1-Lap,1.1", "a.ghost", "Speedway", 1).listed);
  // Direction marks and invisible code points (U+202E, U+2069) show as escapes in the label, the code points
  // just past them (U+202F, U+2070) as they are; the value is the real name.
  const std::string name = "\xE2\x80\xAE\xE2\x80\xAF\xE2\x81\xA9\xE2\x81\xB0.ghost";
  EXPECT_EQ(*ghostChoice("Speedway,Ann,1,3-Lap\xE2\x80\x8F,1.1", name, "Speedway", 3),
            "3-Lap\\u200f in 00:00:001 by Ann(\\u202e\xE2\x80\xAF\\u2069\xE2\x81\xB0.ghost)@" + name);
}

TEST(PageListing, EachRefusalNamesTheTestTheFileFails) {
  struct Case {
    std::optional<std::string> header;
    std::string fileName;
    std::string map;
    std::int32_t laps;
    std::string reason;
  };
  const Case cases[] = {
      {std::nullopt, "a.ghost", "Speedway", 1, "the file is empty: the page reads no first line"},
      {"Speedway,Ann,1,1-Lap,1.1", "a|b.ghost", "Speedway", 1, std::string(unlistableFileName)},
      {"Speedway,Ann,1,1-Lap,1.1", "a\"b.ghost", "Speedway", 1, std::string(unlistableFileName)},
      {"Speedway,Ann,1,1-Lap,1.1", "none", "Speedway", 1, std::string(unlistableFileName)},
      {"Speedway,Ann" + std::string(4096, 'n') + ",1,1-Lap,1.1", "a.ghost", "Speedway", 1,
       "its first line is longer than the 4096 bytes the settings page reads"},
      {"Speedway,Doe, Jane,1,1-Lap,1.1", "a.ghost", "Speedway", 1,
       "its first line has 6 fields: a comma stands inside one of them, and the page does not guess which"},
      {"Speedway,Ann,1", "a.ghost", "Speedway", 1, "its first line has 3 fields; the page needs at least four"},
      {"Speedway", "a.ghost", "Speedway", 1, "its first line has 1 field; the page needs at least four"},
      {"Oval,Ann,1,1-Lap,1.1", "a.ghost", "Speedway", 1, R"(it is for the map "Oval", not "Speedway")"},
      {"Speedway,Ann,1,Lap,1.1", "a.ghost", "Speedway", 1, "its lap count \"Lap\" is not a number"},
      {"Speedway,Ann,1,2147483648-Lap,1.1", "a.ghost", "Speedway", 1,
       "its lap count \"2147483648-Lap\" is out of range"},
      {"Speedway,Ann,1,2-Lap,1.1", "a.ghost", "Speedway", 3, "it is a run of 2 laps, not 3"},
      {"Speedway,Ann,x,1-Lap,1.1", "a.ghost", "Speedway", 1, "its run time \"x\" is not a number"},
      {"Speedway,Ann,2147483648,1-Lap,1.1", "a.ghost", "Speedway", 1, "its run time \"2147483648\" is out of range"},
      {"Speedway,Ann,-1,1-Lap,1.1", "a.ghost", "Speedway", 1, "its run time -1 ms is below zero"},
      {"Speedway,Ann,1,9-Lap,1.1", "a.ghost", "Speedway", 9,
       "only a page set to 9 laps would list it, and the Number of laps goes from 1 to 6"},
      {"Speedway,Ann,1,7-Lap,1.1", "a.ghost", "Speedway", 7,
       "only a page set to 7 laps would list it, and the Number of laps goes from 1 to 6"},
      {"Speedway,Ann,1,0-Lap,1.1", "a.ghost", "Speedway", 0,
       "only a page set to 0 laps would list it, and the Number of laps goes from 1 to 6"},
  };
  for (const Case& c : cases) {
    const PageListing listing = listingOf(c.header, c.fileName, c.map, c.laps);
    EXPECT_FALSE(listing.listed) << c.reason;
    EXPECT_EQ(listing.reason, c.reason);
    // The decision is the page's: it turns down every one of these too, except the lap count it cannot be set
    // to and the first line its reader does not take.
    if (c.header && c.laps >= 1 && c.laps <= 6 && c.header->size() <= ghostLineLimit) {
      EXPECT_FALSE(ghostChoice(*c.header, c.fileName, c.map, c.laps)) << c.reason;
    }
  }
}
