#include "GhostScenario.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sim/Game.h"
#include "sim/PluginLoader.h"

namespace {

bool hasLine(const std::vector<std::string>& lines, const std::string& wanted) {
  return std::find(lines.begin(), lines.end(), wanted) != lines.end();
}

bool hasLineStartingWith(const std::vector<std::string>& lines, const std::string& prefix) {
  return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
}

// Every line, the last one included, ends in CR LF, and no CR stands anywhere else.
bool crlfLinesOnly(const std::string& bytes) {
  if (bytes.size() < 2 || bytes.compare(bytes.size() - 2, 2, "\r\n") != 0) return false;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
    if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) return false;
  }
  return true;
}

// The car's path: locations whose hundredths sit on and near rounding boundaries (x.xx5, exact binary
// halves such as .125 and .375, tiny negatives), and rotations of both signs.
void driveLap(sim::Game& game) {
  for (int step = 0; step < 90; ++step) {
    const float i = static_cast<float>(step);
    const Vector location{-1234.567f + 3.125f * i, 250.005f - 0.375f * i, step == 7 ? -0.001f : 17.0125f + 0.01f * i};
    const Rotator rotation{-91 + 7 * step, 16384 - 45 * step, step % 3 - 1};
    game.placeCar(location, rotation);
    game.tick();
    // A pause in mid-lap: paused time is left out of the run's times.
    if (step == 40) {
      game.setPaused(true);
      game.runFor(0.75);
      game.setPaused(false);
    }
  }
}

}  // namespace

void runGhostScenario(const std::filesystem::path& plugin, const std::filesystem::path& root,
                      const std::filesystem::path& ghostCopy, Checks& checks) {
  sim::Game game(root);
  sim::Console& console = game.console();
  sim::LoadedPlugin loaded(std::filesystem::absolute(plugin), game);

  game.loadMap(sim::workshopMap("CrossCheck"));
  game.runFor(0.5);
  console.execute("lm_lapNbr 1");
  console.execute("lm_export_filename CrossCheck");
  console.execute("lm_record");
  game.placeCar(Vector{-1240.0f, 250.0f, 17.0f}, Rotator{});
  game.runTicks(3);
  game.crossStartLine();
  driveLap(game);
  game.crossStartLine();
  game.runTicks(5);
  console.execute("lm_export");
  console.execute("lm_ghostfilepath CrossCheck.ghost");
  game.runFor(0.5);
  loaded.unload();

  const std::vector<std::string>& lines = console.lines();
  checks.expect(hasLineStartingWith(lines, "Race ended in "), "the race finishes");
  checks.expect(hasLine(lines, "Exported to ./tessaro/data/Ghosts/CrossCheck.ghost."), "the run is exported");
  checks.expect(hasLine(lines, "Imported CrossCheck.ghost."), "selecting the ghost imports it");

  std::ofstream transcript(ghostCopy.string() + ".console", std::ios::binary);
  for (const std::string& line : lines) transcript << line << '\n';

  std::ifstream ghost(game.ghostFolder() / "CrossCheck.ghost", std::ios::binary);
  if (!checks.expect(ghost.good(), "the ghost file exists")) return;
  const std::string bytes{std::istreambuf_iterator<char>(ghost), std::istreambuf_iterator<char>()};
  checks.expect(bytes.rfind("CrossCheck,Player,", 0) == 0, "the header names the map and the player");
  checks.expect(crlfLinesOnly(bytes), "every line of the ghost file ends in CR LF");
  std::ofstream(ghostCopy, std::ios::binary) << bytes;
}
