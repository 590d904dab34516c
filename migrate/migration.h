// A whole installation, or the chosen modules and companies of it, moved
// into a database: every data file that exists becomes one table holding
// every company's records (deleted ones left out), typed as the data
// dictionary says. The outcome is a value for the caller to report.
#ifndef RECORDHAUL_MIGRATE_MIGRATION_H_
#define RECORDHAUL_MIGRATE_MIGRATION_H_

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "base/env.h"
#include "base/status.h"
#include "migrate/migration_observer.h"
#include "migrate/migration_survey.h"
#include "migrate/migration_target.h"

namespace rh {

struct LoadedTable {
  std::string name;
  std::vector<std::string> companies;
  int64_t records = 0;
};

struct MigrationSummary {
  std::vector<LoadedTable> tables;
  std::vector<MissingFile> missing;  // not found, and so not loaded
  std::vector<Status> warnings;      // what was left out, and why
  int64_t records = 0;
};

struct MigrationOutcome {
  Status error;  // ok, or why the run stopped; the summary is then partial
  std::string database;  // as messages name it (MigrationTarget::Describe)
  MigrationSummary summary;
};

// The survey, then the target opened and every table loaded. A failure
// names the data file, the record and the reason, and leaves the database
// as MigrationTarget::KeepsCompletedTables() says. The accounting files are
// only read; a database file that is one of them is refused. `now` stamps
// the rows of "sources" (tests).
MigrationOutcome Migrate(Env* env, const MigrationScope& scope, MigrationTarget& target,
                         MigrationObserver& observer, std::time_t (*now)() = nullptr);

}  // namespace rh

#endif  // RECORDHAUL_MIGRATE_MIGRATION_H_
