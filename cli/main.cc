// recordhaul: the window without arguments, the command line with them.
#include <unistd.h>

#include <string>
#include <vector>

#include "cli/command.h"
#include "platform/console_platform.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  rh::MemorySettings settings;  // replaced by the saved settings store
  rh::cli::Context ctx;
  ctx.settings = &settings;
  ctx.err_is_terminal = ::isatty(STDERR_FILENO) != 0;
  return rh::cli::RunCommandLine(args, ctx);
}
