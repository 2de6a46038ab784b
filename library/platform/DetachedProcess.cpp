#include "library/platform/DetachedProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

// A new session for the started program (so it outlives the game's terminal and process group) is a spawn
// attribute since glibc 2.26.
#ifndef POSIX_SPAWN_SETSID
#  error "POSIX_SPAWN_SETSID is missing: glibc 2.26 or later is needed"
#endif

// NOLINTNEXTLINE(readability-redundant-declaration): POSIX declares it in no header; glibc does so only for _GNU_SOURCE
extern char** environ;

namespace {

// The spawn attributes and file actions, made (and freed) in the calling process: posix_spawnp itself then
// allocates nothing, so the intermediate process may call it although the caller may run other threads.
struct SpawnSetup {
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_t actions;
  bool ready = false;

  SpawnSetup() {
    if (posix_spawnattr_init(&attributes) != 0) return;
    if (posix_spawn_file_actions_init(&actions) != 0) {
      posix_spawnattr_destroy(&attributes);
      return;
    }
    ready = posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID) == 0 &&
            posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDWR, 0) == 0 &&
            posix_spawn_file_actions_adddup2(&actions, STDIN_FILENO, STDOUT_FILENO) == 0 &&
            posix_spawn_file_actions_adddup2(&actions, STDIN_FILENO, STDERR_FILENO) == 0;
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
};

}  // namespace

bool startDetached(const std::vector<std::string>& command) {
  if (command.empty() || command[0].empty()) return false;
  SpawnSetup setup;
  if (!setup.ready) return false;
  std::vector<char*> arguments;
  arguments.reserve(command.size() + 1);
  for (const std::string& word : command) arguments.push_back(const_cast<char*>(word.c_str()));
  arguments.push_back(nullptr);

  // The program is started from a short-lived intermediate process, so it never becomes the caller's child
  // and no zombie is left behind: the system adopts it and reaps it. The intermediate process reports
  // whether the program could be started (found in PATH and executable) through its exit status.
  const pid_t intermediate = fork();
  if (intermediate < 0) return false;
  if (intermediate == 0) {
    pid_t program = 0;
    const int error =
        posix_spawnp(&program, arguments[0], &setup.actions, &setup.attributes, arguments.data(), environ);
    _exit(error == 0 ? 0 : 1);
  }
  int status = 0;
  pid_t waited = 0;
  do {
    waited = waitpid(intermediate, &status, 0);
  } while (waited < 0 && errno == EINTR);
  if (waited < 0) return true;  // a host that reaps every child itself got there first
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
