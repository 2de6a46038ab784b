// lumaro-host's picture of a scenario: the recorded run is A and its challenge B, as lumaro-ghost compares
// them, and the ghost car's path is drawn on the panel of the ghost it replayed, and nowhere else.
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "support/TempFolder.h"
#include "tools/ghost/picture/ScenarioPicture.h"
#include "tools/host/Script.h"
#include "tools/host/Session.h"

TEST(HostScenarioPicture, TheRecordedRunIsAItsChallengeBAndTheGhostCarIsDrawnWithTheGhostItReplayed) {
  TempFolder root;
  lumaro_host::SessionSettings settings;
  settings.root = root.path();
  settings.plugin = LUMARO_PLUGIN_PATH;
  settings.mapsFolder = LUMARO_MAPS_FOLDER;
  std::ostringstream transcript;
  lumaro_host::Session session(settings, transcript);
  // The challenge is exported under a name that sorts before the recorded run's.
  for (const char* line :
       {"map speedway", "wait 1", "console lm_lapNbr 1", "console lm_export_filename Zed", "console lm_record",
        "drive 1 lap lap-time 10", "console lm_export", "console lm_ghostfilepath Zed.ghost", "respawn", "wait 1",
        "console lm_challenge", "drive 1 lap lap-time 9.8", "console lm_export_filename Abe", "console lm_export"}) {
    const lumaro_host::ParsedLine parsed = lumaro_host::parseStep(line, 1);
    ASSERT_TRUE(parsed.step) << line;
    ASSERT_TRUE(session.run(*parsed.step, root.path()).ok) << line;
  }
  const auto file = root.path() / "scenario.svg";
  ASSERT_EQ(lumaro_ghost::writeScenarioPicture(file, session.game(), session.driver(), "s", session.consoleLines()),
            "");
  std::ostringstream svg;
  svg << std::ifstream(file).rdbuf();
  const std::string text = svg.str();
  const std::size_t a = text.find(">A: Zed.ghost</text>"), b = text.find(">B: Abe.ghost</text>");
  ASSERT_NE(a, std::string::npos);
  ASSERT_NE(b, std::string::npos);
  ASSERT_LT(a, b);
  auto ghostCarPieces = [&](std::size_t from, std::size_t to) {
    std::size_t count = 0;
    for (std::size_t at = text.find("<polyline", from); at < to; at = text.find("<polyline", at + 1)) {
      const std::string element = text.substr(at, text.find("/>", at) - at);
      if (element.find(R"(stroke-dasharray="10 7")") != std::string::npos) ++count;
    }
    return count;
  };
  EXPECT_EQ(ghostCarPieces(a, b), 1u);
  EXPECT_EQ(ghostCarPieces(b, text.size()), 0u);
}
