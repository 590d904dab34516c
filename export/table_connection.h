// TableConnection: the open link to a table destination (an Excel workbook,
// a dBase folder, an Access database) through which the table writer
// executes its CREATE TABLE and INSERT statements.
#ifndef RECORDHAUL_EXPORT_TABLE_CONNECTION_H_
#define RECORDHAUL_EXPORT_TABLE_CONNECTION_H_

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

}  // namespace rh

#endif  // RECORDHAUL_EXPORT_TABLE_CONNECTION_H_
