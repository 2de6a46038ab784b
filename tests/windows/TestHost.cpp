// The test host: a small program that loads the plugin library with the platform's loader, as the real
// host does, and checks what the host relies on. Cross-built as a Windows .exe it runs under Wine against
// Lumaro.dll; built natively it runs the same checks against the Linux library.
//
//   lumaro-testhost PLUGIN ROOT [--scenario GHOST_COPY]
//
// ROOT is emptied and used for the stand-in games' folders. --scenario also plays a recorded run, checks
// its transcript, its ghost file and the ghost folder opener, and copies the exported ghost file to
// GHOST_COPY for comparison between platforms.
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include "Checks.h"
#include "GhostScenario.h"
#include "PluginLoadCheck.h"

int main(int argc, char** argv) {
  const bool scenario = argc == 5 && std::string(argv[3]) == "--scenario";
  if (argc != 3 && !scenario) {
    std::cerr << "usage: lumaro-testhost PLUGIN ROOT [--scenario GHOST_COPY]\n";
    return 2;
  }
  const std::filesystem::path plugin = argv[1];
  const std::filesystem::path root = argv[2];
  Checks checks;
  try {
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);
    checkPluginLoad(plugin, root / "load", checks);
    if (scenario) runGhostScenario(plugin, root, argv[4], checks);
  } catch (const std::exception& error) {
    checks.fail(std::string("unexpected error: ") + error.what());
  }
  std::cout << (checks.failures() == 0 ? "all checks passed" : std::to_string(checks.failures()) + " check(s) failed")
            << std::endl;
  return checks.failures() == 0 ? 0 : 1;
}
