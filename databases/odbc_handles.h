// The ODBC 3 handles of a migration's connection, freed with their owner,
// and the driver's diagnostics as a Status.
#ifndef RECORDHAUL_DATABASES_ODBC_HANDLES_H_
#define RECORDHAUL_DATABASES_ODBC_HANDLES_H_

#include <sql.h>
#include <sqlext.h>

#include <string>

#include "base/status.h"

namespace rh {

bool OdbcSucceeded(SQLRETURN rc);

// The diagnostics of a handle: the first SQLSTATE that is not a warning
// (01xxx), and every message text, one a line.
Status OdbcDiagnostic(SQLSMALLINT handle_type, SQLHANDLE handle, const char* call);

// A statement handle, freed at the end of its scope.
class OdbcStatement {
 public:
  OdbcStatement() = default;
  ~OdbcStatement() { Free(); }
  OdbcStatement(const OdbcStatement&) = delete;
  OdbcStatement& operator=(const OdbcStatement&) = delete;

  Status Allocate(SQLHDBC dbc);
  void Free();
  SQLHSTMT get() const { return stmt_; }
  Status Fail(const char* call) const { return OdbcDiagnostic(SQL_HANDLE_STMT, stmt_, call); }

  // SQLExecDirect, the results (if any) read and dropped.
  Status ExecDirect(const std::string& sql);

 private:
  SQLHSTMT stmt_ = SQL_NULL_HSTMT;
};

}  // namespace rh

#endif  // RECORDHAUL_DATABASES_ODBC_HANDLES_H_
