// recordhaul run TEMPLATE.xdf [dirs] [--dest PATH] [--encoding ENC] [--bom] ...
#include <CLI/CLI.hpp>

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
  std::string_view synopsis() const override {
    return "usage: recordhaul run TEMPLATE.xdf [--data DIR --system DIR --programs DIR]\n"
           "                      [--dest PATH] [--encoding windows-1252|utf-8] [--bom]\n"
           "                      [--overwrite | --append] [--typed] [--threads N]\n"
           "                      [--quiet]\n";
  }

  void Define(CLI::App& app) override {
    app.description("Opens the template as the window's Open Template does and runs its export.");
    app.add_option("TEMPLATE", template_, "the .xdf template")->required();
    DefineDirectoryOptions(app, &dirs_);
    app.add_option_function<std::string>(
           "--dest", [this](const std::string& v) { dest_ = v; },
           "export here instead of the template's destination; relative to the current "
           "directory; '-' is standard output (text types)")
        ->type_name("PATH");
    DefineFormatOptions(app, &format_);
    DefineRunOptions(app, &run_);
    app.footer(
        "The directories default to the saved ones ('recordhaul dirs'). Prints\n"
        "'Records Exported:  N' and exits 0 on success; prints 'Caption: message' and\n"
        "what failed on stderr and exits 1 when the export is refused or fails.");
  }

  int Run(Context& ctx) override {
    auto dirs = ResolveDirectories(dirs_, ctx);
    if (!dirs.ok()) return PrintUsageError(ctx, name(), dirs.status().message());

    BatchConsole console(ctx, run_);
    ExportState state;
    state.env = ctx.env;
    state.dirs = *dirs;
    Status opened = OpenTemplateFile(state, console.ui(), AbsolutePath(template_));
    if (!opened.ok()) return PrintError(ctx, opened);
    if (state.window_closed) return kExitError;  // the dictionary refused; already said
    auto options = ExportOptionsOf(format_, state.type());
    if (!options.ok()) return PrintUsageError(ctx, name(), options.status().message());

    // A destination given here is kept as typed; a relative one goes into
    // the current directory, not into the Documents folder.
    std::string relative_to = console.ui().DocumentsFolder();
    if (dest_) {
      state.destination_box = *dest_;
      relative_to = CurrentFolder();
    }
    const bool to_stdout = dest_ == kStandardOutputName;
    state.selection.EndRename();
    ExportRequest request = ExportRequestOf(state, relative_to);
    request.options = *options;
    std::unique_ptr<WritableFile> out = StandardOutputFile(ctx.out);
    if (to_stdout) request.stream = out.get();
    StopSignals stop;
    console.ui().WatchStopFlag(stop.flag());
    return ReportRun(ctx, RunExportRequest(ctx.env, request, console.ui()), run_, console,
                     to_stdout);
  }

 private:
  std::string template_;
  std::optional<std::string> dest_;
  DirectoryOptions dirs_;
  FormatOptions format_;
  RunOptions run_;
};

}  // namespace

std::unique_ptr<Command> MakeRunCommand() { return std::make_unique<RunCommand>(); }

}  // namespace rh::cli
