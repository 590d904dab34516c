// CExportApp: the program in window mode. It sets the settings root,
// creates the main export window, initialises it and runs it modally; when
// the window closes the program ends.
#ifndef RECORDHAUL_GUI_EXPORT_APP_H_
#define RECORDHAUL_GUI_EXPORT_APP_H_

#include <memory>

#include "app/export_state.h"
#include "gui/qt_platform.h"

namespace rh {

class CExportDlg;

// Whether the window can be shown: Qt's platform plugin starts on a real
// display. The offscreen and minimal plugins show nothing, so they count as
// none. A plugin that cannot start ends the process that tries it, so the
// start is tried in a child process.
bool WindowSystemAvailable();

class CExportApp {
 public:
  // With the user's settings and real dialogs.
  CExportApp();
  // With `platform` (settings and test seam); it must outlive the app.
  explicit CExportApp(QtPlatform* platform);
  ~CExportApp();

  CExportApp(const CExportApp&) = delete;
  CExportApp& operator=(const CExportApp&) = delete;

  // Runs the window to its end; needs a QApplication. Returns the exit
  // code: 0, also when the directories dialog was cancelled at start-up.
  int Run();

  // The window while Run() runs, else null.
  CExportDlg* window() const { return window_; }
  ExportState& state() { return state_; }

 private:
  std::unique_ptr<QtPlatform> owned_platform_;
  QtPlatform* platform_;
  ExportState state_;
  CExportDlg* window_ = nullptr;
};

// `recordhaul` without arguments on a display: a QApplication and the app.
int RunWindowProgram(int argc, char** argv);

}  // namespace rh

#endif  // RECORDHAUL_GUI_EXPORT_APP_H_
