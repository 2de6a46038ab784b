// A lumaro-host session for fault tests: the built plugin loaded through its exports on the stand-in host, in
// a fresh game root, steps given as scenario lines, and what the tests look at afterwards (new console lines,
// a ghost file's bytes).
#pragma once

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/Console.h"
#include "sim/Game.h"
#include "support/TempFolder.h"
#include "tools/host/Script.h"
#include "tools/host/Session.h"

class FaultSession {
public:
  FaultSession() {
    lumaro_host::SessionSettings settings;
    settings.root = root_.path();
    settings.plugin = LUMARO_PLUGIN_PATH;
    settings.mapsFolder = LUMARO_MAPS_FOLDER;
    session_ = std::make_unique<lumaro_host::Session>(settings, transcript_);
  }
  ~FaultSession() { session_->unloadPlugin(); }

  // Runs each line; a step the game refuses fails the test.
  void run(std::initializer_list<std::string> lines) {
    for (const std::string& line : lines) {
      const lumaro_host::ParsedLine parsed = lumaro_host::parseStep(line, ++lineNumber_);
      ASSERT_TRUE(parsed.step.has_value()) << line << ": " << parsed.error;
      const lumaro_host::StepOutcome outcome = session_->run(*parsed.step, root_.path());
      ASSERT_TRUE(outcome.ok) << line << ": " << outcome.seen;
    }
  }

  // Console lines since the last call.
  std::vector<std::string> newLines() {
    const auto& lines = game().console().lines();
    std::vector<std::string> fresh(lines.begin() + static_cast<std::ptrdiff_t>(seen_), lines.end());
    seen_ = lines.size();
    return fresh;
  }
  // Whether any console line so far reports an error that the plugin's callback guard caught.
  bool guardReported() const {
    return std::ranges::any_of(session_->game().console().lines(), [](const std::string& line) {
      return line.find(" stopped on an error: ") != std::string::npos;
    });
  }

  sim::Game& game() { return session_->game(); }
  lumaro_host::Session& session() { return *session_; }
  std::filesystem::path ghost(const std::string& name) { return game().ghostFolder() / name; }
  static std::string bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::string page() { return bytes(game().settingsPage()); }

private:
  TempFolder root_;
  std::ostringstream transcript_;
  std::unique_ptr<lumaro_host::Session> session_;
  int lineNumber_ = 0;
  std::size_t seen_ = 0;
};
