// recordhaul migrate --to DEST [--module CODE]... [--company NN]... [dirs] [--quiet]
#include "app/migrate_installation.h"
#include "cli/choices.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "cli/run_report.h"
#include "cli/stop_signals.h"
#include "data/catalog.h"

namespace rh::cli {

namespace {

class MigrateCommand : public Command {
 public:
  std::string_view name() const override { return "migrate"; }
  std::string_view summary() const override {
    return "move a whole installation into a SQLite or ODBC database";
  }
  std::string_view usage() const override {
    return "usage: recordhaul migrate --to DEST [--module CODE]... [--company NN]...\n"
           "                          [--data DIR --system DIR --programs DIR] [--quiet]\n"
           "\n"
           "Loads every data file of the installation into one database, one table per\n"
           "module data file (module code and data file description in snake case, e.g.\n"
           "qzar_customer_master) with the records of every company, typed as the data\n"
           "dictionary says, plus the tables 'companies' and 'sources'. A second run\n"
           "replaces the tables it loads and leaves the others alone.\n"
           "\n"
           "  --to DEST       a SQLite file ending in .sqlite, .sqlite3 or .db (a relative\n"
           "                  path is relative to the current directory), or odbc: and an\n"
           "                  ODBC connection string, e.g.\n"
           "                  'odbc:DRIVER={PostgreSQL Unicode};Servername=db;Database=acct'\n"
           "  --module CODE   a module to load (repeatable); default every module\n"
           "  --company NN    a company to load (repeatable); default every company\n"
           "  --quiet         no progress bar\n"
           "\n"
           "Prints the summary (tables, records, data files not found) and exits 0;\n"
           "warnings go to stderr. A failure prints 'Caption: message' and what failed\n"
           "on stderr and exits 1; the database keeps what it had (SQLite: all of it;\n"
           "ODBC: the table being loaded, and every table loaded before is complete).\n";
  }

  int Run(const std::vector<std::string>& argv, Context& ctx) override {
    std::vector<OptionSpec> options = {
        {"to", true}, {"module", true}, {"company", true}, {"quiet", false}};
    options.insert(options.end(), kDirectoryOptions.begin(), kDirectoryOptions.end());
    int code = 0;
    auto args = ParseArgs(ctx, *this, argv, options, &code);
    if (!args) return code;
    if (!args->positionals().empty()) return PrintUsageError(ctx, *this, "unexpected arguments");
    if (!args->Has("to")) return PrintUsageError(ctx, *this, "--to is required");
    MigrateRequest request;
    request.destination = *args->Value("to");
    request.relative_to = CurrentFolder();
    for (const std::string& m : args->Values("module")) {
      if (!ModuleIndexByCode(m)) return PrintUsageError(ctx, *this, "unknown module '" + m + "'");
      request.modules.push_back(m);
    }
    if (request.modules.empty())
      for (const ModuleInfo& m : Modules()) request.modules.emplace_back(m.code);
    for (const std::string& c : args->Values("company")) {
      if (c.size() != 2)
        return PrintUsageError(ctx, *this, "a company number has two characters: '" + c + "'");
      request.companies.push_back(c);
    }
    auto dirs = ResolveDirectories(*args, ctx);
    if (!dirs.ok()) return PrintUsageError(ctx, *this, dirs.status().message());
    request.dirs = *dirs;

    ConsolePlatform ui(ctx.settings, ctx.err, ShowProgress(*args, ctx));
    StopSignals stop;
    ui.WatchStopFlag(stop.flag());
    PlatformMigrationObserver observer(ui);
    MigrationOutcome outcome = MigrateInstallation(ctx.env, request, observer);
    observer.Done();
    for (const Status& w : outcome.summary.warnings)
      std::fprintf(ctx.err, "%s\n", w.ToString().c_str());
    if (outcome.error.Is(MessageId::kMigrateUnknownDestination))
      return PrintUsageError(ctx, *this, outcome.error.message());
    if (!outcome.error.ok()) return PrintError(ctx, outcome.error);
    for (const std::string& line : SummaryLines(outcome)) PrintLine(ctx, line);
    return kExitOk;
  }
};

}  // namespace

std::unique_ptr<Command> MakeMigrateCommand() { return std::make_unique<MigrateCommand>(); }

}  // namespace rh::cli
