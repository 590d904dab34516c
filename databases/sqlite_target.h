// The SQLite kind of MigrationTarget: a database file, written through the
// SQLite library in one transaction for the whole run. A failed or stopped
// run is rolled back by SQLite's own journal, so the file is as it was (a
// file the run created is removed); a run killed outright leaves the
// journal, with which SQLite rolls the file back when it is next opened.
#ifndef RECORDHAUL_DATABASES_SQLITE_TARGET_H_
#define RECORDHAUL_DATABASES_SQLITE_TARGET_H_

#include <memory>
#include <string>

#include "base/env.h"
#include "migrate/migration_target.h"

namespace rh {

// Dates are ISO 8601 texts (YYYY-MM-DD), the time of a load "YYYY-MM-DD
// HH:MM:SS" in UTC, the four-decimal numbers their nearest REAL (SQLite has
// no exact decimal type; every one of them reads back exactly).
std::unique_ptr<MigrationTarget> MakeSqliteTarget(Env* env, std::string path);

}  // namespace rh

#endif  // RECORDHAUL_DATABASES_SQLITE_TARGET_H_
