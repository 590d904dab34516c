// TableConnection: the open link to a table destination (an Excel workbook,
// a dBase folder, an Access database) through which the table writer
// executes its CREATE TABLE and INSERT statements.
#ifndef RECORDHAUL_EXPORT_TABLE_CONNECTION_H_
#define RECORDHAUL_EXPORT_TABLE_CONNECTION_H_

#include <memory>
#include <string>

#include "base/status.h"

namespace rh {

class TableConnection {
 public:
  virtual ~TableConnection() = default;

  // Executes one statement. A failure carries the driver's or engine's
  // diagnostic: the SQLSTATE as caption and its text as message.
  virtual Status Execute(const std::string& statement) = 0;

  // Ends the connection. When it returns, the destination file on disk is
  // complete and valid, holding every statement that succeeded.
  virtual Status Close() = 0;

  // Ends the connection without keeping what it wrote: an existing
  // destination stays as it was and no new file is left. A connection that
  // cannot do that keeps what it wrote, as Close() does.
  virtual void Discard() { Close(); }
};

// Connects through the ODBC driver manager (SQLDriverConnect without
// prompting) with the given connection string. Our own drivers are made known
// to the driver manager first if it does not know their names.
Result<std::unique_ptr<TableConnection>> OpenOdbcConnection(
    const std::string& connection_string);

// Creates a new Access database file at `path` through our database engine,
// with the engine's locale text (";LANGID=0x0409;CP=1252;COUNTRY=0").
Result<std::unique_ptr<TableConnection>> CreateAccessDatabase(
    const std::string& path, const std::string& locale);

}  // namespace rh

#endif  // RECORDHAUL_EXPORT_TABLE_CONNECTION_H_
