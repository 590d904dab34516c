#include "program/command_line_program.h"

#include <unistd.h>

#include "platform/memory_settings.h"
#ifdef RECORDHAUL_HAVE_QT_SETTINGS
#include "gui/qt_settings_store.h"
#endif

namespace rh {

int RunCommandLineProgram(const std::vector<std::string>& args,
                          std::vector<std::unique_ptr<cli::Command>> extra) {
#ifdef RECORDHAUL_HAVE_QT_SETTINGS
  auto settings = std::make_unique<QtSettingsStore>();
#else
  auto settings = std::make_unique<MemorySettings>();
#endif
  cli::Context ctx;
  ctx.settings = settings.get();
  ctx.err_is_terminal = ::isatty(STDERR_FILENO) != 0;
  return cli::RunCommandLine(args, ctx, std::move(extra));
}

}  // namespace rh
