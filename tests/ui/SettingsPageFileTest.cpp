// The page file is replaced in place and cut to length: whatever it held before, it then holds exactly the
// new page.
#include <filesystem>
#include <string>

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

TEST(SettingsPageFile, APageThatCannotBeWrittenIsReported) {
  TempFolder folder;
  EXPECT_FALSE(writeSettingsPageFile(folder.path(), "Lumaro\r\n"));
  EXPECT_FALSE(writeSettingsPageFile(folder.path() / "missing" / "Lumaro.set", "Lumaro\r\n"));
}

}  // namespace
