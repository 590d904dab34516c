#include "cli/run_report.h"

namespace rh::cli {

bool ShowProgress(const Args& args, const Context& ctx) {
  return ctx.err_is_terminal && !args.Has("quiet");
}

int ReportRun(Context& ctx, const ExportOutcome& outcome) {
  switch (outcome.kind) {
    case ExportOutcome::Kind::kCompleted:
      PrintLine(ctx, "Records Exported:  " + std::to_string(outcome.exported));
      if (!outcome.warnings.empty())
        std::fprintf(ctx.err, "%s\n", JoinWarnings(outcome.warnings).ToString().c_str());
      return kExitOk;
    case ExportOutcome::Kind::kFailed:
      return PrintError(ctx, outcome.error);
    case ExportOutcome::Kind::kStopped:
      break;
  }
  return PrintError(ctx, Status::Of(MessageId::kDestinationExistsGiveOption));
}

}  // namespace rh::cli
