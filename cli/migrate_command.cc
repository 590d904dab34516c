// recordhaul migrate --to DEST [--module CODE]... [--company NN]... [dirs] [--quiet]
#include <CLI/CLI.hpp>

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
  std::string_view synopsis() const override {
    return "usage: recordhaul migrate --to DEST [--module CODE]... [--company NN]...\n"
           "                          [--data DIR --system DIR --programs DIR] [--quiet]\n";
  }

  void Define(CLI::App& app) override {
    app.description(
        "Loads every data file of the installation into one database, one table per\n"
        "module data file (module code and data file description in snake case, e.g.\n"
        "qzar_customer_master) with the records of every company, typed as the data\n"
        "dictionary says, plus the tables 'companies' and 'sources'. A second run\n"
        "replaces the tables it loads and leaves the others alone.");
    app.add_option("--to", to_,
                   "a SQLite file ending in .sqlite, .sqlite3 or .db (a relative path is "
                   "relative to the current directory), or odbc: and an ODBC connection "
                   "string, e.g. 'odbc:DRIVER={PostgreSQL Unicode};Servername=db;"
                   "Database=acct'")
        ->type_name("DEST")
        ->required();
    app.add_option("--module", modules_, "a module to load (repeatable); default every module")
        ->type_name("CODE");
    app.add_option("--company", companies_,
                   "a company to load (repeatable); default every company")
        ->type_name("NN");
    DefineDirectoryOptions(app, &dirs_);
    app.add_flag("--quiet", quiet_, "no progress bar");
    app.footer(
        "Prints the summary (tables, records, data files not found) and exits 0;\n"
        "warnings go to stderr. A failure prints 'Caption: message' and what failed\n"
        "on stderr and exits 1; the database keeps what it had (SQLite: all of it;\n"
        "ODBC: the table being loaded, and every table loaded before is complete).");
  }

  int Run(Context& ctx) override {
    MigrateRequest request;
    request.destination = to_;
    request.relative_to = CurrentFolder();
    for (const std::string& m : modules_) {
      if (!ModuleIndexByCode(m)) return PrintUsageError(ctx, name(), "unknown module '" + m + "'");
      request.modules.push_back(m);
    }
    if (request.modules.empty())
      for (const ModuleInfo& m : Modules()) request.modules.emplace_back(m.code);
    for (const std::string& c : companies_) {
      if (c.size() != 2)
        return PrintUsageError(ctx, name(), "a company number has two characters: '" + c + "'");
      request.companies.push_back(c);
    }
    auto dirs = ResolveDirectories(dirs_, ctx);
    if (!dirs.ok()) return PrintUsageError(ctx, name(), dirs.status().message());
    request.dirs = *dirs;

    ConsolePlatform ui(ctx.settings, ctx.err, ctx.err_is_terminal && !quiet_);
    StopSignals stop;
    ui.WatchStopFlag(stop.flag());
    PlatformMigrationObserver observer(ui);
    MigrationOutcome outcome = MigrateInstallation(ctx.env, request, observer);
    observer.Done();
    for (const Status& w : outcome.summary.warnings) PrintWarning(ctx, w);
    if (outcome.error.Is(MessageId::kMigrateUnknownDestination))
      return PrintUsageError(ctx, name(), outcome.error.message());
    if (!outcome.error.ok()) return PrintError(ctx, outcome.error);
    for (const std::string& line : SummaryLines(outcome)) PrintLine(ctx, line);
    return kExitOk;
  }

 private:
  std::string to_;
  std::vector<std::string> modules_;
  std::vector<std::string> companies_;
  DirectoryOptions dirs_;
  bool quiet_ = false;
};

}  // namespace

std::unique_ptr<Command> MakeMigrateCommand() { return std::make_unique<MigrateCommand>(); }

}  // namespace rh::cli
