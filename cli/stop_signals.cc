#include "cli/stop_signals.h"

#include <cstdio>

namespace rh::cli {

namespace {

volatile std::sig_atomic_t g_caught = 0;  // the signal number, or 0

void Catch(int signal) { g_caught = signal; }

}  // namespace

StopSignals::StopSignals() {
  g_caught = 0;
  struct sigaction catcher {};
  catcher.sa_handler = Catch;
  sigemptyset(&catcher.sa_mask);
  // SA_RESETHAND: the second signal finds the default handling again.
  catcher.sa_flags = SA_RESTART | SA_RESETHAND;
  for (int i = 0; i < 3; ++i) {
    if (::sigaction(kSignals[i], nullptr, &previous_[i]) != 0) continue;
    if (previous_[i].sa_handler == SIG_IGN) continue;
    installed_[i] = ::sigaction(kSignals[i], &catcher, nullptr) == 0;
  }
}

StopSignals::~StopSignals() {
  for (int i = 0; i < 3; ++i)
    if (installed_[i]) ::sigaction(kSignals[i], &previous_[i], nullptr);
  if (const int signal = g_caught; signal != 0) {
    g_caught = 0;
    std::fflush(nullptr);  // what the run printed, before the signal ends us
    std::raise(signal);
  }
}

const volatile std::sig_atomic_t* StopSignals::flag() const { return &g_caught; }

}  // namespace rh::cli
