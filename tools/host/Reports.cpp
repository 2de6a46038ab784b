#include "tools/host/Reports.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string_view>
#include <system_error>
#include <utility>

#include "host/HostClock.h"
#include "host/Values.h"
#include "library/ghostfile/GhostFileRead.h"
#include "library/ghostfile/GhostFormat.h"
#include "library/ghostfile/GhostFrame.h"
#include "library/ghostfile/ImportMessages.h"
#include "library/ghostfile/LineReader.h"
#include "library/platform/PathText.h"
#include "library/platform/RegularFileReader.h"
#include "sim/Console.h"
#include "sim/KismetWords.h"
#include "tools/ghost/text/TextEscapes.h"
#include "tools/host/PageView.h"
#include "tools/host/TextMatcher.h"

namespace fs = std::filesystem;

namespace lumaro_host {

std::optional<std::vector<std::string>> readLines(const fs::path& file) {
  std::error_code error;
  if (!fs::is_regular_file(file, error)) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  return lines;
}

std::string shownPath(const fs::path& path) {
  std::error_code error;
  const fs::path here = fs::current_path(error);
  if (error || !path.is_absolute()) return utf8FromPath(path);
  const fs::path relative = path.lexically_proximate(here);
  const auto first = relative.begin();
  if (relative.is_absolute() || relative.empty() || (first != relative.end() && *first == ".."))
    return utf8FromPath(path);
  return utf8FromPath(relative);
}

std::string floatText(float value) {
  // The shortest digits that read back as the same float, in the look of %g with at least six of them
  // (40000, not 4e+04; 1e+06 as %g writes it).
  char text[48];
  const auto shortest = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
  const char* begin = text;
  const char* end = shortest.ptr;
  const char* mantissaEnd = std::find(begin, end, 'e');
  const auto digits = std::count_if(begin, mantissaEnd, [](char c) { return c >= '0' && c <= '9'; });
  const auto general =
      std::to_chars(text, text + sizeof text, value, std::chars_format::general, std::max(6, static_cast<int>(digits)));
  return std::string(text, general.ptr);
}

std::string millisecondsText(std::int64_t ticks) {
  char text[48];
  std::snprintf(text, sizeof text, "%.4f", Tessaro::millisecondsOfTicks(ticks));
  std::string result = text;
  while (result.back() == '0') result.pop_back();
  if (result.back() == '.') result.pop_back();
  return result;
}

std::string describeVariable(const sim::KismetVariable& variable) {
  std::string value;
  switch (variable.type) {
    case sim::VariableType::Int: value = std::to_string(variable.intValue); break;
    case sim::VariableType::Bool: value = sim::kismetWords::boolWord(variable.intValue != 0); break;
    case sim::VariableType::Float: value = floatText(variable.floatValue); break;
    case sim::VariableType::String: value = inQuotes(variable.stringValue); break;
    case sim::VariableType::Vector:
      value = floatText(variable.vectorValue.X) + " " + floatText(variable.vectorValue.Y) + " " +
              floatText(variable.vectorValue.Z);
      break;
  }
  return variable.name + " (" + sim::typeName(variable.type) + ") = " + value;
}

void writePage(std::ostream& out, sim::Game& game, bool raw) {
  const auto& lines = game.shownPage();
  if (!lines) {
    out << "The host has not shown the plugin's settings page (" << shownPath(game.settingsPage()) << ").\n";
    return;
  }
  if (raw) {
    out << "Settings page " << shownPath(game.settingsPage()) << ":\n";
    for (const auto& line : *lines) out << "  " << line << '\n';
    return;
  }
  out << "Settings page, as the player sees it (" << shownPath(game.settingsPage()) << "; --raw prints its lines):\n";
  const sim::Console& console = game.console();
  for (const auto& row : pageRows(*lines, [&](const std::string& name) { return console.valueOf(name); })) {
    out << "  " << row << '\n';
  }
}

namespace {

// A ghost file read as the plugin reads it: the frames the import loads, where it stops, and the header line
// the page reads.
std::string describeGhostFile(const fs::path& file) {
  std::vector<GhostFrame> frames;
  const GhostFileRead read = readGhostFile(file, frames);
  RegularFileReader in(file);
  if (!read.opened || !in.isOpen()) return "  (not a file)";
  std::string text = "  " + std::to_string(in.size()) + " bytes, " + std::to_string(frames.size()) +
                     (frames.size() == 1 ? " frame" : " frames");
  const std::optional<std::size_t> stop =
      read.report.badLine ? std::optional(read.report.badLine->lineNumber) : read.report.tooLongLine;
  if (stop) text += " (the import stops at line " + std::to_string(*stop) + ")";
  const std::optional<std::string> header = readFirstLine(in.stream(), ghostLineLimit);
  if (header) return text + "  " + lumaro_ghost::terminalText(*header);
  if (in.size() > 0) text += "  (its first line is " + longHeaderReason() + ")";
  return text;
}

}  // namespace

void writeGhostListing(std::ostream& out, const sim::Game& game) {
  const fs::path folder = game.ghostFolder();
  std::error_code error;
  if (!fs::is_directory(folder, error)) {
    out << "There is no ghost folder (" << shownPath(folder) << ").\n";
    return;
  }
  std::vector<fs::directory_entry> entries;
  for (const auto& entry : fs::directory_iterator(folder, error)) entries.push_back(entry);
  std::sort(entries.begin(), entries.end());
  out << "Ghost folder " << shownPath(folder) << ": " << entries.size() << (entries.size() == 1 ? " file" : " files")
      << '\n';
  for (const auto& entry : entries) {
    // Names and header lines of shared files: their control bytes reach the terminal only as escapes.
    out << "  " << lumaro_ghost::terminalText(utf8FromPath(entry.path().filename())) << describeGhostFile(entry.path())
        << '\n';
  }
}

void writeKismet(std::ostream& out, sim::Game& game) {
  const sim::KismetSequence* sequence = game.mainSequence();
  if (sequence == nullptr) {
    out << (game.mapName().empty() ? "No map is loaded" : game.mapName() + " has no main Kismet sequence") << ".\n";
    return;
  }
  out << "Kismet variables of " << game.mapName() << ":\n";
  for (const auto& variable : sequence->variables()) out << "  " << describeVariable(*variable) << '\n';
}

void writeCar(std::ostream& out, sim::Game& game, const sim::Driver* driver) {
  const sim::Car* car = game.car();
  if (car == nullptr) {
    out << "There is no car.\n";
    return;
  }
  out << "Car at " << floatText(car->location.X) << " " << floatText(car->location.Y) << " "
      << floatText(car->location.Z) << ", pitch " << car->rotation.Pitch << " yaw " << car->rotation.Yaw << " roll "
      << car->rotation.Roll;
  if (driver != nullptr) {
    char text[128];
    std::snprintf(text, sizeof text, "; %.1f units along the track, %d crossings of the line", driver->distance(),
                  driver->crossings());
    out << text;
  }
  out << (game.paused() ? "; the game is paused" : "") << ".\n";
}

void writeCvars(std::ostream& out, sim::Game& game) {
  for (const auto& variable : game.console().variables()) {
    out << "  " << variable->name << " = " << inQuotes(variable->value) << '\n';
  }
}

void writeTraceCsv(std::ostream& out, const sim::Game& game, std::int64_t start) {
  out << "time_ms,variable,x,y,z,value\n";
  for (const auto& write : game.kismetWrites()) {
    out << millisecondsText(write.time - start) << ',' << write.variable << ',';
    if (write.type == sim::VariableType::Vector) {
      out << floatText(write.vectorValue.X) << ',' << floatText(write.vectorValue.Y) << ','
          << floatText(write.vectorValue.Z) << ",\n";
    } else {
      out << ",,," << floatText(write.floatValue) << '\n';
    }
  }
}

}  // namespace lumaro_host
