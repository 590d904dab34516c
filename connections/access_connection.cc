#include "connections/access_connection.h"

#include <memory>

#include "drivers/mdb/jet_format.h"
#include "drivers/mdb/mdb_engine.h"

namespace rh {

namespace {

// An INSERT comes to the row it adds.
class RowEncoder : public StatementEncoder {
 public:
  explicit RowEncoder(std::unique_ptr<mdb::Database::RowEncoder> rows) : rows_(std::move(rows)) {}
  bool Encode(std::string_view statement, std::string* out) override {
    return rows_->Encode(statement, out);
  }
  size_t MaxBytes() const override { return mdb::kMaxRowSize; }

 private:
  std::unique_ptr<mdb::Database::RowEncoder> rows_;
};

class AccessConnection : public TableConnection {
 public:
  explicit AccessConnection(std::unique_ptr<mdb::Database> db)
      : db_(std::move(db)) {}

  Status Execute(std::string_view statement) override {
    if (!db_) return Status::Sql("08003", "connection closed");
    return db_->Execute(statement, mdb::kDbFailOnError);
  }

  std::unique_ptr<StatementEncoder> NewEncoder() const override {
    if (!db_) return nullptr;
    auto rows = db_->NewRowEncoder();
    if (!rows) return nullptr;
    return std::make_unique<RowEncoder>(std::move(rows));
  }

  Status ExecuteEncoded(std::string_view row) override {
    if (!db_) return Status::Sql("08003", "connection closed");
    return db_->AddEncodedRow(row);
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
