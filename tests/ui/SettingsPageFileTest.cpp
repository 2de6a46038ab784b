// The page file is replaced through a scratch file renamed over it: whatever it held before, it then holds
// exactly the new page, and a link or second name planted at its name leads to bytes that never change.
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "library/GhostFileHelpers.h"
#include "support/TempFolder.h"
#include "ui/SettingsPageFile.h"

namespace {

TEST(SettingsPageFile, HoldsExactlyTheNewPageWhetherLongerOrShorter) {
  TempFolder folder;
  const auto page = folder.path() / "Lumaro.set";
  const std::string longer = "Lumaro\r\n9|" + std::string(5000, 'l') + "\r\n";
  const std::string shorter = "Lumaro\r\n9|short\r\n";
  ASSERT_TRUE(writeSettingsPageFile(page, longer));  // created
  EXPECT_EQ(fileBytes(page), longer);
  ASSERT_TRUE(writeSettingsPageFile(page, shorter));
  EXPECT_EQ(fileBytes(page), shorter);
  ASSERT_TRUE(writeSettingsPageFile(page, longer));
  EXPECT_EQ(fileBytes(page), longer);
  ASSERT_TRUE(writeSettingsPageFile(page, ""));
  EXPECT_EQ(fileBytes(page), "");
}

TEST(SettingsPageFile, ALinkOrSecondNameAtThePageIsReplacedNotWrittenThrough) {
  TempFolder folder;
  const auto page = folder.path() / "Lumaro.set";
  const auto outside = folder.path() / "outside.txt";
  for (const bool symbolic : {true, false}) {
    writeBytes(outside, std::string(100'000, 'p'));
    std::filesystem::remove(page);
    symbolic ? std::filesystem::create_symlink(outside, page) : std::filesystem::create_hard_link(outside, page);
    ASSERT_TRUE(writeSettingsPageFile(page, "Lumaro\r\n"));
    EXPECT_EQ(fileBytes(outside), std::string(100'000, 'p')) << symbolic;
    EXPECT_EQ(fileBytes(page) + folderNames(folder.path()).at(1), "Lumaro\r\noutside.txt") << symbolic;
  }
}

TEST(SettingsPageFile, APageThatCannotBeWrittenIsReported) {
  TempFolder folder;
  EXPECT_FALSE(writeSettingsPageFile(folder.path(), "Lumaro\r\n"));
  EXPECT_FALSE(writeSettingsPageFile(folder.path() / "missing" / "Lumaro.set", "Lumaro\r\n"));
}

}  // namespace
