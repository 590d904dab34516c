// The verbs, one factory each.
#ifndef RECORDHAUL_CLI_COMMANDS_H_
#define RECORDHAUL_CLI_COMMANDS_H_

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "cli/command.h"

namespace rh::cli {

std::unique_ptr<Command> MakeListCommand();
std::unique_ptr<Command> MakeSampleCommand();
std::unique_ptr<Command> MakeExportCommand();
std::unique_ptr<Command> MakeRunCommand();
std::unique_ptr<Command> MakeTemplateCommand();
std::unique_ptr<Command> MakeDirsCommand();
std::unique_ptr<Command> MakePreviewCommand();
std::unique_ptr<Command> MakeMigrateCommand();

// Draws the main window over an installation into a PNG file; the window's
// toolkit supplies it, so the command line does not depend on the window.
using WindowPainter =
    std::function<Status(const Directories& dirs, const std::string& png_path)>;
std::unique_ptr<Command> MakeScreenshotCommand(WindowPainter painter);

}  // namespace rh::cli

#endif  // RECORDHAUL_CLI_COMMANDS_H_
