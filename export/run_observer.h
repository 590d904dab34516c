// RunObserver: how an export run reaches whoever started it — the question
// before an existing destination is replaced or appended to, the progress
// of the records read and the wait cursor of the table exports. The window
// and the command line answer through their Platform; tests script it.
#ifndef RECORDHAUL_EXPORT_RUN_OBSERVER_H_
#define RECORDHAUL_EXPORT_RUN_OBSERVER_H_

#include "base/messages.h"

namespace rh {

class RunObserver {
 public:
  virtual ~RunObserver() = default;

  // Asks the catalog's question `id` and returns the answer.
  virtual Answer Ask(MessageId id) = 0;

  // Created at 0%, moved once per record read, destroyed at the end.
  virtual void ProgressCreate() = 0;
  virtual void ProgressSetPercent(int percent) = 0;
  virtual void ProgressDestroy() = 0;

  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;

  // Whether the user asked the run to stop (on the command line: a signal);
  // the run then ends as a failure and keeps nothing.
  virtual bool StopRequested() { return false; }
};

}  // namespace rh

#endif  // RECORDHAUL_EXPORT_RUN_OBSERVER_H_
