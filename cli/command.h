// One class per command-line verb, over the same core as the window.
#ifndef RECORDHAUL_CLI_COMMAND_H_
#define RECORDHAUL_CLI_COMMAND_H_

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/env.h"
#include "base/status.h"
#include "cli/args.h"
#include "platform/platform.h"

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
  virtual std::string_view summary() const = 0;  // one line for the overview
  virtual std::string_view usage() const = 0;    // the verb's --help text
  // `args` are the words after the verb.
  virtual int Run(const std::vector<std::string>& args, Context& ctx) = 0;
};

std::vector<std::unique_ptr<Command>> AllCommands();

// Runs the verb named by args[0]; prints the overview for none or --help.
// `extra` verbs (those that need the window's toolkit) join the built-in ones.
int RunCommandLine(const std::vector<std::string>& args, Context& ctx,
                   std::vector<std::unique_ptr<Command>> extra = {});

// Helpers the verbs share.
int PrintUsageError(Context& ctx, const Command& cmd, std::string_view message);
int PrintError(Context& ctx, const Status& status);  // "Caption: message", exit 1
void PrintLine(Context& ctx, std::string_view text);  // to out, with "\n"

// The three accounting directories from --data/--system/--programs, else
// from the saved settings. A usage error (exit 2) explains how to set them
// when any is missing.
inline const std::vector<OptionSpec> kDirectoryOptions = {
    {"data", true}, {"system", true}, {"programs", true}};
Result<Directories> ResolveDirectories(const Args& args, Context& ctx);

// Parses argv for `cmd`; on a usage error prints it and sets *exit_code.
std::optional<Args> ParseArgs(Context& ctx, const Command& cmd,
                              const std::vector<std::string>& argv,
                              std::vector<OptionSpec> options, int* exit_code);

}  // namespace rh::cli

#endif  // RECORDHAUL_CLI_COMMAND_H_
