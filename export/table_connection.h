// TableConnection: the open link to a table destination (an Excel workbook,
// a dBase folder, an Access database) through which the table writer
// executes its CREATE TABLE and INSERT statements.
#ifndef RECORDHAUL_EXPORT_TABLE_CONNECTION_H_
#define RECORDHAUL_EXPORT_TABLE_CONNECTION_H_

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/status.h"

namespace rh {

// Works out what statements come to on another thread, ahead of their
// being executed in order (TableConnection::ExecuteEncoded).
class StatementEncoder {
 public:
  virtual ~StatementEncoder() = default;
  // What `statement` comes to, into *out; false where only Execute can tell.
  virtual bool Encode(std::string_view statement, std::string* out) = 0;
  // The most bytes Encode gives.
  virtual size_t MaxBytes() const = 0;
};

class TableConnection {
 public:
  virtual ~TableConnection() = default;

  // Executes one statement. A failure carries the driver's or engine's
  // diagnostic: its SQLSTATE and text.
  virtual Status Execute(std::string_view statement) = 0;

  // An encoder for this connection's INSERTs, which other threads may use
  // while statements are executed here; null where the statements go to a
  // driver (which works them out as it executes them). Made once the
  // table exists.
  virtual std::unique_ptr<StatementEncoder> NewEncoder() const { return nullptr; }
  // Executes a statement an encoder worked out, with Execute's result.
  virtual Status ExecuteEncoded(std::string_view encoded) {
    (void)encoded;
    return Status::Sql("HY000", "this connection encodes no statements");
  }

  // Ends the connection. When it returns, the destination file on disk is
  // complete and valid, holding every statement that succeeded.
  virtual Status Close() = 0;

  // Ends the connection without keeping what it wrote: an existing
  // destination stays as it was and no new file is left. A connection that
  // cannot do that keeps what it wrote, as Close() does.
  virtual void Discard() { Close().IgnoreError(); }
};

enum class TableTarget { kNone, kExcel, kDBase, kAccess };

// What opening a connection takes.
struct TableOpenRequest {
  TableTarget target = TableTarget::kNone;
  std::string connection_string;  // Excel and dBase (ODBC)
  std::string path;               // Access: the database file
  std::string locale;             // Access: the engine's locale text
};

using ConnectionOpener =
    std::function<Result<std::unique_ptr<TableConnection>>(const TableOpenRequest&)>;

}  // namespace rh

#endif  // RECORDHAUL_EXPORT_TABLE_CONNECTION_H_
