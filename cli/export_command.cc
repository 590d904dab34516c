// recordhaul export --module CODE --company NN --file N --type T --dest PATH ...
#include "app/export_request.h"
#include "cli/choices.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "cli/run_report.h"
#include "cli/stop_signals.h"

namespace rh::cli {

namespace {

class ExportCommand : public Command {
 public:
  std::string_view name() const override { return "export"; }
  std::string_view summary() const override { return "export one data file"; }
  std::string_view usage() const override {
    return "usage: recordhaul export --module CODE --company NN --file N --type T --dest PATH\n"
           "                         [--field NAME[=EXPORTNAME]]... [--all-fields]\n"
           "                         [--data DIR --system DIR --programs DIR]\n"
           "                         [--overwrite | --append] [--typed] [--quiet]\n"
           "\n"
           "Exports every record of one company's data file, as the window's Export\n"
           "button does.\n"
           "\n"
           "  --module CODE   module code, e.g. QZGL ('recordhaul list modules')\n"
           "  --company NN    company number ('recordhaul list companies CODE')\n"
           "  --file N        data file number ('recordhaul list files CODE')\n"
           "  --type T        export type ('recordhaul list types'); default 0\n"
           "  --dest PATH     destination; a relative path is relative to the current\n"
           "                  directory\n"
           "  --field NAME[=EXPORTNAME]\n"
           "                  add a field (repeatable; the same field may be added twice),\n"
           "                  optionally under another export name\n"
           "  --all-fields    add every field not yet added\n"
           "  --overwrite     replace an existing destination\n"
           "  --append        append to an existing text destination\n"
           "  --typed         types 8-10: dates as date columns (empty where a day\n"
           "                  number has no date) and texts without trailing blanks\n"
           "  --quiet         no progress bar\n"
           "\n"
           "Prints 'Records Exported:  N' and exits 0 on success; prints\n"
           "'Caption: message' on stderr and exits 1 when the export is refused or fails.\n";
  }

  int Run(const std::vector<std::string>& argv, Context& ctx) override {
    std::vector<OptionSpec> options = ChoiceOptions();
    options.insert(options.end(), kDirectoryOptions.begin(), kDirectoryOptions.end());
    options.insert(options.end(), kRunOptions.begin(), kRunOptions.end());
    options.push_back({"typed", false});
    int code = 0;
    auto args = ParseArgs(ctx, *this, argv, options, &code);
    if (!args) return code;
    if (!args->positionals().empty()) return PrintUsageError(ctx, *this, "unexpected arguments");
    if (!args->Has("dest")) return PrintUsageError(ctx, *this, "--dest is required");
    if (args->Has("overwrite") && args->Has("append"))
      return PrintUsageError(ctx, *this, "--overwrite and --append exclude each other");
    auto dirs = ResolveDirectories(*args, ctx);
    if (!dirs.ok()) return PrintUsageError(ctx, *this, dirs.status().message());

    auto request = RequestFromChoices(*args, *dirs, ctx.env);
    if (!request.ok()) {
      if (IsUsageError(request.status()))
        return PrintUsageError(ctx, *this, request.status().message());
      return PrintError(ctx, request.status());
    }
    request->options.typed = args->Has("typed");
    ConsolePlatform ui(ctx.settings, ctx.err, ShowProgress(*args, ctx));
    ui.SetAnswerer(BatchAnswers(args->Has("overwrite"), args->Has("append")));
    StopSignals stop;
    ui.WatchStopFlag(stop.flag());
    return ReportRun(ctx, RunExportRequest(ctx.env, *request, ui));
  }
};

}  // namespace

std::unique_ptr<Command> MakeExportCommand() { return std::make_unique<ExportCommand>(); }

}  // namespace rh::cli
