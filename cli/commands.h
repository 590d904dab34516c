// The verbs, one factory each.
#ifndef RECORDHAUL_CLI_COMMANDS_H_
#define RECORDHAUL_CLI_COMMANDS_H_

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

// A data file number of the module, as the catalog lists it.
std::optional<int> ParseFileNumber(const std::string& text, int module);

}  // namespace rh::cli

#endif  // RECORDHAUL_CLI_COMMANDS_H_
