// The choice options shared by "export", "preview" and "template create":
// module, company, data file, export type, fields and destination, turned
// into an export request without the window; and the options of how the
// file is written (--encoding, --bom, --typed, --threads) of "export" and "run".
#ifndef RECORDHAUL_CLI_CHOICES_H_
#define RECORDHAUL_CLI_CHOICES_H_

#include <optional>
#include <string>
#include <vector>

#include "app/export_request.h"
#include "app/field_choices.h"
#include "cli/command.h"
#include "platform/console_platform.h"

namespace rh::cli {

struct ChoiceOptions {
  std::optional<std::string> module, company, file, type, dest;
  // --field NAME[=EXPORTNAME] and --all-fields in command-line order, the
  // names in Windows-1252 as the field list holds them.
  std::vector<FieldChoice> fields;
};

// --module --company --file --field --all-fields, and with `export_options`
// --type and --dest too.
void DefineChoiceOptions(CLI::App& app, ChoiceOptions* choices, bool export_options = true);

// The request the options make: the module's data file, the company (which
// must have a register), the export type (--type, else the one the
// destination's extension names, else 0), the fields in command-line order
// (as the Add buttons add them: duplicates allowed and made unique, names
// normalised for the type) and the destination. Usage problems (unknown
// module, missing option, unknown field) are usage errors (IsUsageError).
// `notes` gets what the user should know: a --type another extension
// suggests, fields --all-fields left out.
Result<ExportRequest> RequestFromChoices(const ChoiceOptions& choices, const Directories& dirs,
                                         Env* env, std::vector<Status>* notes);

// --encoding and --bom (text types), --typed (table types), --threads
// (text types' formatting threads).
struct FormatOptions {
  std::optional<std::string> encoding;
  bool byte_order_mark = false;
  bool typed = false;
  std::optional<std::string> threads;
};
void DefineFormatOptions(CLI::App& app, FormatOptions* format);
// The export options they give an export of `type`; a usage error for an
// unknown encoding, --bom without UTF-8, either on a table type, or a
// --threads outside 1 to 256 (without it: 0, one thread per core).
Result<ExportOptions> ExportOptionsOf(const FormatOptions& format, const ExportTypeInfo& type);

// The module index of a request's module code.
int ModuleIndexOf(const ExportRequest& request);

// Whether a failure is the caller's mistake in the command line (exit 2).
bool IsUsageError(const Status& status);

// Prints why RequestFromChoices made no request, as a usage error (exit 2)
// or a refusal (exit 1), and returns the exit code.
int PrintRequestFailure(Context& ctx, std::string_view verb, const Status& status);

// The current directory, where a relative path on the command line points.
std::string CurrentFolder();

// A relative path made absolute against the current directory.
std::string AbsolutePath(const std::string& path);

// A data file number of the module, as the catalog lists it.
std::optional<int> ParseFileNumber(const std::string& text, int module);

}  // namespace rh::cli

#endif  // RECORDHAUL_CLI_CHOICES_H_
