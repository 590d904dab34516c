// The choice options shared by "export" and "template create": module,
// company, data file, export type, fields and destination, turned into an
// export request without the window.
#ifndef RECORDHAUL_CLI_CHOICES_H_
#define RECORDHAUL_CLI_CHOICES_H_

#include <string>
#include <vector>

#include "app/export_request.h"
#include "cli/args.h"
#include "cli/command.h"
#include "platform/console_platform.h"

namespace rh::cli {

// --module --company --file --type --dest --field --all-fields.
std::vector<OptionSpec> ChoiceOptions();

// The request the options make: the module's data file, the company (which
// must have a register), the export type, the fields in command-line order
// (as the Add buttons add them: duplicates allowed and made unique, names
// normalised for the type) and the destination. Usage problems (unknown
// module, missing option, unknown field) are usage errors (IsUsageError).
Result<ExportRequest> RequestFromChoices(const Args& args, const Directories& dirs, Env* env);

// The module index of a request's module code.
int ModuleIndexOf(const ExportRequest& request);

// --threads N (1 to 256): formatting threads of a text export; 0 (one per
// core) when the option is absent.
Result<int> ThreadsOption(const Args& args);

// Whether a failure is the caller's mistake in the command line (exit 2).
bool IsUsageError(const Status& status);

// Answers the run's questions: a repeated field is added again, the dBase
// name question is accepted; an existing destination is appended to with
// --append (text types), overwritten with --overwrite, and otherwise left.
ConsolePlatform::Answerer BatchAnswers(bool overwrite, bool append);

// The current directory, where a relative path on the command line points.
std::string CurrentFolder();

// A relative path made absolute against the current directory.
std::string AbsolutePath(const std::string& path);

}  // namespace rh::cli

#endif  // RECORDHAUL_CLI_CHOICES_H_
