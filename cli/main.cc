// recordhaul: the window without arguments, the command line with them.
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "cli/command.h"
#include "platform/console_platform.h"
#ifdef RECORDHAUL_HAVE_QT_SETTINGS
#include "platform/qt_settings_store.h"
#endif

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
#ifdef RECORDHAUL_HAVE_QT_SETTINGS
  auto settings = std::make_unique<rh::QtSettingsStore>();
#else
  auto settings = std::make_unique<rh::MemorySettings>();
#endif
  rh::cli::Context ctx;
  ctx.settings = settings.get();
  ctx.err_is_terminal = ::isatty(STDERR_FILENO) != 0;
  return rh::cli::RunCommandLine(args, ctx);
}
