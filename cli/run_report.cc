#include "cli/run_report.h"

#include <CLI/CLI.hpp>

#include <cerrno>

namespace rh::cli {

namespace {

class StreamFile : public WritableFile {
 public:
  explicit StreamFile(std::FILE* out) : out_(out) {}
  Status Append(std::string_view data) override {
    if (std::fwrite(data.data(), 1, data.size(), out_) != data.size()) return IoError(errno);
    return Status();
  }
  Status Close() override { return std::fflush(out_) == 0 ? Status() : IoError(errno); }

 private:
  std::FILE* out_;
};

}  // namespace

void DefineRunOptions(CLI::App& app, RunOptions* run) {
  CLI::Option* overwrite =
      app.add_flag("--overwrite", run->overwrite, "replace an existing destination");
  CLI::Option* append = app.add_flag("--append", run->append,
                                     "append to an existing destination (text types only)");
  overwrite->excludes(append);
  app.add_flag("--quiet", run->quiet,
               "no progress bar; with --dest - no 'Records Exported' line either");
}

std::unique_ptr<WritableFile> StandardOutputFile(std::FILE* out) {
  return std::make_unique<StreamFile>(out);
}

BatchConsole::BatchConsole(Context& ctx, const RunOptions& run)
    : ui_(ctx.settings, ctx.err, ctx.err_is_terminal && !run.quiet) {
  ui_.SetAnswerer([this, run](const MessageBox& question) {
    switch (question.id) {
      case MessageId::kTextDestinationExists:  // Yes appends, No overwrites
        return run.append ? Answer::kYes : run.overwrite ? Answer::kNo : Answer::kCancel;
      case MessageId::kTableDestinationExists:  // Ok to Overwrite?
        table_left_ = !run.overwrite;
        return run.overwrite ? Answer::kYes : Answer::kNo;
      case MessageId::kDBaseTitlesTruncated:
        return Answer::kOk;
      default:
        return Answer::kYes;  // a field already in the selection is added again
    }
  });
}

int ReportRun(Context& ctx, const ExportOutcome& outcome, const RunOptions& run,
              const BatchConsole& console, bool to_standard_output) {
  switch (outcome.kind) {
    case ExportOutcome::Kind::kCompleted: {
      const std::string line = "Records Exported:  " + std::to_string(outcome.exported);
      if (!to_standard_output) PrintLine(ctx, line);
      else if (!run.quiet) std::fprintf(ctx.err, "%s\n", line.c_str());
      if (!outcome.warnings.empty()) PrintWarning(ctx, JoinWarnings(outcome.warnings));
      return kExitOk;
    }
    case ExportOutcome::Kind::kFailed:
      return PrintError(ctx, outcome.error);
    case ExportOutcome::Kind::kStopped:
      break;
  }
  if (console.table_left() && run.append)
    return PrintError(ctx, Status::Of(MessageId::kTableCannotAppend));
  return PrintError(ctx, Status::Of(MessageId::kDestinationExistsGiveOption));
}

}  // namespace rh::cli
