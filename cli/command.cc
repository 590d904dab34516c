#include "cli/command.h"

#include <string>

#include "app/settings.h"

namespace rh::cli {

namespace {

constexpr std::string_view kOverview =
    "usage: recordhaul [VERB [OPTIONS...]]\n"
    "\n"
    "Exports the data of Tallyvane accounting files. Without a verb the window\n"
    "opens (when the program was built with it and a display is present).\n"
    "\n"
    "Verbs:\n";

}  // namespace

void PrintLine(Context& ctx, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), ctx.out);
  std::fputc('\n', ctx.out);
}

int PrintUsageError(Context& ctx, const Command& cmd, std::string_view message) {
  std::fprintf(ctx.err, "recordhaul %.*s: %.*s\n\n%.*s", static_cast<int>(cmd.name().size()),
               cmd.name().data(), static_cast<int>(message.size()), message.data(),
               static_cast<int>(cmd.usage().size()), cmd.usage().data());
  return kExitUsage;
}

int PrintError(Context& ctx, const Status& status) {
  std::fprintf(ctx.err, "%s\n", status.ToString().c_str());
  return kExitError;
}

std::optional<Args> ParseArgs(Context& ctx, const Command& cmd,
                              const std::vector<std::string>& argv,
                              std::vector<OptionSpec> options, int* exit_code) {
  auto args = Args::Parse(argv, options);
  if (!args.ok()) {
    *exit_code = PrintUsageError(ctx, cmd, args.status().message());
    return std::nullopt;
  }
  if (args->help()) {
    std::fwrite(cmd.usage().data(), 1, cmd.usage().size(), ctx.out);
    *exit_code = kExitOk;
    return std::nullopt;
  }
  return std::move(args).value();
}

Result<Directories> ResolveDirectories(const Args& args, Context& ctx) {
  Directories dirs;
  if (ctx.settings != nullptr) dirs = ReadDirectories(*ctx.settings);
  if (auto v = args.Value("data")) dirs.data = *v;
  if (auto v = args.Value("system")) dirs.system = *v;
  if (auto v = args.Value("programs")) dirs.programs = *v;
  if (!dirs.AllSet()) {
    return Status::Of(MessageId::kUsage,
                      {"the Tallyvane directories are not set. Give --data DIR --system DIR "
                       "--programs DIR, or save them once with\n"
                       "  recordhaul dirs --data DIR --system DIR --programs DIR"});
  }
  return dirs;
}

int RunCommandLine(const std::vector<std::string>& args, Context& ctx,
                   std::vector<std::unique_ptr<Command>> extra) {
  auto commands = AllCommands();
  for (auto& c : extra) commands.push_back(std::move(c));
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::string text(kOverview);
    for (const auto& c : commands) {
      text += "  ";
      text += c->name();
      text.append(12 - std::min<size_t>(c->name().size(), 11), ' ');
      text += c->summary();
      text += '\n';
    }
    text += "\nRun 'recordhaul VERB --help' for a verb's options.\n";
    std::fputs(text.c_str(), args.empty() ? ctx.err : ctx.out);
    return args.empty() ? kExitUsage : kExitOk;
  }
  for (const auto& c : commands) {
    if (c->name() == args[0]) {
      return c->Run(std::vector<std::string>(args.begin() + 1, args.end()), ctx);
    }
  }
  std::fprintf(ctx.err, "recordhaul: unknown verb '%s'; run 'recordhaul --help'\n",
               args[0].c_str());
  return kExitUsage;
}

}  // namespace rh::cli
