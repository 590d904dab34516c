// recordhaul-window: the window without arguments, the command line with
// them; the screenshot verb draws the window. `recordhaul` runs it for
// these, and it can be run by itself.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "gui/export_app.h"
#include "gui/screenshot.h"
#include "program/command_line_program.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  // For scripts: exit 0 when `recordhaul` alone would open the window.
  if (args.size() == 1 && args[0] == "--has-window") return rh::WindowSystemAvailable() ? 0 : 1;
  if (args.empty()) {
    if (rh::WindowSystemAvailable()) return rh::RunWindowProgram(argc, argv);
    std::fputs("recordhaul: no display to open the window on; the command line works "
               "without one.\n\n",
               stderr);
  }
  std::vector<std::unique_ptr<rh::cli::Command>> extra;
  // The one verb that needs Qt's widgets; it draws without a display.
  extra.push_back(rh::cli::MakeScreenshotCommand(&rh::DrawWindowPicture));
  return rh::RunCommandLineProgram(args, std::move(extra));
}
