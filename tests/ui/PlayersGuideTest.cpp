// The players' guide names the settings page's controls and its ghost folder in the page's own words.
#include <cstddef>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "ui/SettingsPageText.h"

namespace {

TEST(PlayersGuide, NamesEveryControlAndTheFolderInThePagesWords) {
  std::ifstream in(LUMARO_PLAYERS_GUIDE, std::ios::binary);
  const std::string guide((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(guide.empty());
  // The page with every control it can show: a recorded run, a listed ghost, a map with a colour.
  const std::string listed[] = {"1-Lap in 00:01:000 by Ann(a.ghost)@a.ghost"};
  const std::string page = settingsPageText({true, listed, true, ""});
  std::istringstream lines(page);
  int labels = 0;
  for (std::string line; std::getline(lines, line);) {
    const std::size_t bar = line.find('|');
    const std::string code = line.substr(0, bar);
    if (code != "0" && code != "1" && code != "5" && code != "6" && code != "12" && code != "13") continue;
    const std::string label = line.substr(bar + 1, line.find('|', bar + 1) - bar - 1);
    EXPECT_NE(guide.find("**" + label + "**"), std::string::npos) << label;
    ++labels;
  }
  EXPECT_EQ(labels, 14);
  EXPECT_NE(guide.find("`.tessaro/data/Ghosts/` folder"), std::string::npos);
}

}  // namespace
