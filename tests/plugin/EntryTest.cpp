#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "host/CVarManagerWrapper.h"
#include "host/GameWrapper.h"
#include "host/PluginExports.h"
#include "host/TessaroPlugin.h"
#include "library/ghostfile/GhostFrame.h"
#include "plugin/Entry.h"
#include "plugin/Lumaro.h"
#include "sim/Console.h"
#include "sim/Game.h"
#include "support/PluginHarness.h"

namespace {

template <class T>
T fieldAt(std::size_t offset) {
  T value;
  std::memcpy(&value, reinterpret_cast<const unsigned char*>(&exports) + offset, sizeof value);
  return value;
}

TEST(ExportsRecord, HoldsTheDescriptionTheHostReadsAtFixedOffsets) {
  EXPECT_EQ(sizeof exports, 64u);
  EXPECT_EQ(fieldAt<std::int32_t>(0), 95);
  EXPECT_EQ(fieldAt<std::int32_t>(4), 0);  // padding
  const std::string sourcePath = fieldAt<const char*>(8);
  EXPECT_TRUE(sourcePath.ends_with("Lumaro.cpp")) << sourcePath;
  EXPECT_STREQ(fieldAt<const char*>(16), "Lumaro");
  EXPECT_STREQ(fieldAt<const char*>(24), "Lumaro");
  EXPECT_STREQ(fieldAt<const char*>(32), "1.0");
  EXPECT_EQ(fieldAt<std::int32_t>(40), 32);
  EXPECT_EQ(fieldAt<std::int32_t>(44), 0);  // padding
  EXPECT_EQ(fieldAt<void*>(48), reinterpret_cast<void*>(&getPlugin));
  EXPECT_EQ(fieldAt<void*>(56), reinterpret_cast<void*>(&deleteMe));
}

TEST(PluginObject, GetPluginCreatesOneObjectAndDeleteMeReleasesIt) {
  deleteMe();  // harmless before any getPlugin
  deleteMe();
  auto* first = getPlugin();
  auto* second = getPlugin();
  EXPECT_EQ(first, second);
  EXPECT_EQ(first->use_count(), 1);
  std::weak_ptr<Tessaro::Plugin::TessaroPlugin> watch = *first;

  // A copy the host holds keeps the object alive past deleteMe, which empties the library's pointer.
  std::shared_ptr<Tessaro::Plugin::TessaroPlugin> hostCopy = *first;
  deleteMe();
  EXPECT_FALSE(*first);
  EXPECT_FALSE(watch.expired());
  hostCopy.reset();
  EXPECT_TRUE(watch.expired());
  deleteMe();
}

TEST(PluginObject, AFreshObjectAfterDeleteMeHasTheInitialValues) {
  auto* plugin = static_cast<Lumaro*>(getPlugin()->get());
  plugin->recordedFrames.push_back({});
  plugin->currentLap = 3;
  plugin->isPlaying = true;
  deleteMe();

  const Lumaro& fresh = *static_cast<Lumaro*>(getPlugin()->get());
  EXPECT_EQ(fresh.ghostFileVersion, "1.1");
  EXPECT_TRUE(fresh.sequenceVariables.empty());
  EXPECT_TRUE(fresh.recordedFrames.empty());
  EXPECT_TRUE(fresh.ghostFrames.empty());
  EXPECT_EQ(fresh.currentLap, -1);
  EXPECT_FALSE(fresh.isPlaying);
  EXPECT_EQ(fresh.playbackStart, 0);
  EXPECT_FALSE(fresh.isChallenging);
  EXPECT_FALSE(fresh.cvarManager);
  EXPECT_FALSE(fresh.gameWrapper);
  deleteMe();
}

TEST(TessaroPluginBase, CopyAndMoveShareOrTakeTheHostPointers) {
  Tessaro::Plugin::TessaroPlugin a;
  a.cvarManager = std::make_shared<CVarManagerWrapper>(1);
  a.gameWrapper = std::make_shared<GameWrapper>(2);
  Tessaro::Plugin::TessaroPlugin copy(a);
  EXPECT_EQ(copy.cvarManager, a.cvarManager);
  EXPECT_EQ(a.cvarManager.use_count(), 2);
  Tessaro::Plugin::TessaroPlugin moved(std::move(copy));
  // NOLINTNEXTLINE(bugprone-use-after-move): what a move leaves behind is what is checked
  EXPECT_FALSE(copy.cvarManager);
  EXPECT_FALSE(copy.gameWrapper);
  EXPECT_EQ(moved.gameWrapper, a.gameWrapper);
}

TEST(OnLoad, LeavesAnExistingGhostFolderAndItsFilesUntouched) {
  PluginHarness host(false);
  std::filesystem::create_directories(host.game().ghostFolder());
  { std::ofstream(host.game().ghostFolder() / "kept.ghost") << "Map,Ann,1,1-Lap,1.1\n"; }
  host.load();
  std::ifstream kept(host.game().ghostFolder() / "kept.ghost");
  std::string header;
  std::getline(kept, header);
  EXPECT_EQ(header, "Map,Ann,1,1-Lap,1.1");
  // All seven steps ran: the colour variable and both hooks exist.
  EXPECT_TRUE(host.console().valueOf("lm_color").has_value());
  EXPECT_EQ(host.game().hostCalls().back(), std::string("HookEvent ") + sim::playerSpawnEvent);
}

TEST(OnLoad, CreatesTheGhostFolderAndChangesNoField) {
  PluginHarness host;
  EXPECT_TRUE(std::filesystem::is_directory(host.game().ghostFolder()));
  EXPECT_EQ(host.plugin().currentLap, -1);
  EXPECT_TRUE(host.plugin().recordedFrames.empty());
}

TEST(OnUnload, SendsExactlyTheCloseMenuCommand) {
  PluginHarness host;
  const auto before = host.console().commandsRun().size();
  host.plugin().currentLap = 2;
  host.plugin().onUnload();
  ASSERT_EQ(host.console().commandsRun().size(), before + 1);
  EXPECT_EQ(host.console().commandsRun().back(), "closemenu settings");
  EXPECT_EQ(host.game().menuCloses(), 1);
  EXPECT_EQ(host.plugin().currentLap, 2);
}

}  // namespace
