// recordhaul: the command line, and with no arguments the window (run by
// the window program, so that the command line never loads its toolkit).
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "program/command_line_program.h"
#include "program/window_program.h"

#ifdef RECORDHAUL_WINDOW_PROGRAM_RELATIVE
namespace {

// The window program could not be run (`why` says why): the window cannot
// open, and the command line says what it can do instead.
int WithoutWindow(const std::vector<std::string>& args, const std::string& why) {
  if (!args.empty() && args[0] == "--has-window") return 1;
  std::fprintf(stderr, "recordhaul: the window program could not be started: %s\n\n",
               why.c_str());
  if (!args.empty()) return 1;  // the screenshot verb
  return rh::RunCommandLineProgram(args, {});
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (rh::NeedsWindowProgram(args)) {
    const std::string program = rh::FindWindowProgram(RECORDHAUL_WINDOW_PROGRAM_RELATIVE);
    if (program.empty()) return WithoutWindow(args, "recordhaul-window is missing");
    return WithoutWindow(args, program + ": " + rh::ExecWindowProgram(program, argv));
  }
  // The screenshot verb is listed and explained here too; only the window
  // program draws, and it is run for the verb above.
  std::vector<std::unique_ptr<rh::cli::Command>> extra;
  extra.push_back(rh::cli::MakeScreenshotCommand([](const rh::Directories&, const std::string&) {
    return rh::Status::Io(ENOENT, "recordhaul-window is missing");
  }));
  return rh::RunCommandLineProgram(args, std::move(extra));
}

#else  // a build without the window

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--has-window") return 1;
  if (args.empty()) {
    std::fputs("recordhaul: this build has no window; the command line does everything.\n\n",
               stderr);
  }
  return rh::RunCommandLineProgram(args, {});
}

#endif
