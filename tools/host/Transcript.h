// The session as it happens, written to a stream: each step as written, each line typed into the console,
// each line the console shows, and what the world does (the car crossing the line), all stamped with the
// game time since the start. A console line shown again and again back to back is written once, followed
// by how often it was repeated. Control bytes are written as escapes (\x1b), never as themselves.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <utility>

namespace lumaro_host {

class Transcript {
public:
  // elapsed: the game time since the start, in 100-ns ticks.
  Transcript(std::ostream& out, std::function<std::int64_t()> elapsed) : out_(out), elapsed_(std::move(elapsed)) {}

  void step(const std::string& text) { write("-- ", text); }
  void typed(const std::string& line) { write(">  ", line); }
  void event(const std::string& text) { write("*  ", text); }
  void console(const std::string& line);
  // Writes out a pending count of repeats; every other write does it first.
  void flush();

private:
  void write(const char* marker, const std::string& text);
  static std::string stamp(std::int64_t ticks);

  std::ostream& out_;
  std::function<std::int64_t()> elapsed_;
  std::string lastConsoleLine_;
  bool lastWasConsole_ = false;
  long repeats_ = 0;
  std::int64_t lastRepeat_ = 0;
};

}  // namespace lumaro_host
