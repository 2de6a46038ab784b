// Starts a program on its own, on POSIX systems: no shell, no waiting for it, and no zombie left behind
// (it is started from a short-lived intermediate process, so it never becomes the caller's child).
#pragma once

#include <string>
#include <vector>

// command[0] is the program, looked up in PATH unless it holds a slash; the rest are its arguments. True
// when the program was found and handed over for starting; its own outcome is not awaited.
bool startDetached(const std::vector<std::string>& command);
