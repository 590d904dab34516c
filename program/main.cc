// recordhaul: the window without arguments, the command line with them.
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/commands.h"
#include "platform/console_platform.h"
#ifdef RECORDHAUL_HAVE_QT_SETTINGS
#include "gui/qt_settings_store.h"
#endif
#ifdef RECORDHAUL_HAVE_WINDOW
#include "gui/export_app.h"
#include "gui/screenshot.h"
#endif

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  // For scripts: exit 0 when `recordhaul` alone would open the window.
  if (args.size() == 1 && args[0] == "--has-window") {
#ifdef RECORDHAUL_HAVE_WINDOW
    return rh::WindowSystemAvailable() ? 0 : 1;
#else
    return 1;
#endif
  }
#ifdef RECORDHAUL_HAVE_WINDOW
  if (args.empty()) {
    if (rh::WindowSystemAvailable()) return rh::RunWindowProgram(argc, argv);
    std::fputs("recordhaul: no display to open the window on; the command line works "
               "without one.\n\n",
               stderr);
  }
#else
  if (args.empty()) {
    std::fputs("recordhaul: this build has no window; the command line does everything.\n\n",
               stderr);
  }
#endif

#ifdef RECORDHAUL_HAVE_QT_SETTINGS
  auto settings = std::make_unique<rh::QtSettingsStore>();
#else
  auto settings = std::make_unique<rh::MemorySettings>();
#endif
  rh::cli::Context ctx;
  ctx.settings = settings.get();
  ctx.err_is_terminal = ::isatty(STDERR_FILENO) != 0;
  std::vector<std::unique_ptr<rh::cli::Command>> extra;
#ifdef RECORDHAUL_HAVE_WINDOW
  // The one verb that needs Qt's widgets; it draws without a display.
  extra.push_back(rh::cli::MakeScreenshotCommand(&rh::DrawWindowPicture));
#endif
  return rh::cli::RunCommandLine(args, ctx, std::move(extra));
}
