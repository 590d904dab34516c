// How the export and run verbs answer the run's questions, where they write
// and how they print the end of an export.
#ifndef RECORDHAUL_CLI_RUN_REPORT_H_
#define RECORDHAUL_CLI_RUN_REPORT_H_

#include <cstdio>
#include <memory>
#include <optional>

#include "base/env.h"
#include "cli/command.h"
#include "export/export_run.h"
#include "platform/console_platform.h"

namespace rh::cli {

// --overwrite, --append (which exclude each other), --quiet.
struct RunOptions {
  bool overwrite = false;
  bool append = false;
  bool quiet = false;
};
void DefineRunOptions(CLI::App& app, RunOptions* run);

// The destination that means standard output.
inline constexpr std::string_view kStandardOutputName = "-";

// Standard output as a file the text writer writes to; Close() flushes it.
std::unique_ptr<WritableFile> StandardOutputFile(std::FILE* out);

// The console the run talks through: progress on a terminal unless --quiet,
// questions answered by the options (a repeated field is added again, the
// dBase name question is accepted; an existing destination is appended to
// with --append for the text types, overwritten with --overwrite, and
// otherwise left). It remembers whether a table destination was left.
class BatchConsole {
 public:
  BatchConsole(Context& ctx, const RunOptions& run);
  ConsolePlatform& ui() { return ui_; }
  bool table_left() const { return table_left_; }

 private:
  ConsolePlatform ui_;
  bool table_left_ = false;
};

// "Records Exported:  N" and exit 0, on stdout, or on stderr when the data
// went to standard output (and then not at all with --quiet); a warning
// after it on stderr. A refusal or failure prints "Caption: message" and
// its detail on stderr and exits 1.
int ReportRun(Context& ctx, const ExportOutcome& outcome, const RunOptions& run,
              const BatchConsole& console, bool to_standard_output);

}  // namespace rh::cli

#endif  // RECORDHAUL_CLI_RUN_REPORT_H_
