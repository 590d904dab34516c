// OdbcDatabase: one connection through the ODBC driver manager (ODBC 3,
// without prompting), and what the migration's ODBC target asks of the
// database behind it: how names are quoted, whether CREATE and DROP TABLE
// belong in transactions, how many rows one INSERT may carry, the type of
// Unicode text, and the statements it runs.
#ifndef RECORDHAUL_DATABASES_ODBC_DATABASE_H_
#define RECORDHAUL_DATABASES_ODBC_DATABASE_H_

#include <string>
#include <string_view>
#include <vector>

#include "databases/odbc_handles.h"
#include "migrate/migration_target.h"

namespace rh {

class OdbcDatabase {
 public:
  OdbcDatabase() = default;
  ~OdbcDatabase() { Disconnect(false).IgnoreError(); }
  OdbcDatabase(const OdbcDatabase&) = delete;
  OdbcDatabase& operator=(const OdbcDatabase&) = delete;

  // Connects, learns what the database takes, and turns autocommit off
  // where it has transactions.
  Status Connect(const std::string& connection_string);
  // Ends the transaction (commit or rollback) and disconnects.
  Status Disconnect(bool commit);

  SQLHDBC dbc() const { return dbc_; }
  char quote() const { return quote_; }
  // CREATE and DROP TABLE run inside transactions and are rolled back with
  // them.
  bool TransactionalDdl() const { return transactions_ == SQL_TC_ALL; }
  // How many rows of this many columns one INSERT carries.
  size_t RowsPerStatement(size_t columns) const;

  std::string Quote(std::string_view name) const;
  std::string CreateStatement(const std::string& table,
                              const std::vector<ColumnPlan>& columns) const;

  Status Exec(const std::string& sql);
  // A CREATE, DROP or ALTER TABLE: inside the transaction where the
  // database allows that, else on its own, committed at once.
  Status Ddl(const std::string& sql);
  Result<bool> TableExists(const std::string& table);
  Status DropIfExists(const std::string& table, bool in_transaction);
  Status EndTransaction(bool commit);
  // DELETE of the rows whose first column is `key`, then INSERT of `rows`.
  Status ReplaceRows(const char* table, const std::vector<ColumnPlan>& columns,
                     const std::string& key, const std::vector<std::vector<CellValue>>& rows);

 private:
  std::string UnicodeTextType();
  Status Fail(const char* call) const { return OdbcDiagnostic(SQL_HANDLE_DBC, dbc_, call); }

  SQLHENV env_ = SQL_NULL_HENV;
  SQLHDBC dbc_ = SQL_NULL_HDBC;
  bool connected_ = false;
  SQLUSMALLINT transactions_ = SQL_TC_NONE;
  char quote_ = '"';
  std::string text_type_ = "VARCHAR";
  bool multi_row_values_ = false;
};

}  // namespace rh

#endif  // RECORDHAUL_DATABASES_ODBC_DATABASE_H_
