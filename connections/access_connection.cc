#include "connections/access_connection.h"

#include <memory>

#include "drivers/mdb/mdb_engine.h"

namespace rh {

namespace {

class AccessConnection : public TableConnection {
 public:
  explicit AccessConnection(std::unique_ptr<mdb::Database> db)
      : db_(std::move(db)) {}

  Status Execute(std::string_view statement) override {
    if (!db_) return Status::Sql("08003", "connection closed");
    return db_->Execute(statement, mdb::kDbFailOnError);
  }

  Status Close() override { return db_ ? db_->Close() : Status(); }

  // A database dropped without Close() removes its temporary file.
  void Discard() override { db_.reset(); }

 private:
  std::unique_ptr<mdb::Database> db_;
};

}  // namespace

Result<std::unique_ptr<TableConnection>> CreateAccessDatabase(
    const std::string& path, const std::string& locale) {
  mdb::Workspace workspace;  // the default workspace
  auto db = workspace.CreateDatabase(path, locale, 0);
  if (!db.ok()) return db.status();
  return MakeAccessConnection(std::move(db).value());
}

std::unique_ptr<TableConnection> MakeAccessConnection(std::unique_ptr<mdb::Database> db) {
  return std::make_unique<AccessConnection>(std::move(db));
}

}  // namespace rh
