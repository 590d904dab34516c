// TableStore: what one of our ODBC drivers does with the statements of one
// connection. Each driver library links the driver core with exactly one
// implementation of OpenTableStore() and ThisDriver().
//
// New files are written under a temporary name beside their destination and
// renamed over it by Close(). A store destroyed without Close(), or one on
// which no table was created, leaves every destination as it was and no
// temporary file behind.
#ifndef RECORDHAUL_DRIVERS_ODBC_TABLE_STORE_H_
#define RECORDHAUL_DRIVERS_ODBC_TABLE_STORE_H_

#include <memory>
#include <optional>
#include <string_view>

#include "base/status.h"
#include "drivers/odbc/connection_string.h"
#include "drivers/sql/sql_statement.h"

namespace rh::odbc {

class TableStore {
 public:
  virtual ~TableStore() = default;
  virtual Status CreateTable(const sql::CreateTable& create) = 0;
  virtual Status Insert(const sql::Insert& insert) = 0;
  // An INSERT with the head of `head` (StatementParser::RepeatedHead) given
  // by the text of its values: a store may take the plain values an export
  // sends straight from the text. Returns what Insert() returns for the
  // parsed statement, having done exactly what it does; or none, having done
  // nothing, to have the statement parsed and given to Insert().
  virtual std::optional<Status> InsertValues(const sql::Insert& head, std::string_view values) {
    (void)head;
    (void)values;
    return std::nullopt;
  }
  // Completes every table created and puts it in place.
  virtual Status Close() = 0;
  // The file or folder the connection writes to, for SQL_DATABASE_NAME.
  virtual std::string database_name() const = 0;
};

struct DriverInfo {
  const char* component;   // in diagnostics: "[recordhaul][<component>]"
  const char* dbms_name;
  const char* library;     // SQL_DRIVER_NAME
  int max_columns;
  int file_usage;          // SQL_FILE_USAGE: a file is a catalog or a table
};

const DriverInfo& ThisDriver();

// Checks the attributes (a failure is a connection failure, 08001 unless
// said otherwise) and opens a store for them.
Result<std::unique_ptr<TableStore>> OpenTableStore(
    const ConnectionAttributes& attrs);

}  // namespace rh::odbc

#endif  // RECORDHAUL_DRIVERS_ODBC_TABLE_STORE_H_
