#include <cerrno>
#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "sim/Console.h"
#include "sim/Game.h"

#if !defined(_WIN32)
#  include <sys/stat.h>
#  include <sys/wait.h>

#  include <fstream>
#  include <string>

#  include "library/platform/DetachedProcess.h"
#  include "support/TempFolder.h"
#endif
#include "library/platform/FolderOpener.h"
#include "library/platform/PathText.h"
#include "sim/PluginLoader.h"
#include "support/PluginHarness.h"

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
