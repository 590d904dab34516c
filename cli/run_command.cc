// recordhaul run TEMPLATE.xdf [dirs] [--dest PATH] [--overwrite | --append] [--typed] [--quiet]
#include "app/export_command.h"
#include "app/template_commands.h"
#include "cli/choices.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "cli/run_report.h"
#include "cli/stop_signals.h"

namespace rh::cli {

namespace {

class RunCommand : public Command {
 public:
  std::string_view name() const override { return "run"; }
  std::string_view summary() const override { return "run the export an .xdf template describes"; }
  std::string_view usage() const override {
    return "usage: recordhaul run TEMPLATE.xdf [--data DIR --system DIR --programs DIR]\n"
           "                      [--dest PATH] [--overwrite | --append] [--typed] [--quiet]\n"
           "\n"
           "Opens the template as the window's Open Template does and runs its export.\n"
           "\n"
           "  --dest PATH   export here instead of the template's destination; a\n"
           "                relative path is relative to the current directory\n"
           "  --overwrite   replace an existing destination\n"
           "  --append      append to an existing text destination\n"
           "  --typed       types 8-10: dates as date columns (empty where a day number\n"
           "                has no date) and texts without trailing blanks\n"
           "  --quiet       no progress bar\n"
           "\n"
           "The directories default to the saved ones ('recordhaul dirs'). Prints\n"
           "'Records Exported:  N' and exits 0 on success; prints 'Caption: message' on\n"
           "stderr and exits 1 when the export is refused or fails.\n";
  }

  int Run(const std::vector<std::string>& argv, Context& ctx) override {
    std::vector<OptionSpec> options = kDirectoryOptions;
    options.push_back({"dest", true});
    options.insert(options.end(), kRunOptions.begin(), kRunOptions.end());
    options.push_back({"typed", false});
    int code = 0;
    auto args = ParseArgs(ctx, *this, argv, options, &code);
    if (!args) return code;
    if (args->positionals().size() != 1) return PrintUsageError(ctx, *this, "give one template");
    if (args->Has("overwrite") && args->Has("append"))
      return PrintUsageError(ctx, *this, "--overwrite and --append exclude each other");
    auto dirs = ResolveDirectories(*args, ctx);
    if (!dirs.ok()) return PrintUsageError(ctx, *this, dirs.status().message());

    ConsolePlatform ui(ctx.settings, ctx.err, ShowProgress(*args, ctx));
    ui.SetAnswerer(BatchAnswers(args->Has("overwrite"), args->Has("append")));
    ExportState state;
    state.env = ctx.env;
    state.dirs = *dirs;
    Status opened = OpenTemplateFile(state, ui, AbsolutePath(args->positionals()[0]));
    if (!opened.ok()) return PrintError(ctx, opened);
    if (state.window_closed) return kExitError;  // the dictionary refused; already said
    // A destination given here is kept as typed; a relative one goes into
    // the current directory, not into the Documents folder.
    if (auto dest = args->Value("dest")) {
      state.destination_box = *dest;
      state.relative_destination_folder = CurrentFolder();
    }
    state.options.typed = args->Has("typed");
    StopSignals stop;
    ui.WatchStopFlag(stop.flag());
    return ReportRun(ctx, RunExportCommand(state, ui));
  }
};

}  // namespace

std::unique_ptr<Command> MakeRunCommand() { return std::make_unique<RunCommand>(); }

}  // namespace rh::cli
