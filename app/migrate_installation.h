// The one way an installation is migrated, from the window's Migrate
// Installation dialog and from `recordhaul migrate`: a request names the
// directories, the database and the modules and companies; the run reports
// progress through a MigrationObserver and comes back as an outcome that
// both show with SummaryLines().
#ifndef RECORDHAUL_APP_MIGRATE_INSTALLATION_H_
#define RECORDHAUL_APP_MIGRATE_INSTALLATION_H_

#include <string>
#include <vector>

#include "base/env.h"
#include "migrate/migration.h"
#include "platform/platform.h"

namespace rh {

struct MigrateRequest {
  Directories dirs;
  std::string destination;             // "odbc:..." or a SQLite file, as typed
  std::string relative_to;             // where a relative file path goes
  std::vector<std::string> modules;    // module codes, any letter case
  std::vector<std::string> companies;  // company numbers; none: every company
};

// The request's checks (the directories are set, a destination and a module
// are given, the destination names a database), then the migration into
// the real database. A refusal comes back as the outcome's error.
MigrationOutcome MigrateInstallation(Env* env, const MigrateRequest& request,
                                     MigrationObserver& observer);

// What a finished run reports: the "Migration Complete" text, a line per
// table loaded, a line per data file not found. The warnings are not among
// them.
std::vector<std::string> SummaryLines(const MigrationOutcome& outcome);

// Where a destination points once a relative file path is resolved; a
// connection string as it is.
std::string ResolveMigrationDestination(const std::string& destination,
                                        const std::string& relative_to);

// The progress of a run as one percentage through the platform's progress
// (the command line's bar): the data files done, and the share of the
// current one read. The stop request is the platform's.
class PlatformMigrationObserver : public MigrationObserver {
 public:
  explicit PlatformMigrationObserver(Platform& ui) : ui_(ui) {}
  ~PlatformMigrationObserver() override { Done(); }

  void Progress(const MigrationProgress& progress) override;
  bool StopRequested() override { return ui_.StopRequested(); }
  // Takes the progress down, if it is up.
  void Done();

 private:
  Platform& ui_;
  bool shown_ = false;
};

}  // namespace rh

#endif  // RECORDHAUL_APP_MIGRATE_INSTALLATION_H_
