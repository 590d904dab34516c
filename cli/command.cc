#include "cli/command.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <string>

#include "app/settings.h"

#ifndef RECORDHAUL_VERSION
#define RECORDHAUL_VERSION "0"
#endif

namespace rh::cli {

namespace {

constexpr std::string_view kOverview =
    "usage: recordhaul [VERB [OPTIONS...]]\n"
    "       recordhaul help VERB | --help | --version\n"
    "\n"
    "Exports the data of Tallyvane accounting files. Without a verb the window\n"
    "opens (when the program was built with it and a display is present).\n"
    "\n"
    "Verbs:\n";

std::string OverviewText(const std::vector<std::unique_ptr<Command>>& commands) {
  std::string text(kOverview);
  for (const auto& c : commands) {
    text += "  ";
    text += c->name();
    text.append(12 - std::min<size_t>(c->name().size(), 11), ' ');
    text += c->summary();
    text += '\n';
  }
  text += "\nRun 'recordhaul VERB --help' (or 'recordhaul help VERB') for a verb's options.\n";
  return text;
}

constexpr size_t kHelpWidth = 79;

// A verb's help: its synopsis lines, its description, then the options as
// CLI11 lists them and the footer.
class HelpFormatter : public CLI::Formatter {
 public:
  explicit HelpFormatter(std::string_view synopsis) : synopsis_(synopsis) {
    column_width(24);
    label("REQUIRED", "(required)");
  }
  std::string make_help(const CLI::App* app, std::string, CLI::AppFormatMode mode) const override {
    std::string text = synopsis_ + "\n";
    text += make_description(app);
    text += make_positionals(app);
    text += make_groups(app, mode);
    const std::string footer = make_footer(app);
    if (!footer.empty()) text += "\n" + footer;
    return text;
  }

  // The name and its value's type only; what excludes what the text says.
  std::string make_option_opts(const CLI::Option* opt) const override {
    return opt->get_type_name().empty() || opt->get_type_size() == 0 ? ""
                                                                    : " " + opt->get_type_name();
  }

  // The description wrapped to the terminal's usual 80 columns.
  std::string make_option(const CLI::Option* opt, bool positional) const override {
    const size_t indent = get_column_width() + 2;
    std::string name = "  " + make_option_name(opt, positional);
    if (!positional) name += make_option_opts(opt);
    std::string text = name.size() + 1 < indent ? name + std::string(indent - name.size(), ' ')
                                                : name + "\n" + std::string(indent, ' ');
    size_t column = indent;
    std::string_view desc = opt->get_description();
    while (!desc.empty()) {
      const size_t space = desc.find(' ');
      const std::string_view word = desc.substr(0, space);
      if (column > indent && column + 1 + word.size() > kHelpWidth) {
        text += "\n" + std::string(indent, ' ');
        column = indent;
      } else if (column > indent) {
        text += ' ';
        ++column;
      }
      text += word;
      column += word.size();
      desc.remove_prefix(space == std::string_view::npos ? desc.size() : space + 1);
    }
    return text + "\n";
  }

 private:
  std::string synopsis_;
};

// One line for a refused command line. CLI11's own wording where it says
// what is wrong; words nothing asked for are named as such.
std::string Describe(const std::string& what, const CLI::App& verb) {
  const std::vector<std::string> extra = verb.remaining();
  if (!extra.empty()) {
    const std::string& first = extra.front();
    return first.size() > 1 && first[0] == '-' ? "unknown option " + first
                                               : "unexpected argument '" + first + "'";
  }
  return what;
}

}  // namespace

std::string VersionText() { return std::string("recordhaul ") + RECORDHAUL_VERSION; }

void PrintLine(Context& ctx, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), ctx.out);
  std::fputc('\n', ctx.out);
}

int PrintUsageError(Context& ctx, std::string_view verb, std::string_view message) {
  const std::string name = verb.empty() ? "recordhaul" : "recordhaul " + std::string(verb);
  std::fprintf(ctx.err, "%s: %.*s\nTry '%s --help'.\n", name.c_str(),
               static_cast<int>(message.size()), message.data(), name.c_str());
  return kExitUsage;
}

int PrintError(Context& ctx, const Status& status) {
  std::fprintf(ctx.err, "%s\n", status.ToString().c_str());
  return kExitError;
}

void PrintWarning(Context& ctx, const Status& status) {
  std::fprintf(ctx.err, "%s\n", status.ToString().c_str());
}

void DefineDirectoryOptions(CLI::App& app, DirectoryOptions* dirs) {
  app.add_option_function<std::string>("--data", [dirs](const std::string& v) { dirs->data = v; },
                                       "data files directory (company registers and data files)")
      ->type_name("DIR");
  app.add_option_function<std::string>(
         "--system", [dirs](const std::string& v) { dirs->system = v; },
         "system files directory (data dictionary, path table)")
      ->type_name("DIR");
  app.add_option_function<std::string>(
         "--programs", [dirs](const std::string& v) { dirs->programs = v; },
         "program files directory")
      ->type_name("DIR");
}

Result<Directories> ResolveDirectories(const DirectoryOptions& options, Context& ctx) {
  Directories dirs;
  if (ctx.settings != nullptr) dirs = ReadDirectories(*ctx.settings);
  if (options.data) dirs.data = *options.data;
  if (options.system) dirs.system = *options.system;
  if (options.programs) dirs.programs = *options.programs;
  if (!dirs.AllSet()) {
    return Status::Of(MessageId::kUsage,
                      {"the Tallyvane directories are not set; give --data DIR --system DIR "
                       "--programs DIR, or save them once with 'recordhaul dirs --data DIR "
                       "--system DIR --programs DIR'"});
  }
  return dirs;
}

int RunCommandLine(const std::vector<std::string>& args, Context& ctx,
                   std::vector<std::unique_ptr<Command>> extra) {
  auto commands = AllCommands();
  for (auto& c : extra) commands.push_back(std::move(c));
  std::vector<std::string> words = args;
  if (words.empty()) {
    std::fputs(OverviewText(commands).c_str(), ctx.err);
    return kExitUsage;
  }
  if (words[0] == "help" && words.size() > 1) words = {words[1], "--help"};
  if (words[0] == "help" || words[0] == "--help" || words[0] == "-h") {
    std::fputs(OverviewText(commands).c_str(), ctx.out);
    return kExitOk;
  }
  if (words[0] == "--version") {
    PrintLine(ctx, VersionText());
    return kExitOk;
  }

  CLI::App app("Exports the data of Tallyvane accounting files.", "recordhaul");
  app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  Command* chosen = nullptr;
  for (const auto& c : commands) {
    if (c->name() != words[0]) continue;
    chosen = c.get();
    CLI::App* verb = app.add_subcommand(std::string(c->name()), std::string(c->summary()));
    verb->formatter(std::make_shared<HelpFormatter>(c->synopsis()));
    // Words the verb does not take are reported by name, before any
    // missing option.
    verb->allow_extras();
    c->Define(*verb);
  }
  if (chosen == nullptr) {
    return PrintUsageError(ctx, "", (words[0].starts_with("-") ? "unknown option '"
                                                                 : "unknown verb '") +
                                        words[0] + "'");
  }
  CLI::App& verb = *app.get_subcommand(std::string(chosen->name()));
  std::vector<std::string> reversed(words.rbegin(), words.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    std::fputs(verb.help().c_str(), ctx.out);
    return kExitOk;
  } catch (const CLI::ParseError& e) {
    return PrintUsageError(ctx, chosen->name(), Describe(e.what(), verb));
  }
  if (!verb.remaining().empty()) {
    return PrintUsageError(ctx, chosen->name(), Describe("", verb));
  }
  return chosen->Run(ctx);
}

}  // namespace rh::cli
