// The choice options shared by "export" and "template create": they make the
// same choices in an ExportState that the window's lists and buttons make.
#ifndef RECORDHAUL_CLI_CHOICES_H_
#define RECORDHAUL_CLI_CHOICES_H_

#include <string>
#include <vector>

#include "app/export_state.h"
#include "cli/args.h"
#include "cli/command.h"
#include "platform/console_platform.h"

namespace rh::cli {

// --module --company --file --type --dest --field --all-fields.
std::vector<OptionSpec> ChoiceOptions();

// Chooses module, data file, company and export type, adds the fields (as
// the Add buttons do: duplicates allowed and made unique, names normalised
// for the type) and sets the destination (SetDestination). A usage problem
// (unknown module, missing option) has the caption "Usage".
Status ApplyChoices(const Args& args, ExportState& s, ConsolePlatform& ui);

// Answers the run's questions: a repeated field is added again, the dBase
// name question is accepted; an existing destination is appended to with
// --append (text types), overwritten with --overwrite, and otherwise left.
ConsolePlatform::Answerer BatchAnswers(bool overwrite, bool append);

// A relative path made absolute against the current directory.
std::string AbsolutePath(const std::string& path);

// The destination as typed on the command line: a relative one goes into
// the current directory, not into the Documents folder.
void SetDestination(ExportState& s, const std::string& typed);

}  // namespace rh::cli

#endif  // RECORDHAUL_CLI_CHOICES_H_
