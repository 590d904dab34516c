#include "app/migrate_installation.h"

#include <algorithm>
#include <cctype>

#include "base/paths.h"
#include "data/catalog.h"
#include "databases/migration_targets.h"
#include "export/export_run.h"

namespace rh {

namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

MigrationOutcome Refused(Status error) {
  MigrationOutcome out;
  out.error = std::move(error);
  return out;
}

}  // namespace

std::string ResolveMigrationDestination(const std::string& destination,
                                        const std::string& relative_to) {
  if (destination.empty() || EqualsIgnoreAsciiCase(std::string_view(destination).substr(
                                 0, kOdbcPrefix.size()), kOdbcPrefix))
    return destination;
  return ResolveDestination(destination, relative_to);
}

MigrationOutcome MigrateInstallation(Env* env, const MigrateRequest& request,
                                     MigrationObserver& observer) {
  if (!request.dirs.AllSet()) return Refused(Status::Of(MessageId::kSetDefaults));
  MigrationScope scope;
  scope.data_dir = request.dirs.data;
  scope.system_dir = request.dirs.system;
  for (const std::string& code : request.modules) {
    if (auto module = ModuleIndexByCode(code)) {
      std::string canonical(Modules()[static_cast<size_t>(*module)].code);
      if (std::find(scope.modules.begin(), scope.modules.end(), canonical) == scope.modules.end())
        scope.modules.push_back(std::move(canonical));
    }
  }
  if (scope.modules.empty()) return Refused(Status::Of(MessageId::kMigrateNoModules));
  for (const std::string& number : request.companies) scope.companies.push_back(Upper(number));
  auto target = MakeMigrationTarget(
      env, ResolveMigrationDestination(request.destination, request.relative_to));
  if (!target.ok()) return Refused(target.status());
  return Migrate(env, scope, **target, observer);
}

std::vector<std::string> SummaryLines(const MigrationOutcome& outcome) {
  const MigrationSummary& summary = outcome.summary;
  std::vector<std::string> lines = {MessageText(
      MessageId::kMigrateComplete, {std::to_string(summary.tables.size()),
                                    std::to_string(summary.records), outcome.database})};
  for (const LoadedTable& t : summary.tables) {
    std::string companies;
    for (const std::string& c : t.companies) companies += (companies.empty() ? "" : ", ") + c;
    lines.push_back(MessageText(MessageId::kMigrateSummaryTable,
                                {t.name, std::to_string(t.records), companies}));
  }
  for (const MissingFile& m : summary.missing) {
    lines.push_back(
        MessageText(MessageId::kMigrateSummaryMissing, {m.table, m.company, m.data_file}));
  }
  return lines;
}

void PlatformMigrationObserver::Progress(const MigrationProgress& p) {
  if (!shown_) {
    ui_.ProgressCreate();
    shown_ = true;
  }
  double done = p.file > 0 ? p.file - 1 : 0;
  if (p.records > 0) done += static_cast<double>(p.record) / p.records;
  ui_.ProgressSetPercent(p.files > 0 ? static_cast<int>(done / p.files * 100.0) : 0);
}

void PlatformMigrationObserver::Done() {
  if (shown_) ui_.ProgressDestroy();
  shown_ = false;
}

}  // namespace rh
