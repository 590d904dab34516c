// How the export and run verbs print the end of an export.
#ifndef RECORDHAUL_CLI_RUN_REPORT_H_
#define RECORDHAUL_CLI_RUN_REPORT_H_

#include "cli/args.h"
#include "cli/command.h"
#include "export/export_run.h"

namespace rh::cli {

// --overwrite, --append, --quiet.
inline const std::vector<OptionSpec> kRunOptions = {
    {"overwrite", false}, {"append", false}, {"quiet", false}};

// A progress bar on a terminal, unless --quiet.
bool ShowProgress(const Args& args, const Context& ctx);

// "Records Exported:  N" on stdout and exit 0; "Caption: message" on stderr
// and exit 1 for a refusal or failure.
int ReportRun(Context& ctx, const ExportOutcome& outcome);

}  // namespace rh::cli

#endif  // RECORDHAUL_CLI_RUN_REPORT_H_
