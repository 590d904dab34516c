#include "connections/odbc_connection.h"

#include <sql.h>
#include <sqlext.h>

#include <memory>
#include <string>

#include "drivers/odbc/driver_options.h"
#include "drivers/odbc/registration.h"

namespace rh {

namespace {

// The environment handle is shared by every connection of the process, as
// ODBC has it: allocated with the first, freed with the last.
struct SharedEnvironment {
  SQLHENV env = SQL_NULL_HENV;
  int connections = 0;
  bool registered = false;
};

SharedEnvironment& Shared() {
  static SharedEnvironment shared;
  return shared;
}

bool Succeeded(SQLRETURN rc) {
  return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO || rc == SQL_NO_DATA;
}

// The diagnostics of the most specific handle given, from SQLError: the
// first SQLSTATE that is not a warning (01xxx), and all message texts, one a
// line.
Status Diagnostic(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt, const char* call) {
  std::string first_state;
  std::string text;
  for (int i = 0; i < 16; ++i) {
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLCHAR message[SQL_MAX_MESSAGE_LENGTH + 1] = {};
    SQLSMALLINT length = 0;
    SQLRETURN rc = SQLError(env, dbc, stmt, state, &native, message,
                            sizeof message, &length);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) break;
    std::string sqlstate(reinterpret_cast<char*>(state));
    if (first_state.empty() || (first_state.starts_with("01") && !sqlstate.starts_with("01")))
      first_state = sqlstate;
    if (!text.empty()) text += '\n';
    text += reinterpret_cast<char*>(message);
  }
  if (first_state.empty())
    return Status::Sql("HY000", std::string(call) + " failed without a diagnostic");
  return Status::Sql(first_state, text);
}

// Drops the shared environment when the last connection is gone.
void ReleaseEnvironment() {
  SharedEnvironment& shared = Shared();
  if (--shared.connections == 0) {
    SQLFreeEnv(shared.env);
    shared.env = SQL_NULL_HENV;
  }
}

class OdbcConnection : public TableConnection {
 public:
  explicit OdbcConnection(SQLHDBC dbc) : dbc_(dbc) {}
  ~OdbcConnection() override { Close().IgnoreError(); }

  Status Execute(std::string_view statement) override;
  Status Close() override;
  void Discard() override;

 private:
  Status FailStatement(const char* call);

  SQLHDBC dbc_;
  // One statement handle serves every statement of the connection: the
  // driver manager's work to allocate and free a handle costs more than a
  // record's INSERT. Dropped after a failure, so the next statement starts
  // on a fresh one.
  SQLHSTMT stmt_ = SQL_NULL_HSTMT;
  bool open_ = true;
  bool set_query_timeout_ = true;  // until the driver refuses it
};

Status OdbcConnection::FailStatement(const char* call) {
  Status s = Diagnostic(SQL_NULL_HENV, SQL_NULL_HDBC, stmt_, call);
  SQLCancel(stmt_);
  SQLFreeStmt(stmt_, SQL_DROP);
  stmt_ = SQL_NULL_HSTMT;
  return s;
}

Status OdbcConnection::Execute(std::string_view statement) {
  if (!open_) return Status::Sql("08003", "connection closed");
  if (stmt_ == SQL_NULL_HSTMT) {
    if (!Succeeded(SQLAllocStmt(dbc_, &stmt_))) {
      stmt_ = SQL_NULL_HSTMT;
      return Diagnostic(SQL_NULL_HENV, dbc_, SQL_NULL_HSTMT, "SQLAllocStmt");
    }
    if (set_query_timeout_ && !Succeeded(SQLSetStmtOption(stmt_, SQL_QUERY_TIMEOUT, 15)))
      set_query_timeout_ = false;
  }
  // The text up to a NUL, as a C string would end there, given with its
  // length so that neither the driver manager nor the driver measures it.
  statement = statement.substr(0, statement.find('\0'));
  if (statement.size() > static_cast<size_t>(INT32_MAX))
    return Status::Sql("HY090", "statement too long");
  // The driver manager refuses a length of 0 itself; an empty C string
  // goes on to the driver, which says what is wrong with it.
  const char* const chars = statement.empty() ? "" : statement.data();
  auto* text = reinterpret_cast<SQLCHAR*>(const_cast<char*>(chars));
  const SQLINTEGER length = statement.empty() ? SQL_NTS : static_cast<SQLINTEGER>(statement.size());
  SQLRETURN rc;
  do {
    rc = SQLExecDirect(stmt_, text, length);
  } while (rc == SQL_STILL_EXECUTING);
  if (!Succeeded(rc)) return FailStatement("SQLExecDirect");
  SQLSMALLINT columns = 0;
  if (!Succeeded(SQLNumResultCols(stmt_, &columns))) return FailStatement("SQLNumResultCols");
  if (columns > 0) {
    while ((rc = SQLFetch(stmt_)) != SQL_NO_DATA)
      if (!Succeeded(rc)) return FailStatement("SQLFetch");
  }
  // With no more results the handle is back to its allocated state, ready
  // for the next statement.
  while ((rc = SQLMoreResults(stmt_)) != SQL_NO_DATA)
    if (!Succeeded(rc)) return FailStatement("SQLMoreResults");
  return Status();
}

Status OdbcConnection::Close() {
  if (!open_) return Status();
  open_ = false;
  if (stmt_ != SQL_NULL_HSTMT) SQLFreeStmt(stmt_, SQL_DROP);
  stmt_ = SQL_NULL_HSTMT;
  Status s;
  if (!Succeeded(SQLDisconnect(dbc_)))
    s = Diagnostic(SQL_NULL_HENV, dbc_, SQL_NULL_HSTMT, "SQLDisconnect");
  SQLFreeConnect(dbc_);
  ReleaseEnvironment();
  return s;
}

void OdbcConnection::Discard() {
  // Our drivers then drop the table instead of putting it in place; another
  // driver refuses the option and keeps what it wrote.
  if (open_) SQLSetConnectOption(dbc_, odbc::kDiscardOnDisconnect, 1);
  Close().IgnoreError();
}

// Reads one SQLUSMALLINT information value.
Result<SQLUSMALLINT> InfoValue(SQLHDBC dbc, SQLUSMALLINT type) {
  SQLUSMALLINT value = 0;
  if (!Succeeded(SQLGetInfo(dbc, type, &value, sizeof value, nullptr)))
    return Diagnostic(SQL_NULL_HENV, dbc, SQL_NULL_HSTMT, "SQLGetInfo");
  return value;
}

Status CheckConformance(SQLHDBC dbc) {
  auto api = InfoValue(dbc, SQL_ODBC_API_CONFORMANCE);
  if (!api.ok()) return api.status();
  auto sql = InfoValue(dbc, SQL_ODBC_SQL_CONFORMANCE);
  if (!sql.ok()) return sql.status();
  // Minimum is the lowest SQL level, so any level the driver reports will
  // do; the API level must be 1 or 2.
  if (*api < SQL_OAC_LEVEL1)
    return Status::Sql("IM001", "the driver is below ODBC API conformance Level 1");
  return Status();
}

}  // namespace

Result<std::unique_ptr<TableConnection>> OpenOdbcConnection(
    const std::string& connection_string) {
  SharedEnvironment& shared = Shared();
  if (shared.connections == 0) {
    if (!shared.registered) {
      Status s = odbc::EnsureDriversRegistered();
      if (!s.ok()) return s;
      shared.registered = true;
    }
    if (!Succeeded(SQLAllocEnv(&shared.env)))
      return Status::Sql("HY001", "SQLAllocEnv failed");
  }
  ++shared.connections;
  SQLHDBC dbc = SQL_NULL_HDBC;
  if (!Succeeded(SQLAllocConnect(shared.env, &dbc))) {
    Status s = Diagnostic(shared.env, SQL_NULL_HDBC, SQL_NULL_HSTMT, "SQLAllocConnect");
    ReleaseEnvironment();
    return s;
  }
  Status s;
  if (!Succeeded(SQLSetConnectOption(dbc, SQL_LOGIN_TIMEOUT, 15)))
    s = Diagnostic(SQL_NULL_HENV, dbc, SQL_NULL_HSTMT, "SQLSetConnectOption");
  if (s.ok()) {
    auto* text = reinterpret_cast<SQLCHAR*>(const_cast<char*>(connection_string.c_str()));
    SQLRETURN rc = SQLDriverConnect(dbc, nullptr, text, SQL_NTS, nullptr, 0, nullptr,
                                    SQL_DRIVER_NOPROMPT);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO)
      s = Diagnostic(SQL_NULL_HENV, dbc, SQL_NULL_HSTMT, "SQLDriverConnect");
    else if (s = CheckConformance(dbc); !s.ok())
      SQLDisconnect(dbc);
  }
  if (!s.ok()) {
    SQLFreeConnect(dbc);
    ReleaseEnvironment();
    return s;
  }
  return std::unique_ptr<TableConnection>(new OdbcConnection(dbc));
}

}  // namespace rh
