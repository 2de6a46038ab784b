#include "library/DetachedProcess.h"

#include <cerrno>
#include <cstdlib>
#include <string_view>

#include <fcntl.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::string findProgram(const std::string& name) {
  if (name.empty()) return {};
  if (name.find('/') != std::string::npos) return access(name.c_str(), X_OK) == 0 ? name : std::string();
  const char* searchPath = std::getenv("PATH");
  std::string_view folders = searchPath != nullptr ? searchPath : "/usr/local/bin:/usr/bin:/bin";
  while (true) {
    const std::size_t colon = folders.find(':');
    const std::string_view folder = folders.substr(0, colon);
    std::string candidate = folder.empty() ? std::string(".") : std::string(folder);
    candidate += '/';
    candidate += name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    if (colon == std::string_view::npos) return {};
    folders.remove_prefix(colon + 1);
  }
}

}  // namespace

bool startDetached(const std::vector<std::string>& command) {
  if (command.empty()) return false;
  // Everything the children need is made before forking: between fork and exec only async-signal-safe
  // calls are allowed in a process that may run other threads.
  const std::string program = findProgram(command[0]);
  if (program.empty()) return false;
  std::vector<char*> arguments;
  arguments.reserve(command.size() + 1);
  for (const std::string& word : command) arguments.push_back(const_cast<char*>(word.c_str()));
  arguments.push_back(nullptr);

  const pid_t intermediate = fork();
  if (intermediate < 0) return false;
  if (intermediate == 0) {
    const pid_t browser = fork();
    if (browser == 0) {
      setsid();
      const int nothing = open("/dev/null", O_RDWR);
      if (nothing >= 0) {
        dup2(nothing, STDIN_FILENO);
        dup2(nothing, STDOUT_FILENO);
        dup2(nothing, STDERR_FILENO);
      }
      execve(program.c_str(), arguments.data(), environ);
      _exit(127);
    }
    _exit(browser < 0 ? 1 : 0);
  }
  // The intermediate process exits as soon as it has forked, so this wait is short; the program it started
  // is adopted by the system and reaped there.
  int status = 0;
  pid_t waited = 0;
  do {
    waited = waitpid(intermediate, &status, 0);
  } while (waited < 0 && errno == EINTR);
  if (waited < 0) return true;  // a host that reaps every child itself got there first
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
