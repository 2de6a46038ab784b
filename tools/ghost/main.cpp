// lumaro-ghost: inspect, check, compare and draw ghost files. Everything but this entry is a library, so the
// tool's own tests drive the same code.
#include <iostream>
#include <string>
#include <vector>

#include "tools/ghost/GhostTool.h"

int main(int argc, char** argv) {
  return lumaro_ghost::runGhostTool(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
