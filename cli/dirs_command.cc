// recordhaul dirs [--data DIR] [--system DIR] [--programs DIR] [--if-unset]
#include "app/settings.h"
#include "cli/choices.h"
#include "cli/command.h"
#include "cli/commands.h"

namespace rh::cli {

namespace {

class DirsCommand : public Command {
 public:
  std::string_view name() const override { return "dirs"; }
  std::string_view summary() const override { return "show or save the Tallyvane directories"; }
  std::string_view usage() const override {
    return "usage: recordhaul dirs [--data DIR] [--system DIR] [--programs DIR] [--if-unset]\n"
           "\n"
           "Without options prints the saved directories; with them saves the given\n"
           "ones (the others stay) in the settings the window uses too.\n"
           "\n"
           "  --data DIR       data files directory (company registers and data files)\n"
           "  --system DIR     system files directory (data dictionary, path table)\n"
           "  --programs DIR   program files directory\n"
           "  --if-unset       save only when no directory is saved yet\n";
  }

  int Run(const std::vector<std::string>& argv, Context& ctx) override {
    std::vector<OptionSpec> options = kDirectoryOptions;
    options.push_back({"if-unset", false});
    int code = 0;
    auto args = ParseArgs(ctx, *this, argv, options, &code);
    if (!args) return code;
    if (!args->positionals().empty()) return PrintUsageError(ctx, *this, "unexpected arguments");
    SettingsStore& settings = *ctx.settings;
    Directories dirs = ReadDirectories(settings);
    const bool any_saved = !dirs.data.empty() || !dirs.system.empty() || !dirs.programs.empty();
    const bool change = args->Has("data") || args->Has("system") || args->Has("programs");
    if (change && !(args->Has("if-unset") && any_saved)) {
      if (auto v = args->Value("data")) dirs.data = AbsolutePath(*v);
      if (auto v = args->Value("system")) dirs.system = AbsolutePath(*v);
      if (auto v = args->Value("programs")) dirs.programs = AbsolutePath(*v);
      if (Status s = WriteDirectories(settings, dirs); !s.ok()) return PrintError(ctx, s);
    }
    PrintLine(ctx, "Data files:     " + dirs.data);
    PrintLine(ctx, "System files:   " + dirs.system);
    PrintLine(ctx, "Program files:  " + dirs.programs);
    return kExitOk;
  }
};

}  // namespace

std::unique_ptr<Command> MakeDirsCommand() { return std::make_unique<DirsCommand>(); }

}  // namespace rh::cli
