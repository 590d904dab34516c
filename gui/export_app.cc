#include "gui/export_app.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "gui/export_dlg.h"
#include "gui/program_icon.h"
#include "gui/qt_settings_store.h"

namespace rh {

namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// Plugins that draw into memory: a window there could never be used.
bool ShowsNothing(std::string_view platform) {
  return platform.starts_with("offscreen") || platform.starts_with("minimal");
}

}  // namespace

bool WindowSystemAvailable() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform != nullptr && ShowsNothing(platform)) return false;
  if (!Set("QT_QPA_PLATFORM") && !Set("DISPLAY") && !Set("WAYLAND_DISPLAY")) return false;

  std::fflush(nullptr);
  const pid_t child = ::fork();
  if (child < 0) return true;  // cannot tell: let Qt try
  if (child == 0) {
    // Qt explains a failed plugin at length; the parent says it shorter.
    int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) {
      ::dup2(null, STDOUT_FILENO);
      ::dup2(null, STDERR_FILENO);
    }
    int argc = 1;
    char name[] = "recordhaul";
    char* argv[] = {name, nullptr};
    QGuiApplication probe(argc, argv);
    ::_exit(0);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

CExportApp::CExportApp()
    : owned_platform_(std::make_unique<QtPlatform>()), platform_(owned_platform_.get()) {}

CExportApp::CExportApp(QtPlatform* platform) : platform_(platform) {}

CExportApp::~CExportApp() = default;

int CExportApp::Run() {
  // The settings root: the company key, then the program's name.
  QCoreApplication::setOrganizationName(kSettingsOrganization);
  QCoreApplication::setApplicationName(kSettingsApplication);
  QGuiApplication::setWindowIcon(ProgramIcon());

  CExportDlg window(&state_, platform_);
  window_ = &window;
  if (window.Initialise()) window.exec();
  window_ = nullptr;
  return 0;
}

int RunWindowProgram(int argc, char** argv) {
  QApplication application(argc, argv);
  QGuiApplication::setDesktopFileName("recordhaul");
  CExportApp app;
  return app.Run();
}

}  // namespace rh
