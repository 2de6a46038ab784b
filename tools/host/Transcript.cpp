#include "tools/host/Transcript.h"

#include <cstdio>

#include "host/HostClock.h"
#include "tools/ghost/text/TextEscapes.h"

namespace lumaro_host {

std::string Transcript::stamp(std::int64_t ticks) {
  char text[32];
  std::snprintf(text, sizeof text, "[%9.3f] ", Tessaro::secondsOfTicks(ticks));
  return text;
}

void Transcript::console(const std::string& line) {
  if (lastWasConsole_ && line == lastConsoleLine_) {
    ++repeats_;
    lastRepeat_ = elapsed_();
    return;
  }
  write("   ", line);
  lastConsoleLine_ = line;
  lastWasConsole_ = true;
}

void Transcript::flush() {
  if (repeats_ > 0) {
    out_ << stamp(lastRepeat_) << "   (the line above " << repeats_ << (repeats_ == 1 ? " more time" : " more times")
         << ")\n";
    repeats_ = 0;
  }
  out_.flush();
}

void Transcript::write(const char* marker, const std::string& text) {
  flush();
  lastWasConsole_ = false;
  // A step or console line may quote what a shared ghost or map file holds: its control bytes are escapes.
  out_ << stamp(elapsed_()) << marker << lumaro_ghost::terminalText(text) << '\n' << std::flush;
}

}  // namespace lumaro_host
