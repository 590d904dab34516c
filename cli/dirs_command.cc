// recordhaul dirs [--data DIR] [--system DIR] [--programs DIR] [--if-unset]
#include <CLI/CLI.hpp>

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
  std::string_view synopsis() const override {
    return "usage: recordhaul dirs [--data DIR] [--system DIR] [--programs DIR] [--if-unset]\n";
  }

  void Define(CLI::App& app) override {
    app.description(
        "Without options prints the saved directories; with them saves the given\n"
        "ones (the others stay) in the settings the window uses too.");
    DefineDirectoryOptions(app, &dirs_);
    app.add_flag("--if-unset", if_unset_, "save only when no directory is saved yet");
  }

  int Run(Context& ctx) override {
    SettingsStore& settings = *ctx.settings;
    Directories dirs = ReadDirectories(settings);
    const bool any_saved = !dirs.data.empty() || !dirs.system.empty() || !dirs.programs.empty();
    if (dirs_.any() && !(if_unset_ && any_saved)) {
      if (dirs_.data) dirs.data = AbsolutePath(*dirs_.data);
      if (dirs_.system) dirs.system = AbsolutePath(*dirs_.system);
      if (dirs_.programs) dirs.programs = AbsolutePath(*dirs_.programs);
      if (Status s = WriteDirectories(settings, dirs); !s.ok()) return PrintError(ctx, s);
    }
    PrintLine(ctx, "Data files:     " + dirs.data);
    PrintLine(ctx, "System files:   " + dirs.system);
    PrintLine(ctx, "Program files:  " + dirs.programs);
    return kExitOk;
  }

 private:
  DirectoryOptions dirs_;
  bool if_unset_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeDirsCommand() { return std::make_unique<DirsCommand>(); }

}  // namespace rh::cli
