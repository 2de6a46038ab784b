#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/CommandLine.h"

using Words = std::vector<std::string>;

TEST(CommandLine, SplitsOnBlanksAndGroupsQuotedStretches) {
  EXPECT_EQ(sim::splitCommandLine("lm_lapNbr 3"), (Words{"lm_lapNbr", "3"}));
  EXPECT_EQ(sim::splitCommandLine("  lm_record   "), (Words{"lm_record"}));
  EXPECT_EQ(sim::splitCommandLine("lm_log \"Race ended in 01:23:456.\""),
            (Words{"lm_log", "Race ended in 01:23:456."}));
  EXPECT_EQ(sim::splitCommandLine("lm_ghostfilepath \"My-PB.ghost\""), (Words{"lm_ghostfilepath", "My-PB.ghost"}));
}

TEST(CommandLine, EmptyQuotesMakeAnEmptyWordAndQuotesInsideAWordJoinIt) {
  EXPECT_EQ(sim::splitCommandLine("lm_log \"\""), (Words{"lm_log", ""}));
  EXPECT_EQ(sim::splitCommandLine("lm_log \" \""), (Words{"lm_log", " "}));
  EXPECT_EQ(sim::splitCommandLine("lm_log \"say \"hi\" now\""), (Words{"lm_log", "say hi now"}));
  EXPECT_TRUE(sim::splitCommandLine("").empty());
}
