// recordhaul export --module CODE --company NN --file N [--type T] --dest PATH ...
#include <CLI/CLI.hpp>

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
  std::string_view synopsis() const override {
    return "usage: recordhaul export --module CODE --company NN --file N [--type T] --dest PATH\n"
           "                         [--field NAME[=EXPORTNAME]]... [--all-fields]\n"
           "                         [--encoding windows-1252|utf-8] [--bom]\n"
           "                         [--data DIR --system DIR --programs DIR]\n"
           "                         [--overwrite | --append] [--typed] [--threads N] [--quiet]\n";
  }

  void Define(CLI::App& app) override {
    app.description(
        "Exports every record of one company's data file, as the window's Export\n"
        "button does.");
    DefineChoiceOptions(app, &choices_);
    DefineFormatOptions(app, &format_);
    DefineDirectoryOptions(app, &dirs_);
    DefineRunOptions(app, &run_);
    app.footer(
        "Prints 'Records Exported:  N' and exits 0 on success (on stderr when --dest is -);\n"
        "prints 'Caption: message' and a line saying what failed and why on stderr and\n"
        "exits 1 when the export is refused or fails; a usage error exits 2.");
  }

  int Run(Context& ctx) override {
    if (!choices_.dest) return PrintUsageError(ctx, name(), "--dest is required");
    auto dirs = ResolveDirectories(dirs_, ctx);
    if (!dirs.ok()) return PrintUsageError(ctx, name(), dirs.status().message());

    std::vector<Status> notes;
    auto request = RequestFromChoices(choices_, *dirs, ctx.env, &notes);
    if (!request.ok()) {
      if (request.status().Is(MessageId::kNoExportFields)) return NoFields(ctx, request.status());
      return PrintRequestFailure(ctx, name(), request.status());
    }
    auto options = ExportOptionsOf(format_, *FindExportType(request->export_type));
    if (!options.ok()) return PrintUsageError(ctx, name(), options.status().message());
    request->options = *options;
    for (const Status& note : notes) PrintWarning(ctx, note);

    const bool to_stdout = *choices_.dest == kStandardOutputName;
    std::unique_ptr<WritableFile> out = StandardOutputFile(ctx.out);
    if (to_stdout) request->stream = out.get();
    BatchConsole console(ctx, run_);
    StopSignals stop;
    console.ui().WatchStopFlag(stop.flag());
    ExportOutcome outcome = RunExportRequest(ctx.env, *request, console.ui());
    if (outcome.error.Is(MessageId::kNoExportFields)) return NoFields(ctx, outcome.error);
    return ReportRun(ctx, outcome, run_, console, to_stdout);
  }

 private:
  // The window's message, and how the command line names the fields.
  static int NoFields(Context& ctx, const Status& status) {
    return PrintError(ctx, Status(status).WithDetail(MessageId::kDetailGiveFields));
  }

  ChoiceOptions choices_;
  FormatOptions format_;
  DirectoryOptions dirs_;
  RunOptions run_;
};

}  // namespace

std::unique_ptr<Command> MakeExportCommand() { return std::make_unique<ExportCommand>(); }

}  // namespace rh::cli
