// One class per command-line verb, over the same core as the window.
//
// Each verb declares its options and arguments on its CLI11 subcommand
// (Define), and runs once they are parsed and checked (Run). Parsing,
// --help, --version and usage errors are the same for every verb
// (RunCommandLine): a usage error is one line that says what is wrong, then
// "Try 'recordhaul VERB --help'.", and exit 2.
#ifndef RECORDHAUL_CLI_COMMAND_H_
#define RECORDHAUL_CLI_COMMAND_H_

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/env.h"
#include "base/status.h"
#include "platform/platform.h"

namespace CLI {
class App;
}  // namespace CLI

namespace rh::cli {

enum ExitCode { kExitOk = 0, kExitError = 1, kExitUsage = 2 };

// What a verb runs with: where it prints, the file layer and the settings.
struct Context {
  std::FILE* out = stdout;
  std::FILE* err = stderr;
  Env* env = Env::Default();
  SettingsStore* settings = nullptr;
  bool err_is_terminal = false;
};

class Command {
 public:
  virtual ~Command() = default;
  virtual std::string_view name() const = 0;
  virtual std::string_view summary() const = 0;   // one line for the overview
  virtual std::string_view synopsis() const = 0;  // the "usage:" lines of --help
  // Declares the options and arguments on the verb's subcommand; the
  // values land in the command's members.
  virtual void Define(CLI::App& app) = 0;
  // Runs with the parsed values.
  virtual int Run(Context& ctx) = 0;
};

std::vector<std::unique_ptr<Command>> AllCommands();

// Parses `args` (the words after the program name) and runs the verb they
// name. Without words, the overview on stderr and exit 2; "--help" and
// "help" the overview on stdout; "help VERB" is "VERB --help"; "--version"
// the program's name and version.
int RunCommandLine(const std::vector<std::string>& args, Context& ctx,
                   std::vector<std::unique_ptr<Command>> extra = {});

// "recordhaul VERB: message" and "Try 'recordhaul VERB --help'." on stderr;
// returns kExitUsage.
int PrintUsageError(Context& ctx, std::string_view verb, std::string_view message);
// "Caption: message" and the detail, if any, on stderr; returns kExitError.
int PrintError(Context& ctx, const Status& status);
void PrintLine(Context& ctx, std::string_view text);  // to out, with "\n"
// "Caption: message" and the detail on stderr, for a warning that does not
// end the verb.
void PrintWarning(Context& ctx, const Status& status);

// --data, --system and --programs.
struct DirectoryOptions {
  std::optional<std::string> data, system, programs;
  bool any() const { return data || system || programs; }
};
void DefineDirectoryOptions(CLI::App& app, DirectoryOptions* dirs);

// The three accounting directories from the options, else from the saved
// settings; a usage error that explains how to set them when any is missing.
Result<Directories> ResolveDirectories(const DirectoryOptions& options, Context& ctx);

// The program's name and version, "recordhaul 1.0.0".
std::string VersionText();

}  // namespace rh::cli

#endif  // RECORDHAUL_CLI_COMMAND_H_
