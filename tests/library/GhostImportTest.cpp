#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "GhostFileHelpers.h"
#include "library/ghostfile/GhostFrame.h"
#include "library/platform/PathText.h"
#include "plugin/Lumaro.h"
#include "sim/Console.h"
#include "sim/Game.h"
#include "support/PluginHarness.h"

namespace {

using Lines = std::vector<std::string>;
using Frames = std::vector<GhostFrame>;

struct ImportHost : PluginHarness {
  ImportHost() { newLines(); }
  void ghost(const std::string& name, const std::string& bytes) { writeBytes(game().ghostFolder() / name, bytes); }
  // Sets the selection without its change handler's import, then imports through the command.
  Lines import(const std::string& selection) {
    sim::ConsoleVariable& variable = *console().find("lm_ghostfilepath");
    auto callbacks = std::exchange(variable.onChange, {});
    console().setValue(variable, selection);
    variable.onChange = std::move(callbacks);
    newLines();
    run("lm_import");
    return newLines();
  }
};

TEST(GhostImport, TheDefaultSelectionNamesNoFileAndEmptiesTheLoadedGhost) {
  ImportHost host;
  host.plugin().ghostFrames = {ghostFrame(1, 1, 1, 1, 1, 1, 1)};
  host.run("lm_import");
  EXPECT_EQ(host.newLines(), Lines{"No Ghost found none."});
  EXPECT_TRUE(host.plugin().ghostFrames.empty());
}

// Mended: a file named " " or "none" was read for the page's blank entry or the variable's default.
TEST(GhostImport, ChoosingTheBlankOptionFindsNoGhost) {
  ImportHost host;
  for (const char* name : {" ", "none"}) host.ghost(name, "h\n1,0,0,0,0,0,0\n");
  EXPECT_EQ(host.import("none"), Lines{"No Ghost found none."});
  host.run("lm_ghostfilepath \" \"");
  EXPECT_EQ(host.newLines(), Lines{"No Ghost found  ."});
  EXPECT_EQ(host.import(""), Lines{"No Ghost found ."});  // the ghost folder itself is no ghost
  std::filesystem::create_directory(host.game().ghostFolder() / "folder.ghost");
  EXPECT_EQ(host.import("folder.ghost"), Lines{"No Ghost found folder.ghost."});
}

TEST(GhostImport, AChangedSelectionImportsAnyReadableGhostWhateverItsMap) {
  ImportHost host;
  host.ghost("other.ghost", "OtherMap,Bo,16,6-Lap,1.1\n0,1.5,2,3,4,5,6\n16,-1.25,2,3,4,5,6,7,8\n");
  host.plugin().ghostFrames = {ghostFrame(9, 9, 9, 9, 9, 9, 9)};
  host.run("lm_ghostfilepath other.ghost");
  EXPECT_EQ(host.newLines(), Lines{"Imported other.ghost."});
  EXPECT_EQ(host.plugin().ghostFrames,
            (Frames{ghostFrame(0, 1.5f, 2, 3, 4, 5, 6), ghostFrame(16, -1.25f, 2, 3, 4, 5, 6)}));
}

TEST(GhostImport, SubFoldersAndUtf8NamesAreFoundInTheGhostFolder) {
  ImportHost host;
  host.ghost("sub/x.ghost", "h\r\n7,0,0,0,0,0,0");
  EXPECT_EQ(host.import("sub/x.ghost"), Lines{"Imported sub/x.ghost."});
  EXPECT_EQ(host.plugin().ghostFrames.size(), 1u);
  writeBytes(host.game().ghostFolder() / std::filesystem::path(u8"J\u00e9r\u00f4me \u732b.ghost"), "h\n1,0,0,0,0,0,0");
  const std::string name = "J\xc3\xa9r\xc3\xb4me \xe7\x8c\xab.ghost";
  EXPECT_EQ(host.import(name), Lines{"Imported " + name + "."});
  // A link to a ghost inside the folder is followed.
  std::filesystem::create_symlink("sub/x.ghost", host.game().ghostFolder() / "linked.ghost");
  EXPECT_EQ(host.import("linked.ghost"), Lines{"Imported linked.ghost."});
}

// The selection is the player's own path: an absolute one as it is, anything else joined to the folder, ".."
// and links out of it included. Only what is no regular file is refused.
TEST(GhostImport, ASelectionIsAPathJoinedToTheGhostFolderAndOnlyARegularFileIsRead) {
  ImportHost host;
  const std::filesystem::path elsewhere = host.game().root() / "elsewhere.txt";
  writeBytes(elsewhere, "h\n1,0,0,0,0,0,0\n2,0,0,0,0,0,0\n");
  std::filesystem::create_symlink(elsewhere, host.game().ghostFolder() / "outside.ghost");
  std::filesystem::create_directory(host.game().ghostFolder() / "sub");
  ASSERT_EQ(mkfifo((host.game().ghostFolder() / "pipe.ghost").c_str(), 0600), 0);
  const std::string refused[] = {"sub", "..", "pipe.ghost"};
  for (const std::string& selection : refused) {
    host.plugin().ghostFrames = {ghostFrame(1, 1, 1, 1, 1, 1, 1)};
    EXPECT_EQ(host.import(selection), Lines{"No Ghost found " + selection + "."});
    EXPECT_TRUE(host.plugin().ghostFrames.empty()) << selection;
  }
  for (const std::string& selection :
       {utf8FromPath(elsewhere), std::string("../../../elsewhere.txt"), std::string("sub/../../../../elsewhere.txt")}) {
    EXPECT_EQ(host.import(selection), Lines{"Imported " + selection + "."});
  }
  EXPECT_EQ(host.import("outside.ghost"), Lines{"Imported outside.ghost."});
  EXPECT_EQ(host.plugin().ghostFrames.size(), 2u);
}

// Mended: an empty ghost used to be announced as imported, and only the next lm_play found it empty.
TEST(GhostImport, AFileWithoutFramesIsImportedAndSaidToHoldNone) {
  ImportHost host;
  host.ghost("h.ghost", "TestMap,Player,16,1-Lap,1.1\r\n");
  host.plugin().ghostFrames = {ghostFrame(9, 9, 9, 9, 9, 9, 9)};
  EXPECT_EQ(host.import("h.ghost"), (Lines{"Imported h.ghost.", "h.ghost holds no frames."}));
  EXPECT_TRUE(host.plugin().ghostFrames.empty());
  host.ghost("empty.ghost", "");
  EXPECT_EQ(host.import("empty.ghost"), (Lines{"Imported empty.ghost.", "empty.ghost holds no frames."}));
  host.ghost("short.ghost", "h\n1,2\n");
  EXPECT_EQ(host.import("short.ghost"), (Lines{"Imported short.ghost.", "short.ghost holds no frames.",
                                               "Skipped 1 line of short.ghost with fewer than seven fields."}));
}

// Mended: a bad number used to throw out of the import, leaving a half-read ghost and no word about it.
TEST(GhostImport, ABadNumberIsReportedWithFileLineAndFieldAndTheFramesBeforeItStay) {
  ImportHost host;
  host.ghost("bad.ghost", "h\r\n1,0,0,0,0,0,0\r\n2,0,0,0,0,0,0\r\n3,0,0,0,0,Lap,0\r\n4,0,0,0,0,0,0\r\n");
  const std::string message = "Stopped reading bad.ghost at line 4: the yaw value is not a number (frames loaded: 2).";
  EXPECT_EQ(host.import("bad.ghost"), Lines{message});
  EXPECT_EQ(host.plugin().ghostFrames.size(), 2u);
  EXPECT_EQ(host.cvar("lm_log"), message);

  host.ghost("huge.ghost", "h\n1,0,0,0,0,0,0\n2147483648,0,0,0,0,0,0\n");
  EXPECT_EQ(host.import("huge.ghost"),
            Lines{"Stopped reading huge.ghost at line 3: the time value is out of range (frames loaded: 1)."});
  host.ghost("far.ghost", "h\n1,1e39,0,0,0,0,0\n");
  EXPECT_EQ(host.import("far.ghost"),
            Lines{"Stopped reading far.ghost at line 2: the x value is out of range (frames loaded: 0)."});
  EXPECT_TRUE(host.plugin().ghostFrames.empty());
}

// Mended: nan and inf pass the number rules and used to be written to the ghost car's Kismet variables.
TEST(GhostImport, ANonFiniteLocationOrRotationStopsTheReadLikeABadNumber) {
  ImportHost host;
  const std::pair<std::string, std::string> lines[] = {{"2,nan,0,0,0,0,0", "x"},      {"2,0,-inf,0,0,0,0", "y"},
                                                       {"2,0,0,INFINITY,0,0,0", "z"}, {"2,0,0,0,NaN(1),0,0", "pitch"},
                                                       {"2,0,0,0,0,inf,0", "yaw"},    {"2,0,0,0,0,0,-nan", "roll"}};
  for (const auto& [line, field] : lines) {
    host.ghost("odd.ghost", "h\n1,0,0,0,0,0,0\n" + line + "\n3,0,0,0,0,0,0\n");
    EXPECT_EQ(host.import("odd.ghost"), Lines{"Stopped reading odd.ghost at line 3: the " + field +
                                              " value is not a finite number (frames loaded: 1)."});
    EXPECT_EQ(host.plugin().ghostFrames.size(), 1u) << line;
  }
}

// Mended: a crafted ghost with a line of gigabytes was gathered whole into memory before anything was said.
TEST(GhostImport, ALineLongerThanTheLimitStopsTheReadWithTheLineNamed) {
  ImportHost host;
  host.ghost("long.ghost", "h\r\n1,0,0,0,0,0,0\r\n2,0,0,0,0,0,0" + std::string(5000, '0') + "\r\n3,0,0,0,0,0,0\r\n");
  EXPECT_EQ(host.import("long.ghost"),
            Lines{"Stopped reading long.ghost at line 3: the line is longer than 4096 bytes (frames loaded: 1)."});
  EXPECT_EQ(host.plugin().ghostFrames.size(), 1u);
  // Mended: a header longer than the limit stopped the import; the first line is skipped unread, however long.
  host.ghost("head.ghost", std::string(70000, 'h') + "\n1,0,0,0,0,0,0\n");
  EXPECT_EQ(host.import("head.ghost"), Lines{"Imported head.ghost."});
}

// Mended: short lines used to be read past their last field.
TEST(GhostImport, ShortLinesAreSkippedAndReportedAfterTheOutcome) {
  ImportHost host;
  host.ghost("cut.ghost", "h\r\n1,0,0,0,0,0,0\r\n\r\n2,0,0,0,0,0,\r\n3,0,0\r\n4,0,0,0,0,0,0\r\n");
  EXPECT_EQ(host.import("cut.ghost"),
            (Lines{"Imported cut.ghost.", "Skipped 3 lines of cut.ghost with fewer than seven fields."}));
  EXPECT_EQ(host.plugin().ghostFrames.size(), 2u);
  EXPECT_EQ(host.plugin().ghostFrames[1].time, 4);

  host.ghost("trailing.ghost", "h\n1,0,0,0,0,0,0\n\n");
  EXPECT_EQ(host.import("trailing.ghost"),
            (Lines{"Imported trailing.ghost.", "Skipped 1 line of trailing.ghost with fewer than seven fields."}));

  host.ghost("both.ghost", "h\n1,0,0,0,0,0,0\n5\n2,0,0,0,x,0,0\n");
  EXPECT_EQ(host.import("both.ghost"),
            (Lines{"Stopped reading both.ghost at line 4: the pitch value is not a number (frames loaded: 1).",
                   "Skipped 1 line of both.ghost with fewer than seven fields."}));
}

}  // namespace
