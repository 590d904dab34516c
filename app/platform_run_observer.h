// PlatformRunObserver: an export run's questions, progress and wait cursor,
// passed on to the Platform of the window or the command line.
#ifndef RECORDHAUL_APP_PLATFORM_RUN_OBSERVER_H_
#define RECORDHAUL_APP_PLATFORM_RUN_OBSERVER_H_

#include "export/run_observer.h"
#include "platform/platform.h"

namespace rh {

class PlatformRunObserver : public RunObserver {
 public:
  explicit PlatformRunObserver(Platform& ui) : ui_(ui) {}

  Answer Ask(MessageId id) override { return ui_.Show(id); }
  void ProgressCreate() override { ui_.ProgressCreate(); }
  void ProgressSetPercent(int percent) override { ui_.ProgressSetPercent(percent); }
  void ProgressDestroy() override { ui_.ProgressDestroy(); }
  void BeginWaitCursor() override { ui_.BeginWaitCursor(); }
  void EndWaitCursor() override { ui_.EndWaitCursor(); }
  bool StopRequested() override { return ui_.StopRequested(); }

 private:
  Platform& ui_;
};

}  // namespace rh

#endif  // RECORDHAUL_APP_PLATFORM_RUN_OBSERVER_H_
