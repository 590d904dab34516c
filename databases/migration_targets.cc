#include "databases/migration_targets.h"

#include "base/paths.h"
#include "databases/odbc_target.h"
#include "databases/sqlite_target.h"

namespace rh {

namespace {

bool EndsWithIgnoringCase(std::string_view text, std::string_view end) {
  return text.size() >= end.size() &&
         EqualsIgnoreAsciiCase(text.substr(text.size() - end.size()), end);
}

}  // namespace

Result<std::unique_ptr<MigrationTarget>> MakeMigrationTarget(Env* env,
                                                             const std::string& destination) {
  if (destination.empty()) return Status::Of(MessageId::kMigrateNoDestination);
  if (destination.size() > kOdbcPrefix.size() &&
      EqualsIgnoreAsciiCase(std::string_view(destination).substr(0, kOdbcPrefix.size()),
                            kOdbcPrefix))
    return MakeOdbcTarget(destination.substr(kOdbcPrefix.size()));
  const std::string_view name = BaseName(destination);
  for (std::string_view extension : {".sqlite", ".sqlite3", ".db"}) {
    if (name.size() > extension.size() && EndsWithIgnoringCase(name, extension))
      return MakeSqliteTarget(env, destination);
  }
  return Status::Of(MessageId::kMigrateUnknownDestination, {destination});
}

}  // namespace rh
