#include "tools/host/StopSignals.h"

#include <atomic>
#include <csignal>
#include <initializer_list>

#if defined(_WIN32)
#  include <windows.h>
#endif

namespace lumaro_host {
namespace {

// Lock-free, so the handler's one store is safe in a signal handler.
std::atomic<int> requested{0};
static_assert(std::atomic<int>::is_always_lock_free);

#if defined(_WIN32)
BOOL WINAPI onConsoleEvent(DWORD event) {
  requested.store(event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? SIGINT : SIGTERM);
  // On a closing console the process ends when the handler returns: give the run time to clean up (the
  // process ends as soon as main returns, this thread with it).
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) Sleep(4000);
  return TRUE;
}
#else
extern "C" void onSignal(int signal) { requested.store(signal, std::memory_order_relaxed); }
#endif

}  // namespace

void watchStopSignals() {
#if defined(_WIN32)
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
#else
  // SIGHUP: the terminal lumaro-host runs in was closed.
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction action = {};
    sigaction(signal, nullptr, &action);
    if (action.sa_handler == SIG_IGN) continue;
    action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocked read returns, so the prompt and a piped scenario end
    sigaction(signal, &action, nullptr);
  }
#endif
}

int stopSignal() { return requested.load(std::memory_order_relaxed); }

const char* signalName(int signal) {
#if defined(SIGHUP)
  if (signal == SIGHUP) return "SIGHUP";
#endif
  return signal == SIGINT ? "SIGINT" : "SIGTERM";
}

void requestStop(int signal) { requested.store(signal, std::memory_order_relaxed); }

void stopIfAsked() {
  if (const int signal = stopSignal(); signal != 0) throw RunStopped{signal};
}

}  // namespace lumaro_host
