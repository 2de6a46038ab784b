// Ctrl-C, SIGTERM and SIGHUP (on Windows, Ctrl-C, Ctrl-Break and the console's closing) end a run the way its end
// does: the handler only notes which signal came; the session sees it at its next game tick and unwinds,
// so the plugin is unloaded and the temporary game root removed by the code that removes them anyway.
#pragma once

namespace lumaro_host {

// Installs the handlers. A signal ignored when the program started (a run in the background of a script)
// stays ignored. Blocking reads are not resumed after a signal: an interactive prompt ends at once.
void watchStopSignals();

// The signal that asked the run to stop (SIGINT, SIGTERM, SIGHUP), or 0.
int stopSignal();
// "SIGINT", "SIGTERM" or "SIGHUP".
const char* signalName(int signal);
// What the handler does: notes the signal (tests ask for a stop this way). 0 takes the request back.
void requestStop(int signal);

// Thrown at a game tick once a stop was asked for. Not a std::exception, so nothing that contains errors
// (a chaos run's check for errors escaping into the host) takes it for one.
struct RunStopped {
  int signal;
};
// Throws RunStopped when a stop was asked for.
void stopIfAsked();

}  // namespace lumaro_host
