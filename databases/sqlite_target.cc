#include "databases/sqlite_target.h"

#include <sqlite3.h>

#include <ctime>
#include <vector>

#include "databases/sql_text.h"

namespace rh {

namespace {

Status Error(sqlite3* db) { return Status::Sql("", sqlite3_errmsg(db)); }

std::string SqliteTypeName(const ColumnPlan& column) {
  // The names give SQLite's type affinities: TEXT, INTEGER, REAL, NUMERIC.
  return column.type == ColumnType::kText ? "TEXT" : StandardTypeName(column);
}

void FormatTimestamp(int64_t seconds, char out[20]) {
  std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  std::strftime(out, 20, "%Y-%m-%d %H:%M:%S", &tm);
}

// One prepared statement.
class Statement {
 public:
  ~Statement() { sqlite3_finalize(stmt_); }
  Status Prepare(sqlite3* db, const std::string& sql) {
    db_ = db;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) return Error(db);
    dates_.resize(static_cast<size_t>(sqlite3_bind_parameter_count(stmt_)));
    return Status();
  }
  // Binds the cells and runs the statement once. Texts are bound in place:
  // SQLite copies them into the row before step returns.
  Status Run(std::span<const CellValue> cells) {
    for (size_t i = 0; i < cells.size(); ++i) {
      const CellValue& c = cells[i];
      const int at = static_cast<int>(i) + 1;
      switch (c.kind) {
        case CellValue::Kind::kNull: sqlite3_bind_null(stmt_, at); break;
        case CellValue::Kind::kInteger: sqlite3_bind_int(stmt_, at, c.integer); break;
        case CellValue::Kind::kReal:
        case CellValue::Kind::kDecimal4: sqlite3_bind_double(stmt_, at, c.real); break;
        case CellValue::Kind::kText:
          sqlite3_bind_text(stmt_, at, c.text.data(), static_cast<int>(c.text.size()),
                            SQLITE_STATIC);
          break;
        case CellValue::Kind::kDate:
          FormatIsoDate(c.date, dates_[i].text);
          sqlite3_bind_text(stmt_, at, dates_[i].text, 10, SQLITE_STATIC);
          break;
        case CellValue::Kind::kTimestamp:
          FormatTimestamp(c.seconds, dates_[i].text);
          sqlite3_bind_text(stmt_, at, dates_[i].text, 19, SQLITE_STATIC);
          break;
      }
    }
    const int rc = sqlite3_step(stmt_);
    sqlite3_reset(stmt_);
    return rc == SQLITE_DONE ? Status() : Error(db_);
  }

 private:
  struct DateText {
    char text[20];
  };
  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
  std::vector<DateText> dates_;  // a buffer per parameter
};

class SqliteTarget : public MigrationTarget {
 public:
  SqliteTarget(Env* env, std::string path) : env_(env), path_(std::move(path)) {}
  ~SqliteTarget() override { Abandon(); }

  std::string Describe() const override { return path_; }
  std::string FilePath() const override { return path_; }
  bool KeepsCompletedTables() const override { return false; }

  Status Open() override;
  Result<std::unique_ptr<TableLoad>> BeginTable(const TablePlan& plan) override;
  Status ReplaceCompanies(const std::string& module,
                          const std::vector<CompanyRow>& rows) override;
  Status Finish() override;
  void Abandon() override;

  Status Exec(const std::string& sql) {
    return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK ? Status()
                                                                                 : Error(db_);
  }
  sqlite3* db() const { return db_; }

 private:
  Env* env_;
  std::string path_;
  sqlite3* db_ = nullptr;
  bool created_ = false;  // the run made the file
  bool in_transaction_ = false;
};

// A table loaded inside the run's transaction, under a savepoint of its
// own so that a load given up leaves the rest of the run.
class SqliteTableLoad : public TableLoad {
 public:
  explicit SqliteTableLoad(SqliteTarget* target) : target_(target) {}
  ~SqliteTableLoad() override {
    if (open_) target_->Exec("ROLLBACK TO table_load; RELEASE table_load").IgnoreError();
  }

  Status Begin(const TablePlan& plan) {
    if (Status s = target_->Exec("SAVEPOINT table_load"); !s.ok()) return s;
    open_ = true;
    table_ = plan.name;
    const std::string name = QuoteIdentifier(plan.name, '"');
    if (Status s = target_->Exec("DROP TABLE IF EXISTS " + name); !s.ok()) return s;
    if (Status s = target_->Exec(CreateTableStatement(plan.name, plan.columns, '"',
                                                      SqliteTypeName));
        !s.ok())
      return s;
    return insert_.Prepare(target_->db(), InsertStatement(plan.name, plan.columns, '"'));
  }

  Status AddRow(std::span<const CellValue> row) override { return insert_.Run(row); }

  Status Commit(const std::vector<SourceRow>& sources) override {
    Statement forget;
    Status s = forget.Prepare(target_->db(), "DELETE FROM sources WHERE table_name = ?");
    CellValue name;
    name.kind = CellValue::Kind::kText;
    name.text = table_;
    if (s.ok()) s = forget.Run(std::span<const CellValue>(&name, 1));
    Statement add;
    if (s.ok())
      s = add.Prepare(target_->db(), InsertStatement(kSourcesTable, SourcesColumns(), '"'));
    for (size_t i = 0; s.ok() && i < sources.size(); ++i) s = add.Run(SourceCells(sources[i]));
    if (s.ok()) s = target_->Exec("RELEASE table_load");
    if (s.ok()) open_ = false;
    return s;
  }

 private:
  SqliteTarget* target_;
  std::string table_;
  Statement insert_;
  bool open_ = false;
};

Status SqliteTarget::Open() {
  created_ = env_->GetFileKind(path_) == FileKind::kMissing;
  // One thread uses the connection: no locking of SQLite's own.
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(path_.c_str(), &db_, flags, nullptr) != SQLITE_OK)
    return db_ != nullptr ? Error(db_) : Status::Sql("", "out of memory");
  sqlite3_busy_timeout(db_, 5000);
  // Pages larger than the default suit tables loaded whole and read in
  // bulk; this takes effect only in a new file.
  if (Status s = Exec("PRAGMA page_size = 16384"); !s.ok()) return s;
  // The write lock now, so that another writer is found before any work.
  if (Status s = Exec("BEGIN IMMEDIATE"); !s.ok()) return s;
  in_transaction_ = true;
  const std::pair<const char*, const std::vector<ColumnPlan>*> kept[] = {
      {kCompaniesTable, &CompaniesColumns()}, {kSourcesTable, &SourcesColumns()}};
  for (const auto& [table, columns] : kept) {
    std::string sql = CreateTableStatement(table, *columns, '"', SqliteTypeName);
    sql.insert(std::string_view("CREATE TABLE ").size(), "IF NOT EXISTS ");
    if (Status s = Exec(sql); !s.ok()) return s;
  }
  return Status();
}

Result<std::unique_ptr<TableLoad>> SqliteTarget::BeginTable(const TablePlan& plan) {
  auto load = std::make_unique<SqliteTableLoad>(this);
  if (Status s = load->Begin(plan); !s.ok()) return s;
  return std::unique_ptr<TableLoad>(std::move(load));
}

Status SqliteTarget::ReplaceCompanies(const std::string& module,
                                      const std::vector<CompanyRow>& rows) {
  Statement forget;
  Status s = forget.Prepare(db_, "DELETE FROM companies WHERE module = ?");
  CellValue code;
  code.kind = CellValue::Kind::kText;
  code.text = module;
  if (s.ok()) s = forget.Run(std::span<const CellValue>(&code, 1));
  Statement add;
  if (s.ok()) s = add.Prepare(db_, InsertStatement(kCompaniesTable, CompaniesColumns(), '"'));
  for (size_t i = 0; s.ok() && i < rows.size(); ++i) s = add.Run(CompanyCells(rows[i]));
  return s;
}

Status SqliteTarget::Finish() {
  Status s = Exec("COMMIT");
  if (!s.ok()) return s;  // Abandon() rolls back
  in_transaction_ = false;
  created_ = false;  // the file is the run's result now
  if (sqlite3_close(db_) != SQLITE_OK) s = Error(db_);
  db_ = nullptr;
  return s;
}

void SqliteTarget::Abandon() {
  if (db_ != nullptr) {
    if (in_transaction_) Exec("ROLLBACK").IgnoreError();
    sqlite3_close_v2(db_);
    db_ = nullptr;
  }
  in_transaction_ = false;
  if (created_) {
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
      env_->Remove(path_ + suffix).IgnoreError();
    created_ = false;
  }
}

}  // namespace

std::unique_ptr<MigrationTarget> MakeSqliteTarget(Env* env, std::string path) {
  return std::make_unique<SqliteTarget>(env, std::move(path));
}

}  // namespace rh
