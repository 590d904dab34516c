#include "cli/commands.h"

namespace rh::cli {

std::vector<std::unique_ptr<Command>> AllCommands() {
  std::vector<std::unique_ptr<Command>> commands;
  commands.push_back(MakeListCommand());
  commands.push_back(MakeExportCommand());
  commands.push_back(MakePreviewCommand());
  commands.push_back(MakeRunCommand());
  commands.push_back(MakeMigrateCommand());
  commands.push_back(MakeTemplateCommand());
  commands.push_back(MakeDirsCommand());
  commands.push_back(MakeSampleCommand());
  return commands;
}

}  // namespace rh::cli
