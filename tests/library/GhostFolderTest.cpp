#include <cerrno>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "library/ghostfile/GhostFrame.h"
#include "plugin/Lumaro.h"
#include "sim/Console.h"
#include "sim/Game.h"

#if !defined(_WIN32)
#  include <sys/stat.h>
#  include <sys/wait.h>

#  include <fstream>

#  include "library/platform/DetachedProcess.h"
#endif
#include "library/GhostFileHelpers.h"
#include "library/platform/FolderOpener.h"
#include "library/platform/PathText.h"
#include "sim/PluginLoader.h"
#include "support/PluginHarness.h"
#include "support/TempFolder.h"

namespace {

// Text is UTF-8 on every platform; the folder opener hands the Windows shell the path's UTF-16 form.
TEST(PathText, Utf8TextAndPathsConvertBothWaysAndTheWideFormIsUtf16) {
  const std::string text =
      "/home/J\xc3\xa9r\xc3\xb4me/Stra\xc3\x9f"
      "e/\xe7\x8c\xab.ghost";
  const std::filesystem::path path = pathFromUtf8(text);
  EXPECT_EQ(path, std::filesystem::path(u8"/home/J\u00e9r\u00f4me/Stra\u00dfe/\u732b.ghost"));
  EXPECT_TRUE(path.filename() == std::filesystem::path(u8"\u732b.ghost"));
  EXPECT_EQ(utf8FromPath(path), text);
  EXPECT_EQ(utf16FromPath(path), u"/home/J\u00e9r\u00f4me/Stra\u00dfe/\u732b.ghost");
  EXPECT_EQ(utf8FromPath(pathFromUtf8("")), "");
}

// Without a host opener on Windows, a request the shell refuses (a result of 32 or less) is reported.
TEST(GhostFolder, TheShellAcceptsARequestOnlyWithAResultAbove32) {
  EXPECT_FALSE(shellAcceptedRequest(0));
  EXPECT_FALSE(shellAcceptedRequest(2));  // file not found
  EXPECT_FALSE(shellAcceptedRequest(32));
  EXPECT_TRUE(shellAcceptedRequest(33));
  EXPECT_TRUE(shellAcceptedRequest(42));
}

TEST(GhostFolder, EveryCommandAsksTheHostToShowTheGhostFolderAndSaysNothing) {
  PluginHarness host;
  host.newLines();
  host.run("lm_open_folder");
  host.run("lm_open_folder");
  EXPECT_EQ(host.game().foldersOpened(), (std::vector<std::string>(2, utf8FromPath(host.game().ghostFolder()))));
  // A folder deleted after load is asked for all the same, still without a word.
  std::filesystem::remove_all(host.game().ghostFolder());
  host.run("lm_open_folder");
  EXPECT_EQ(host.game().foldersOpened().size(), 3u);
  EXPECT_TRUE(host.newLines().empty());
}

// The host loads the plugin library with the dynamic loader; the plugin still finds the host's opener, and
// hands it the folder as UTF-8.
TEST(GhostFolder, ThePluginLibraryLoadedByAHostReachesTheHostsOpenerWithAUtf8Path) {
  TempFolder temporary;
  const std::filesystem::path root = temporary.path() / std::filesystem::path(u8"Zo\u00eb's game");
  sim::Game game(root);
  sim::LoadedPlugin plugin(LUMARO_PLUGIN_PATH, game);
  game.console().execute("lm_open_folder");
  ASSERT_EQ(game.foldersOpened().size(), 1u);
  EXPECT_EQ(game.foldersOpened()[0], utf8FromPath(root) + "/tessaro/data/Ghosts");
  EXPECT_NE(game.foldersOpened()[0].find("Zo\xc3\xab's game"), std::string::npos);
  plugin.unload();
}

// One rule for links on every path the plugin reads or writes. A folder on the way that is a link, made before
// the load or swapped in mid-session, is followed wherever it leads (here outside the game's folder, as a
// ghost folder kept in a synced folder is): made at load, exported into, listed, imported from, opened, the
// page written in. A link at a file's own name is never written through: it is replaced.
TEST(FolderLinks, EveryFolderOnThePluginsPathsIsFollowedAndNoFileNameIsWrittenThrough) {
  struct Row {
    const char* folder;
    bool beforeLoad;
  };
  for (const Row row : {Row{"tessaro/data/Ghosts", true}, Row{"tessaro/data/Ghosts", false}, Row{"tessaro/data", true},
                        Row{"tessaro/plugins/settings", true}, Row{"tessaro/plugins", false}, Row{"tessaro", true}}) {
    const TempFolder synced;
    PluginHarness host(false);
    const std::filesystem::path linked = host.game().root() / row.folder;
    const auto swapForLink = [&] {
      std::filesystem::create_directories(linked);  // the ghost folder is made at load
      std::filesystem::rename(linked, synced.path() / "lead");
      std::filesystem::create_directory_symlink(synced.path() / "lead", linked);
    };
    if (row.beforeLoad) swapForLink();
    host.load();
    if (!row.beforeLoad) swapForLink();
    const std::filesystem::path ghost = host.game().ghostFolder() / "My-PB.ghost";
    writeBytes(synced.path() / "precious", "mine\n");
    std::filesystem::create_symlink(synced.path() / "precious", ghost);
    host.game().loadMap(sim::workshopMap("TestMap"));
    host.plugin().recordedFrames = {ghostFrame(0, 1, 2, 3, 0, 0, 0), ghostFrame(16, 4, 5, 6, 0, 0, 0)};
    host.newLines();
    host.run("lm_export");
    host.run("lm_ghostfilepath My-PB.ghost");
    host.run("lm_open_folder");
    EXPECT_EQ(host.newLines(),
              (std::vector<std::string>{"Exported to ./tessaro/data/Ghosts/My-PB.ghost.", "Imported My-PB.ghost."}))
        << row.folder;
    EXPECT_EQ(host.plugin().ghostFrames.size(), 2u) << row.folder;
    EXPECT_NE(fileBytes(host.game().settingsPage()).find("@My-PB.ghost\r\n"), std::string::npos) << row.folder;
    EXPECT_EQ(host.game().foldersOpened(), std::vector<std::string>{utf8FromPath(host.game().ghostFolder())});
    EXPECT_TRUE(std::filesystem::is_symlink(linked)) << row.folder;
    EXPECT_FALSE(std::filesystem::is_symlink(ghost)) << row.folder;
    EXPECT_EQ(fileBytes(synced.path() / "precious"), "mine\n") << row.folder;
  }
  // Nothing is made through a link: a ghost folder whose link leads to no folder stays so, and the load says it.
  const TempFolder synced;
  PluginHarness host(false);
  std::filesystem::create_directory_symlink(synced.path() / "unplugged", host.game().ghostFolder());
  host.load();
  EXPECT_EQ(host.newLines().at(0), "Could not create the ghost folder " + host.game().ghostFolder().string() +
                                       ": it is a link to " + (synced.path() / "unplugged").string() +
                                       ", where there is no folder; make that folder, or remove the link.");
  EXPECT_FALSE(std::filesystem::exists(synced.path() / "unplugged"));
}

#if !defined(_WIN32)
// Without a host opener the browser is started through an intermediate process: the caller waits only for
// that one, and no child of the caller is left behind.
TEST(DetachedProcess, StartsAProgramWithoutLeavingAChild) {
  EXPECT_TRUE(startDetached({"true"}));
  errno = 0;
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
  EXPECT_FALSE(startDetached({"lumaro-no-such-program"}));
  EXPECT_FALSE(startDetached({}));
}

// The program leads a session of its own (it outlives the game's terminal) and its standard streams lead
// nowhere. It reports through a named pipe, whose opening waits for it: no timing involved.
TEST(DetachedProcess, TheProgramLeadsANewSessionWithItsStreamsOnDevNull) {
  TempFolder folder;
  const std::string pipe = (folder.path() / "report").string();
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  ASSERT_TRUE(startDetached({"sh", "-c",
                             "echo \"$$ $(cut -d' ' -f6 /proc/$$/stat) $(readlink /proc/$$/fd/0) "
                             "$(readlink /proc/$$/fd/1) $(readlink /proc/$$/fd/2)\" > \"$0\"",
                             pipe}));
  std::ifstream report(pipe);
  std::string pid, session, in, out, err;
  report >> pid >> session >> in >> out >> err;
  EXPECT_EQ(session, pid);
  EXPECT_EQ(in, "/dev/null");
  EXPECT_EQ(out, "/dev/null");
  EXPECT_EQ(err, "/dev/null");
}
#endif

}  // namespace
