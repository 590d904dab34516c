// Interrupts during an export: SIGINT, SIGTERM and SIGHUP end the program
// only after the run has cleaned up.
#ifndef RECORDHAUL_CLI_STOP_SIGNALS_H_
#define RECORDHAUL_CLI_STOP_SIGNALS_H_

#include <csignal>

namespace rh::cli {

// While it lives, the first of these signals only sets flag(), which the
// console platform reports to the run as a stop request; the run then fails
// through the path every failure takes, which removes the temporary files
// (also those of the ODBC drivers, which no handler in this program could
// reach) and leaves the destination as it was. A second signal acts at
// once. When the guard ends, a signal it caught is raised again with the
// handling it replaced, so the program ends as the signal would have ended
// it. A signal ignored when the guard starts (nohup) stays ignored. One
// guard at a time.
class StopSignals {
 public:
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  const volatile std::sig_atomic_t* flag() const;

 private:
  static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
  struct sigaction previous_[3];
  bool installed_[3] = {};
};

}  // namespace rh::cli

#endif  // RECORDHAUL_CLI_STOP_SIGNALS_H_
