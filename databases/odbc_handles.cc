#include "databases/odbc_handles.h"

namespace rh {

bool OdbcSucceeded(SQLRETURN rc) {
  return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO || rc == SQL_NO_DATA;
}

Status OdbcDiagnostic(SQLSMALLINT handle_type, SQLHANDLE handle, const char* call) {
  std::string first_state;
  std::string text;
  for (SQLSMALLINT i = 1; i <= 16; ++i) {
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLCHAR message[SQL_MAX_MESSAGE_LENGTH + 1] = {};
    SQLSMALLINT length = 0;
    const SQLRETURN rc = SQLGetDiagRec(handle_type, handle, i, state, &native, message,
                                       sizeof message, &length);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) break;
    const std::string sqlstate(reinterpret_cast<char*>(state));
    if (first_state.empty() || (first_state.starts_with("01") && !sqlstate.starts_with("01")))
      first_state = sqlstate;
    if (!text.empty()) text += '\n';
    text += reinterpret_cast<char*>(message);
  }
  if (first_state.empty())
    return Status::Sql("HY000", std::string(call) + " failed without a diagnostic");
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return Status::Sql(first_state, text);
}

Status OdbcStatement::Allocate(SQLHDBC dbc) {
  Free();
  if (!OdbcSucceeded(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt_))) {
    stmt_ = SQL_NULL_HSTMT;
    return OdbcDiagnostic(SQL_HANDLE_DBC, dbc, "SQLAllocHandle");
  }
  return Status();
}

void OdbcStatement::Free() {
  if (stmt_ != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
  stmt_ = SQL_NULL_HSTMT;
}

Status OdbcStatement::ExecDirect(const std::string& sql) {
  SQLFreeStmt(stmt_, SQL_CLOSE);
  auto* text = reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str()));
  if (!OdbcSucceeded(SQLExecDirect(stmt_, text, SQL_NTS))) return Fail("SQLExecDirect");
  SQLRETURN rc;
  while ((rc = SQLMoreResults(stmt_)) != SQL_NO_DATA)
    if (!OdbcSucceeded(rc)) return Fail("SQLMoreResults");
  SQLFreeStmt(stmt_, SQL_CLOSE);
  return Status();
}

}  // namespace rh
