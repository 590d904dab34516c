#include "databases/odbc_target.h"

#include <algorithm>
#include <cctype>

#include "base/paths.h"
#include "databases/odbc_handles.h"
#include "databases/odbc_row_batch.h"
#include "databases/sql_text.h"

namespace rh {

namespace {

// Rows in one INSERT where the database takes several: up to this many
// parameters, the fewest any of them allows.
constexpr size_t kParametersPerStatement = 999;
constexpr size_t kMostRowsPerStatement = 64;
constexpr char kStagingSuffix[] = "_rh_new";

std::string StagingName(const std::string& table) {
  const size_t keep = kMaxIdentifierLength - (sizeof kStagingSuffix - 1);
  return table.substr(0, keep) + kStagingSuffix;
}

class OdbcTarget : public MigrationTarget {
 public:
  explicit OdbcTarget(std::string connection_string)
      : connection_string_(std::move(connection_string)) {}
  ~OdbcTarget() override { Abandon(); }

  std::string Describe() const override { return "odbc:" + WithoutPassword(connection_string_); }
  bool KeepsCompletedTables() const override { return true; }

  Status Open() override;
  Result<std::unique_ptr<TableLoad>> BeginTable(const TablePlan& plan) override;
  Status ReplaceCompanies(const std::string& module,
                          const std::vector<CompanyRow>& rows) override;
  Status Finish() override;
  void Abandon() override;

  // What the loads use.
  bool TransactionalDdl() const { return transactions_ == SQL_TC_ALL; }
  char quote() const { return quote_; }
  // How many rows of this many columns one INSERT carries.
  size_t RowsPerStatement(size_t columns) const {
    if (!multi_row_values_ || columns == 0) return 1;
    return std::clamp<size_t>(kParametersPerStatement / columns, 1, kMostRowsPerStatement);
  }
  std::string Quote(std::string_view name) const { return QuoteIdentifier(name, quote_); }
  Status Exec(const std::string& sql);
  // A CREATE, DROP or ALTER TABLE: inside the transaction where the
  // database allows that, else on its own, committed at once.
  Status Ddl(const std::string& sql);
  Status DropIfExists(const std::string& table, bool in_transaction);
  Status EndTransaction(bool commit);
  std::string CreateStatement(const std::string& table,
                              const std::vector<ColumnPlan>& columns) const;
  // DELETE of the rows whose first column is `key`, then INSERT of `rows`.
  Status ReplaceRows(const char* table, const std::vector<ColumnPlan>& columns,
                     const std::string& key, const std::vector<std::vector<CellValue>>& rows);
  SQLHDBC dbc() const { return dbc_; }

 private:
  Result<bool> TableExists(const std::string& table);
  std::string UnicodeTextType();
  Status Fail(const char* call) const { return OdbcDiagnostic(SQL_HANDLE_DBC, dbc_, call); }

  std::string connection_string_;
  SQLHENV env_ = SQL_NULL_HENV;
  SQLHDBC dbc_ = SQL_NULL_HDBC;
  bool connected_ = false;
  SQLUSMALLINT transactions_ = SQL_TC_NONE;
  char quote_ = '"';
  std::string text_type_ = "VARCHAR";
  bool multi_row_values_ = false;
};

class OdbcTableLoad : public TableLoad {
 public:
  explicit OdbcTableLoad(OdbcTarget* target) : target_(target) {}
  ~OdbcTableLoad() override;

  Status Begin(const TablePlan& plan);
  Status AddRow(std::span<const CellValue> row) override { return batch_.Add(row); }
  Status Flush() override { return batch_.Execute(); }
  RecordRange FailedRecords() const override { return batch_.failed(); }
  Status Commit(const std::vector<SourceRow>& sources) override;

 private:
  OdbcTarget* target_;
  std::string table_;
  std::string loading_;  // the table the rows go into
  bool direct_ = true;   // loading_ is table_, all in one transaction
  OdbcRowBatch batch_;
  bool done_ = false;
};

OdbcTableLoad::~OdbcTableLoad() {
  if (done_) return;
  batch_.Close();  // its statements go before the rollback
  target_->EndTransaction(false).IgnoreError();
  if (!direct_) target_->DropIfExists(loading_, false).IgnoreError();
}

Status OdbcTableLoad::Begin(const TablePlan& plan) {
  table_ = plan.name;
  direct_ = target_->TransactionalDdl();
  loading_ = direct_ ? table_ : StagingName(table_);
  // Direct: the old table goes in the transaction that brings the new one.
  if (Status s = target_->DropIfExists(loading_, direct_); !s.ok()) return s;
  if (Status s = target_->Ddl(target_->CreateStatement(loading_, plan.columns)); !s.ok())
    return s;
  int record_column = -1;
  for (size_t i = 0; i < plan.columns.size(); ++i) {
    if (plan.columns[i].field.source == FieldSource::kCurrentRecord)
      record_column = static_cast<int>(i);
  }
  return batch_.Prepare(target_->dbc(), loading_, plan.columns, target_->quote(),
                        target_->RowsPerStatement(plan.columns.size()), record_column);
}

Status OdbcTableLoad::Commit(const std::vector<SourceRow>& sources) {
  if (Status s = batch_.Execute(); !s.ok()) return s;
  batch_.Close();
  if (!direct_) {
    // The rows are in; now the new table takes the old one's place.
    if (Status s = target_->EndTransaction(true); !s.ok()) return s;
    if (Status s = target_->DropIfExists(table_, false); !s.ok()) return s;
    const std::string rename =
        "ALTER TABLE " + target_->Quote(loading_) + " RENAME TO " + target_->Quote(table_);
    if (Status s = target_->Ddl(rename); !s.ok()) return s;
  }
  std::vector<std::vector<CellValue>> rows;
  for (const SourceRow& row : sources) rows.push_back(SourceCells(row));
  if (Status s = target_->ReplaceRows(kSourcesTable, SourcesColumns(), table_, rows); !s.ok())
    return s;
  if (Status s = target_->EndTransaction(true); !s.ok()) return s;
  done_ = true;
  return Status();
}

Status OdbcTarget::Open() {
  if (!OdbcSucceeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_))) {
    env_ = SQL_NULL_HENV;
    return Status::Sql("HY001", "SQLAllocHandle failed");
  }
  SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  if (!OdbcSucceeded(SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_))) {
    dbc_ = SQL_NULL_HDBC;
    return OdbcDiagnostic(SQL_HANDLE_ENV, env_, "SQLAllocHandle");
  }
  SQLSetConnectAttr(dbc_, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(15), 0);
  auto* text = reinterpret_cast<SQLCHAR*>(const_cast<char*>(connection_string_.c_str()));
  const SQLRETURN rc = SQLDriverConnect(dbc_, nullptr, text, SQL_NTS, nullptr, 0, nullptr,
                                        SQL_DRIVER_NOPROMPT);
  if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) return Fail("SQLDriverConnect");
  connected_ = true;

  char quote[8] = {};
  if (OdbcSucceeded(SQLGetInfo(dbc_, SQL_IDENTIFIER_QUOTE_CHAR, quote, sizeof quote, nullptr)))
    quote_ = quote[0] == ' ' ? '\0' : quote[0];
  if (!OdbcSucceeded(SQLGetInfo(dbc_, SQL_TXN_CAPABLE, &transactions_, 0, nullptr)))
    transactions_ = SQL_TC_NONE;
  if (transactions_ != SQL_TC_NONE &&
      !OdbcSucceeded(SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT,
                                       reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0)))
    return Fail("SQLSetConnectAttr");
  text_type_ = UnicodeTextType();
  // The databases known to take INSERT ... VALUES (...), (...); ODBC has
  // no way to ask.
  char dbms[64] = {};
  if (OdbcSucceeded(SQLGetInfo(dbc_, SQL_DBMS_NAME, dbms, sizeof dbms, nullptr))) {
    for (std::string_view known : {"PostgreSQL", "MySQL", "MariaDB", "Microsoft SQL Server",
                                   "SQLite"})
      multi_row_values_ |= std::string_view(dbms).starts_with(known);
  }

  const std::pair<const char*, const std::vector<ColumnPlan>*> kept[] = {
      {kCompaniesTable, &CompaniesColumns()}, {kSourcesTable, &SourcesColumns()}};
  for (const auto& [table, columns] : kept) {
    auto exists = TableExists(table);
    if (!exists.ok()) return exists.status();
    if (!*exists) {
      if (Status s = Ddl(CreateStatement(table, *columns)); !s.ok()) return s;
    }
  }
  return EndTransaction(true);
}

Result<std::unique_ptr<TableLoad>> OdbcTarget::BeginTable(const TablePlan& plan) {
  auto load = std::make_unique<OdbcTableLoad>(this);
  if (Status s = load->Begin(plan); !s.ok()) return s;
  return std::unique_ptr<TableLoad>(std::move(load));
}

Status OdbcTarget::ReplaceCompanies(const std::string& module,
                                    const std::vector<CompanyRow>& rows) {
  std::vector<std::vector<CellValue>> cells;
  for (const CompanyRow& row : rows) cells.push_back(CompanyCells(row));
  Status s = ReplaceRows(kCompaniesTable, CompaniesColumns(), module, cells);
  if (s.ok()) s = EndTransaction(true);
  return s;
}

Status OdbcTarget::Finish() {
  Status s = EndTransaction(true);
  if (!s.ok()) return s;
  if (!OdbcSucceeded(SQLDisconnect(dbc_))) s = Fail("SQLDisconnect");
  connected_ = false;
  Abandon();
  return s;
}

void OdbcTarget::Abandon() {
  if (connected_) {
    EndTransaction(false).IgnoreError();
    SQLDisconnect(dbc_);
    connected_ = false;
  }
  if (dbc_ != SQL_NULL_HDBC) SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
  if (env_ != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, env_);
  dbc_ = SQL_NULL_HDBC;
  env_ = SQL_NULL_HENV;
}

Status OdbcTarget::Exec(const std::string& sql) {
  OdbcStatement stmt;
  if (Status s = stmt.Allocate(dbc_); !s.ok()) return s;
  return stmt.ExecDirect(sql);
}

Status OdbcTarget::Ddl(const std::string& sql) {
  if (TransactionalDdl() || transactions_ == SQL_TC_NONE) return Exec(sql);
  // Outside any transaction: autocommit on commits what is open, and the
  // statement commits itself.
  auto autocommit = [this](SQLULEN on) {
    return SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(on), 0);
  };
  if (!OdbcSucceeded(autocommit(SQL_AUTOCOMMIT_ON))) return Fail("SQLSetConnectAttr");
  Status s = Exec(sql);
  if (!OdbcSucceeded(autocommit(SQL_AUTOCOMMIT_OFF)) && s.ok()) s = Fail("SQLSetConnectAttr");
  return s;
}

Status OdbcTarget::DropIfExists(const std::string& table, bool in_transaction) {
  auto exists = TableExists(table);
  if (!exists.ok()) return exists.status();
  if (!*exists) return Status();
  const std::string sql = "DROP TABLE " + Quote(table);
  return in_transaction ? Exec(sql) : Ddl(sql);
}

Status OdbcTarget::EndTransaction(bool commit) {
  if (!connected_ || transactions_ == SQL_TC_NONE) return Status();
  if (OdbcSucceeded(SQLEndTran(SQL_HANDLE_DBC, dbc_, commit ? SQL_COMMIT : SQL_ROLLBACK)))
    return Status();
  return Fail("SQLEndTran");
}

std::string OdbcTarget::CreateStatement(const std::string& table,
                                        const std::vector<ColumnPlan>& columns) const {
  return CreateTableStatement(table, columns, quote_, [this](const ColumnPlan& c) {
    if (c.type != ColumnType::kText) return StandardTypeName(c);
    return text_type_ + "(" + std::to_string(c.length > 0 ? c.length : 1) + ")";
  });
}

Status OdbcTarget::ReplaceRows(const char* table, const std::vector<ColumnPlan>& columns,
                               const std::string& key,
                               const std::vector<std::vector<CellValue>>& rows) {
  OdbcStatement forget;
  if (Status s = forget.Allocate(dbc_); !s.ok()) return s;
  const std::string sql =
      "DELETE FROM " + Quote(table) + " WHERE " + Quote(columns[0].name) + " = ?";
  std::u16string units(key.begin(), key.end());  // an ASCII key: a code or a name
  SQLLEN length = static_cast<SQLLEN>(units.size() * sizeof(char16_t));
  auto* text = reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str()));
  if (!OdbcSucceeded(SQLBindParameter(forget.get(), 1, SQL_PARAM_INPUT, SQL_C_WCHAR,
                                      SQL_WVARCHAR, static_cast<SQLULEN>(columns[0].length),
                                      0, units.data(), length, &length)) ||
      !OdbcSucceeded(SQLExecDirect(forget.get(), text, SQL_NTS)))
    return forget.Fail("SQLExecDirect");
  OdbcRowBatch batch;
  if (Status s = batch.Prepare(dbc_, table, columns, quote_, 1, -1); !s.ok()) return s;
  for (const std::vector<CellValue>& row : rows) {
    if (Status s = batch.Add(row); !s.ok()) return s;
  }
  return batch.Execute();
}

Result<bool> OdbcTarget::TableExists(const std::string& table) {
  OdbcStatement stmt;
  if (Status s = stmt.Allocate(dbc_); !s.ok()) return s;
  auto* name = reinterpret_cast<SQLCHAR*>(const_cast<char*>(table.c_str()));
  auto* kind = reinterpret_cast<SQLCHAR*>(const_cast<char*>("TABLE"));
  if (!OdbcSucceeded(SQLTables(stmt.get(), nullptr, 0, nullptr, 0, name, SQL_NTS, kind, SQL_NTS)))
    return stmt.Fail("SQLTables");
  // The name is a pattern, in which "_" stands for any character: the rows
  // are compared with it.
  SQLCHAR found[256];
  SQLLEN length = 0;
  SQLBindCol(stmt.get(), 3, SQL_C_CHAR, found, sizeof found, &length);
  SQLRETURN rc;
  while ((rc = SQLFetch(stmt.get())) == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO) {
    if (length > 0 && EqualsIgnoreAsciiCase(reinterpret_cast<char*>(found), table)) return true;
  }
  if (rc != SQL_NO_DATA) return stmt.Fail("SQLFetch");
  return false;
}

std::string OdbcTarget::UnicodeTextType() {
  OdbcStatement stmt;
  if (!stmt.Allocate(dbc_).ok() || !OdbcSucceeded(SQLGetTypeInfo(stmt.get(), SQL_WVARCHAR)))
    return "VARCHAR";
  // The first type that takes a length: a text of unlimited length would
  // also do, but says less about the field.
  SQLCHAR name[128];
  SQLCHAR params[128];
  SQLLEN name_length = 0;
  SQLLEN params_length = 0;
  SQLBindCol(stmt.get(), 1, SQL_C_CHAR, name, sizeof name, &name_length);
  SQLBindCol(stmt.get(), 6, SQL_C_CHAR, params, sizeof params, &params_length);
  SQLRETURN rc;
  while ((rc = SQLFetch(stmt.get())) == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO) {
    if (name_length > 0 && params_length > 0) return reinterpret_cast<char*>(name);
  }
  return "VARCHAR";
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
