#include "databases/odbc_target.h"

#include "base/paths.h"
#include "databases/odbc_database.h"
#include "databases/odbc_row_batch.h"

namespace rh {

namespace {

constexpr char kStagingSuffix[] = "_rh_new";

std::string StagingName(const std::string& table) {
  const size_t keep = kMaxIdentifierLength - (sizeof kStagingSuffix - 1);
  return table.substr(0, keep) + kStagingSuffix;
}

class OdbcTarget : public MigrationTarget {
 public:
  explicit OdbcTarget(std::string connection_string)
      : connection_string_(std::move(connection_string)) {}

  std::string Describe() const override { return "odbc:" + WithoutPassword(connection_string_); }
  bool KeepsCompletedTables() const override { return true; }

  Status Open() override;
  Result<std::unique_ptr<TableLoad>> BeginTable(const TablePlan& plan) override;
  Status ReplaceCompanies(const std::string& module,
                          const std::vector<CompanyRow>& rows) override;
  Status Finish() override { return db_.Disconnect(true); }
  void Abandon() override { db_.Disconnect(false).IgnoreError(); }

 private:
  std::string connection_string_;
  OdbcDatabase db_;
};

class OdbcTableLoad : public TableLoad {
 public:
  explicit OdbcTableLoad(OdbcDatabase* db) : db_(db) {}
  ~OdbcTableLoad() override;

  Status Begin(const TablePlan& plan);
  Status AddRow(std::span<const CellValue> row) override { return batch_.Add(row); }
  Status Flush() override { return batch_.Execute(); }
  RecordRange FailedRecords() const override { return batch_.failed(); }
  Status Commit(const std::vector<SourceRow>& sources) override;

 private:
  OdbcDatabase* db_;
  std::string table_;
  std::string loading_;  // the table the rows go into
  bool direct_ = true;   // loading_ is table_, all in one transaction
  OdbcRowBatch batch_;
  bool done_ = false;
};

OdbcTableLoad::~OdbcTableLoad() {
  if (done_) return;
  batch_.Close();  // its statements go before the rollback
  db_->EndTransaction(false).IgnoreError();
  if (!direct_) db_->DropIfExists(loading_, false).IgnoreError();
}

Status OdbcTableLoad::Begin(const TablePlan& plan) {
  table_ = plan.name;
  direct_ = db_->TransactionalDdl();
  loading_ = direct_ ? table_ : StagingName(table_);
  // Direct: the old table goes in the transaction that brings the new one.
  if (Status s = db_->DropIfExists(loading_, direct_); !s.ok()) return s;
  if (Status s = db_->Ddl(db_->CreateStatement(loading_, plan.columns)); !s.ok()) return s;
  int record_column = -1;
  for (size_t i = 0; i < plan.columns.size(); ++i) {
    if (plan.columns[i].field.source == FieldSource::kCurrentRecord)
      record_column = static_cast<int>(i);
  }
  return batch_.Prepare(db_->dbc(), loading_, plan.columns, db_->quote(),
                        db_->RowsPerStatement(plan.columns.size()), record_column);
}

Status OdbcTableLoad::Commit(const std::vector<SourceRow>& sources) {
  if (Status s = batch_.Execute(); !s.ok()) return s;
  batch_.Close();
  if (!direct_) {
    // The rows are in; now the new table takes the old one's place.
    if (Status s = db_->EndTransaction(true); !s.ok()) return s;
    if (Status s = db_->DropIfExists(table_, false); !s.ok()) return s;
    const std::string rename =
        "ALTER TABLE " + db_->Quote(loading_) + " RENAME TO " + db_->Quote(table_);
    if (Status s = db_->Ddl(rename); !s.ok()) return s;
  }
  std::vector<std::vector<CellValue>> rows;
  for (const SourceRow& row : sources) rows.push_back(SourceCells(row));
  if (Status s = db_->ReplaceRows(kSourcesTable, SourcesColumns(), table_, rows); !s.ok())
    return s;
  if (Status s = db_->EndTransaction(true); !s.ok()) return s;
  done_ = true;
  return Status();
}

Status OdbcTarget::Open() {
  if (Status s = db_.Connect(connection_string_); !s.ok()) return s;
  const std::pair<const char*, const std::vector<ColumnPlan>*> kept[] = {
      {kCompaniesTable, &CompaniesColumns()}, {kSourcesTable, &SourcesColumns()}};
  for (const auto& [table, columns] : kept) {
    auto exists = db_.TableExists(table);
    if (!exists.ok()) return exists.status();
    if (!*exists) {
      if (Status s = db_.Ddl(db_.CreateStatement(table, *columns)); !s.ok()) return s;
    }
  }
  return db_.EndTransaction(true);
}

Result<std::unique_ptr<TableLoad>> OdbcTarget::BeginTable(const TablePlan& plan) {
  auto load = std::make_unique<OdbcTableLoad>(&db_);
  if (Status s = load->Begin(plan); !s.ok()) return s;
  return std::unique_ptr<TableLoad>(std::move(load));
}

Status OdbcTarget::ReplaceCompanies(const std::string& module,
                                    const std::vector<CompanyRow>& rows) {
  std::vector<std::vector<CellValue>> cells;
  for (const CompanyRow& row : rows) cells.push_back(CompanyCells(row));
  Status s = db_.ReplaceRows(kCompaniesTable, CompaniesColumns(), module, cells);
  if (s.ok()) s = db_.EndTransaction(true);
  return s;
}

}  // namespace

std::unique_ptr<MigrationTarget> MakeOdbcTarget(std::string connection_string) {
  return std::make_unique<OdbcTarget>(std::move(connection_string));
}

std::string WithoutPassword(const std::string& connection_string) {
  std::string out;
  size_t i = 0;
  while (i < connection_string.size()) {
    size_t end = connection_string.find(';', i);
    if (end == std::string::npos) end = connection_string.size();
    std::string_view pair(connection_string.data() + i, end - i);
    const size_t eq = pair.find('=');
    std::string_view key = pair.substr(0, eq);
    while (!key.empty() && key.front() == ' ') key.remove_prefix(1);
    while (!key.empty() && key.back() == ' ') key.remove_suffix(1);
    if (eq != std::string_view::npos &&
        (EqualsIgnoreAsciiCase(key, "PWD") || EqualsIgnoreAsciiCase(key, "PASSWORD"))) {
      out.append(pair.substr(0, eq + 1)).append("***");
    } else {
      out.append(pair);
    }
    if (end < connection_string.size()) out.push_back(';');
    i = end + 1;
  }
  return out;
}

}  // namespace rh
