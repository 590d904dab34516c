// The database a migration's destination text names.
#ifndef RECORDHAUL_DATABASES_MIGRATION_TARGETS_H_
#define RECORDHAUL_DATABASES_MIGRATION_TARGETS_H_

#include <memory>
#include <string>
#include <string_view>

#include "base/env.h"
#include "migrate/migration_target.h"

namespace rh {

inline constexpr std::string_view kOdbcPrefix = "odbc:";

// "odbc:" and an ODBC connection string, or the path of a SQLite file
// ending in .sqlite, .sqlite3 or .db (in any letter case). Nothing is
// opened yet. Anything else: "...is not a database recordhaul can write".
Result<std::unique_ptr<MigrationTarget>> MakeMigrationTarget(Env* env,
                                                             const std::string& destination);

}  // namespace rh

#endif  // RECORDHAUL_DATABASES_MIGRATION_TARGETS_H_
