#include "databases/odbc_database.h"

#include <algorithm>

#include "base/paths.h"
#include "databases/odbc_row_batch.h"
#include "databases/sql_text.h"

namespace rh {

namespace {

// Rows in one INSERT where the database takes several: up to this many
// parameters, the fewest any of them allows.
constexpr size_t kParametersPerStatement = 999;
constexpr size_t kMostRowsPerStatement = 64;

}  // namespace

Status OdbcDatabase::Connect(const std::string& connection_string) {
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
  auto* text = reinterpret_cast<SQLCHAR*>(const_cast<char*>(connection_string.c_str()));
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
  return Status();
}

Status OdbcDatabase::Disconnect(bool commit) {
  Status s;
  if (connected_) {
    s = EndTransaction(commit);
    if (!OdbcSucceeded(SQLDisconnect(dbc_)) && s.ok()) s = Fail("SQLDisconnect");
    connected_ = false;
  }
  if (dbc_ != SQL_NULL_HDBC) SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
  if (env_ != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, env_);
  dbc_ = SQL_NULL_HDBC;
  env_ = SQL_NULL_HENV;
  return s;
}

size_t OdbcDatabase::RowsPerStatement(size_t columns) const {
  if (!multi_row_values_ || columns == 0) return 1;
  return std::clamp<size_t>(kParametersPerStatement / columns, 1, kMostRowsPerStatement);
}

std::string OdbcDatabase::Quote(std::string_view name) const {
  return QuoteIdentifier(name, quote_);
}

Status OdbcDatabase::Exec(const std::string& sql) {
  OdbcStatement stmt;
  if (Status s = stmt.Allocate(dbc_); !s.ok()) return s;
  return stmt.ExecDirect(sql);
}

Status OdbcDatabase::Ddl(const std::string& sql) {
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

Status OdbcDatabase::DropIfExists(const std::string& table, bool in_transaction) {
  auto exists = TableExists(table);
  if (!exists.ok()) return exists.status();
  if (!*exists) return Status();
  const std::string sql = "DROP TABLE " + Quote(table);
  return in_transaction ? Exec(sql) : Ddl(sql);
}

Status OdbcDatabase::EndTransaction(bool commit) {
  if (!connected_ || transactions_ == SQL_TC_NONE) return Status();
  if (OdbcSucceeded(SQLEndTran(SQL_HANDLE_DBC, dbc_, commit ? SQL_COMMIT : SQL_ROLLBACK)))
    return Status();
  return Fail("SQLEndTran");
}

std::string OdbcDatabase::CreateStatement(const std::string& table,
                                        const std::vector<ColumnPlan>& columns) const {
  return CreateTableStatement(table, columns, quote_, [this](const ColumnPlan& c) {
    if (c.type != ColumnType::kText) return StandardTypeName(c);
    return text_type_ + "(" + std::to_string(c.length > 0 ? c.length : 1) + ")";
  });
}

Status OdbcDatabase::ReplaceRows(const char* table, const std::vector<ColumnPlan>& columns,
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

Result<bool> OdbcDatabase::TableExists(const std::string& table) {
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

std::string OdbcDatabase::UnicodeTextType() {
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

}  // namespace rh
