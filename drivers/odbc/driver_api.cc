// The ODBC entry points of our drivers, in their ODBC 3 and ODBC 2 forms.
//
// The driver manager validates most call sequences itself; the checks here
// keep direct or careless callers from crashing the driver: every handle is
// checked for its kind, every pointer for null, every length for sense.
#include <algorithm>
#include <cstring>
#include <variant>

#include "drivers/odbc/connection_string.h"
#include "drivers/odbc/driver_handles.h"
#include "drivers/odbc/driver_options.h"
#include "drivers/sql/sql_statement.h"

#include <odbcinst.h>

using namespace rh::odbc;

namespace {

// The library exports only these (its version script hides the rest).
#define RH_ODBC_API extern "C" SQLRETURN SQL_API

SQLRETURN AllocEnv(SQLHANDLE* out) {
  if (!out) return SQL_ERROR;
  *out = new EnvHandle();
  return SQL_SUCCESS;
}

SQLRETURN AllocDbc(SQLHANDLE env_handle, SQLHANDLE* out) {
  EnvHandle* env = HandleOf<EnvHandle>(env_handle);
  if (!env) return SQL_INVALID_HANDLE;
  env->diag.Clear();
  if (!out) return env->Fail("HY009", "null output handle pointer");
  *out = new DbcHandle(env);
  ++env->connections;
  return SQL_SUCCESS;
}

SQLRETURN AllocStmt(SQLHANDLE dbc_handle, SQLHANDLE* out) {
  DbcHandle* dbc = HandleOf<DbcHandle>(dbc_handle);
  if (!dbc) return SQL_INVALID_HANDLE;
  dbc->diag.Clear();
  if (!out) return dbc->Fail("HY009", "null output handle pointer");
  if (!dbc->store) return dbc->Fail("08003", "connection not open");
  auto* stmt = new StmtHandle(dbc);
  dbc->statements.push_back(stmt);
  *out = stmt;
  return SQL_SUCCESS;
}

SQLRETURN FreeEnv(SQLHANDLE h) {
  EnvHandle* env = HandleOf<EnvHandle>(h);
  if (!env) return SQL_INVALID_HANDLE;
  env->diag.Clear();
  if (env->connections > 0) return env->Fail("HY010", "connections still allocated");
  delete env;
  return SQL_SUCCESS;
}

SQLRETURN FreeDbc(SQLHANDLE h) {
  DbcHandle* dbc = HandleOf<DbcHandle>(h);
  if (!dbc) return SQL_INVALID_HANDLE;
  dbc->diag.Clear();
  if (dbc->store) return dbc->Fail("HY010", "connection still open");
  --dbc->env->connections;
  delete dbc;
  return SQL_SUCCESS;
}

SQLRETURN DropStmt(StmtHandle* stmt) {
  auto& list = stmt->dbc->statements;
  list.erase(std::find(list.begin(), list.end(), stmt));
  delete stmt;
  return SQL_SUCCESS;
}

SQLRETURN Connect(DbcHandle* dbc, const ConnectionAttributes& attrs) {
  auto read_only = attrs.Get("READONLY");
  ConnectionAttributes effective = attrs;
  if (dbc->access_mode == SQL_MODE_READ_ONLY && !(read_only && IsTrueValue(*read_only)))
    effective.Add("READONLY", "1");
  auto store = OpenTableStore(effective);
  if (!store.ok()) return dbc->Fail(store.status());
  dbc->store = std::move(store).value();
  return SQL_SUCCESS;
}

// Runs one statement on its connection's store.
SQLRETURN Execute(StmtHandle* stmt, std::string_view text) {
  stmt->row_count = -1;
  TableStore* store = stmt->dbc->store.get();
  if (!store) return stmt->Fail("08003", "connection not open");
  // An export's INSERTs repeat their head; their values may not need parsing.
  if (auto repeated = stmt->dbc->parser.RepeatedHead(text)) {
    if (std::optional<rh::Status> s = store->InsertValues(*repeated->head, repeated->values)) {
      if (!s->ok()) return stmt->Fail(*s);
      stmt->row_count = 1;
      return SQL_SUCCESS;
    }
  }
  auto parsed = stmt->dbc->parser.Parse(text);
  if (!parsed.ok()) return stmt->Fail(parsed.status());
  rh::Status s;
  if (auto* create = std::get_if<rh::sql::CreateTable>(*parsed)) {
    s = store->CreateTable(*create);
    if (s.ok()) stmt->row_count = 0;
  } else {
    s = store->Insert(std::get<rh::sql::Insert>(**parsed));
    if (s.ok()) stmt->row_count = 1;
  }
  return s.ok() ? SQL_SUCCESS : stmt->Fail(s);
}

HandleBase* DiagHandle(SQLSMALLINT type, SQLHANDLE h) {
  switch (type) {
    case SQL_HANDLE_ENV: return HandleOf<EnvHandle>(h);
    case SQL_HANDLE_DBC: return HandleOf<DbcHandle>(h);
    case SQL_HANDLE_STMT: return HandleOf<StmtHandle>(h);
  }
  return nullptr;
}

SQLRETURN SetConnectAttr(DbcHandle* dbc, SQLINTEGER attr, SQLULEN v) {
  switch (attr) {
    case SQL_ATTR_LOGIN_TIMEOUT: dbc->login_timeout = static_cast<SQLUINTEGER>(v); return SQL_SUCCESS;
    case SQL_ATTR_CONNECTION_TIMEOUT:
    case SQL_ATTR_PACKET_SIZE:
    case SQL_ATTR_QUIET_MODE:
      return SQL_SUCCESS;  // nothing to wait for, nothing to show
    case SQL_ATTR_ACCESS_MODE:
      if (v != SQL_MODE_READ_ONLY && v != SQL_MODE_READ_WRITE)
        return dbc->Fail("HY024", "invalid access mode");
      if (dbc->store) return dbc->Fail("HY011", "access mode is set before connecting");
      dbc->access_mode = static_cast<SQLUINTEGER>(v);
      return SQL_SUCCESS;
    case SQL_ATTR_AUTOCOMMIT:
      if (v == SQL_AUTOCOMMIT_ON) return SQL_SUCCESS;
      return dbc->Fail("HYC00", "transactions are not supported: every statement commits");
    case SQL_ATTR_TXN_ISOLATION:
      return dbc->Fail("HYC00", "transactions are not supported");
    case kDiscardOnDisconnect:
      dbc->discard_on_disconnect = v != 0;
      return SQL_SUCCESS;
  }
  return dbc->Fail("HY092", "connection attribute " + std::to_string(attr) + " not supported");
}

SQLRETURN GetConnectAttr(DbcHandle* dbc, SQLINTEGER attr, SQLPOINTER value) {
  SQLUINTEGER v;
  switch (attr) {
    case SQL_ATTR_LOGIN_TIMEOUT: v = dbc->login_timeout; break;
    case SQL_ATTR_ACCESS_MODE: v = dbc->access_mode; break;
    case SQL_ATTR_AUTOCOMMIT: v = SQL_AUTOCOMMIT_ON; break;
    case SQL_ATTR_CONNECTION_DEAD: v = dbc->store ? SQL_CD_FALSE : SQL_CD_TRUE; break;
    case SQL_ATTR_CONNECTION_TIMEOUT: v = 0; break;
    case SQL_ATTR_TXN_ISOLATION: v = 0; break;
    default:
      return dbc->Fail("HY092", "connection attribute " + std::to_string(attr) + " not supported");
  }
  if (!value) return dbc->Fail("HY009", "null value pointer");
  *static_cast<SQLUINTEGER*>(value) = v;
  return SQL_SUCCESS;
}

SQLRETURN SetStmtAttr(StmtHandle* stmt, SQLINTEGER attr, SQLULEN v) {
  switch (attr) {
    case SQL_ATTR_QUERY_TIMEOUT: stmt->query_timeout = v; return SQL_SUCCESS;
    case SQL_ATTR_MAX_ROWS:
    case SQL_ATTR_MAX_LENGTH:
    case SQL_ATTR_NOSCAN:
    case SQL_ATTR_ASYNC_ENABLE:
      if (attr == SQL_ATTR_ASYNC_ENABLE && v != SQL_ASYNC_ENABLE_OFF)
        return stmt->Fail("HYC00", "asynchronous execution is not supported");
      return SQL_SUCCESS;
    case SQL_ATTR_CURSOR_TYPE:
      if (v != SQL_CURSOR_FORWARD_ONLY) return stmt->Warn("01S02", "cursor type changed");
      return SQL_SUCCESS;
    case SQL_ATTR_CONCURRENCY:
      if (v != SQL_CONCUR_READ_ONLY) return stmt->Warn("01S02", "concurrency changed");
      return SQL_SUCCESS;
    case SQL_ROWSET_SIZE:
    case SQL_ATTR_ROW_ARRAY_SIZE:
    case SQL_ATTR_PARAMSET_SIZE:
      if (v != 1) return stmt->Warn("01S02", "array size changed to 1");
      return SQL_SUCCESS;
  }
  return stmt->Fail("HY092", "statement attribute " + std::to_string(attr) + " not supported");
}

SQLRETURN GetStmtAttr(StmtHandle* stmt, SQLINTEGER attr, SQLPOINTER value) {
  SQLULEN v;
  switch (attr) {
    case SQL_ATTR_QUERY_TIMEOUT: v = stmt->query_timeout; break;
    case SQL_ATTR_MAX_ROWS:
    case SQL_ATTR_MAX_LENGTH:
    case SQL_ATTR_NOSCAN:
    case SQL_ATTR_ASYNC_ENABLE:
      v = 0;
      break;
    case SQL_ATTR_CURSOR_TYPE: v = SQL_CURSOR_FORWARD_ONLY; break;
    case SQL_ATTR_CONCURRENCY: v = SQL_CONCUR_READ_ONLY; break;
    case SQL_ROWSET_SIZE:
    case SQL_ATTR_ROW_ARRAY_SIZE:
    case SQL_ATTR_PARAMSET_SIZE:
      v = 1;
      break;
    case SQL_ATTR_APP_ROW_DESC:
    case SQL_ATTR_APP_PARAM_DESC:
    case SQL_ATTR_IMP_ROW_DESC:
    case SQL_ATTR_IMP_PARAM_DESC:
      // The driver manager asks for these with every new statement.
      return stmt->Fail("HYC00", StaticText{"descriptors are not supported"});
    default:
      return stmt->Fail("HY092", "statement attribute " + std::to_string(attr) + " not supported");
  }
  if (!value) return stmt->Fail("HY009", "null value pointer");
  *static_cast<SQLULEN*>(value) = v;
  return SQL_SUCCESS;
}

SQLRETURN DiagRec(HandleBase* h, SQLSMALLINT rec, SQLCHAR* state, SQLINTEGER* native,
                  SQLCHAR* msg, SQLSMALLINT max, SQLSMALLINT* len) {
  if (rec < 1) return SQL_ERROR;
  if (max < 0) return SQL_ERROR;
  if (static_cast<size_t>(rec) > h->diag.size()) return SQL_NO_DATA;
  const DiagRecord& r = h->diag.record(static_cast<size_t>(rec) - 1);
  const std::string message = r.Message();
  if (state) std::memcpy(state, r.sqlstate, 6);
  if (native) *native = 0;
  // Truncation is reported by the return code alone: a diagnostic call
  // does not add diagnostics.
  if (len) *len = static_cast<SQLSMALLINT>(std::min<size_t>(message.size(), 32767));
  if (msg && max > 0) {
    size_t n = std::min(message.size(), static_cast<size_t>(max) - 1);
    std::memcpy(msg, message.data(), n);
    msg[n] = '\0';
    if (n < message.size()) return SQL_SUCCESS_WITH_INFO;
  }
  return SQL_SUCCESS;
}

// Entry points never call each other: a call by name could reach the
// driver manager's function of the same name.
SQLRETURN EndTran(SQLSMALLINT type, SQLHANDLE h, SQLSMALLINT completion) {
  HandleBase* base = DiagHandle(type, h);
  if (!base || type == SQL_HANDLE_STMT) return SQL_INVALID_HANDLE;
  base->diag.Clear();
  if (completion != SQL_COMMIT && completion != SQL_ROLLBACK)
    return base->Fail("HY012", "invalid transaction operation");
  // In automatic commit mode there is nothing to commit or roll back.
  return SQL_SUCCESS;
}

}  // namespace

// --- Handles -------------------------------------------------------------

RH_ODBC_API SQLAllocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output) {
  switch (type) {
    case SQL_HANDLE_ENV: return AllocEnv(output);
    case SQL_HANDLE_DBC: return AllocDbc(input, output);
    case SQL_HANDLE_STMT: return AllocStmt(input, output);
  }
  return SQL_ERROR;
}

RH_ODBC_API SQLAllocEnv(SQLHENV* env) { return AllocEnv(env); }
RH_ODBC_API SQLAllocConnect(SQLHENV env, SQLHDBC* dbc) { return AllocDbc(env, dbc); }
RH_ODBC_API SQLAllocStmt(SQLHDBC dbc, SQLHSTMT* stmt) { return AllocStmt(dbc, stmt); }

RH_ODBC_API SQLFreeHandle(SQLSMALLINT type, SQLHANDLE h) {
  switch (type) {
    case SQL_HANDLE_ENV: return FreeEnv(h);
    case SQL_HANDLE_DBC: return FreeDbc(h);
    case SQL_HANDLE_STMT: {
      StmtHandle* stmt = HandleOf<StmtHandle>(h);
      return stmt ? DropStmt(stmt) : SQL_INVALID_HANDLE;
    }
  }
  return SQL_ERROR;
}

RH_ODBC_API SQLFreeEnv(SQLHENV env) { return FreeEnv(env); }
RH_ODBC_API SQLFreeConnect(SQLHDBC dbc) { return FreeDbc(dbc); }

RH_ODBC_API SQLFreeStmt(SQLHSTMT h, SQLUSMALLINT option) {
  StmtHandle* stmt = HandleOf<StmtHandle>(h);
  if (!stmt) return SQL_INVALID_HANDLE;
  stmt->diag.Clear();
  switch (option) {
    case SQL_DROP: return DropStmt(stmt);
    case SQL_CLOSE:
    case SQL_UNBIND:
    case SQL_RESET_PARAMS:
      return SQL_SUCCESS;  // no cursor, no bindings
  }
  return stmt->Fail("HY092", "invalid option");
}

// --- Attributes ----------------------------------------------------------

RH_ODBC_API SQLSetEnvAttr(SQLHENV h, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER) {
  EnvHandle* env = HandleOf<EnvHandle>(h);
  if (!env) return SQL_INVALID_HANDLE;
  env->diag.Clear();
  auto v = static_cast<SQLINTEGER>(reinterpret_cast<intptr_t>(value));
  switch (attr) {
    case SQL_ATTR_ODBC_VERSION:
      if (v != SQL_OV_ODBC2 && v != SQL_OV_ODBC3 && v != SQL_OV_ODBC3_80)
        return env->Fail("HY024", "invalid ODBC version");
      env->odbc_version = v;
      return SQL_SUCCESS;
    case SQL_ATTR_OUTPUT_NTS:
      if (v != SQL_TRUE) return env->Fail("HYC00", "strings are always NUL-terminated");
      return SQL_SUCCESS;
    case SQL_ATTR_CONNECTION_POOLING:
    case SQL_ATTR_CP_MATCH:
      return SQL_SUCCESS;  // the driver manager's business
  }
  return env->Fail("HY092", "environment attribute not supported");
}

RH_ODBC_API SQLGetEnvAttr(SQLHENV h, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER,
                          SQLINTEGER* len) {
  EnvHandle* env = HandleOf<EnvHandle>(h);
  if (!env) return SQL_INVALID_HANDLE;
  env->diag.Clear();
  SQLINTEGER v;
  switch (attr) {
    case SQL_ATTR_ODBC_VERSION: v = env->odbc_version; break;
    case SQL_ATTR_OUTPUT_NTS: v = SQL_TRUE; break;
    case SQL_ATTR_CONNECTION_POOLING: v = SQL_CP_OFF; break;
    case SQL_ATTR_CP_MATCH: v = SQL_CP_STRICT_MATCH; break;
    default: return env->Fail("HY092", "environment attribute not supported");
  }
  if (!value) return env->Fail("HY009", "null value pointer");
  *static_cast<SQLINTEGER*>(value) = v;
  if (len) *len = sizeof v;
  return SQL_SUCCESS;
}

RH_ODBC_API SQLSetConnectAttr(SQLHDBC h, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER) {
  DbcHandle* dbc = HandleOf<DbcHandle>(h);
  if (!dbc) return SQL_INVALID_HANDLE;
  dbc->diag.Clear();
  return SetConnectAttr(dbc, attr, reinterpret_cast<SQLULEN>(value));
}

RH_ODBC_API SQLGetConnectAttr(SQLHDBC h, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER,
                              SQLINTEGER* len) {
  DbcHandle* dbc = HandleOf<DbcHandle>(h);
  if (!dbc) return SQL_INVALID_HANDLE;
  dbc->diag.Clear();
  if (attr == SQL_ATTR_CURRENT_CATALOG) {
    std::string name = dbc->store ? dbc->store->database_name() : "";
    return CopyString(dbc, name, static_cast<SQLCHAR*>(value), 32767, nullptr, len);
  }
  if (len) *len = sizeof(SQLUINTEGER);
  return GetConnectAttr(dbc, attr, value);
}

RH_ODBC_API SQLSetConnectOption(SQLHDBC h, SQLUSMALLINT option, SQLULEN value) {
  DbcHandle* dbc = HandleOf<DbcHandle>(h);
  if (!dbc) return SQL_INVALID_HANDLE;
  dbc->diag.Clear();
  return SetConnectAttr(dbc, option, value);
}

RH_ODBC_API SQLGetConnectOption(SQLHDBC h, SQLUSMALLINT option, SQLPOINTER value) {
  DbcHandle* dbc = HandleOf<DbcHandle>(h);
  if (!dbc) return SQL_INVALID_HANDLE;
  dbc->diag.Clear();
  return GetConnectAttr(dbc, option, value);
}

RH_ODBC_API SQLSetStmtAttr(SQLHSTMT h, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER) {
  StmtHandle* stmt = HandleOf<StmtHandle>(h);
  if (!stmt) return SQL_INVALID_HANDLE;
  stmt->diag.Clear();
  return SetStmtAttr(stmt, attr, reinterpret_cast<SQLULEN>(value));
}

RH_ODBC_API SQLGetStmtAttr(SQLHSTMT h, SQLINTEGER attr, SQLPOINTER value, SQLINTEGER,
                           SQLINTEGER* len) {
  StmtHandle* stmt = HandleOf<StmtHandle>(h);
  if (!stmt) return SQL_INVALID_HANDLE;
  stmt->diag.Clear();
  if (len) *len = sizeof(SQLULEN);
  return GetStmtAttr(stmt, attr, value);
}

RH_ODBC_API SQLSetStmtOption(SQLHSTMT h, SQLUSMALLINT option, SQLULEN value) {
  StmtHandle* stmt = HandleOf<StmtHandle>(h);
  if (!stmt) return SQL_INVALID_HANDLE;
  stmt->diag.Clear();
  return SetStmtAttr(stmt, option, value);
}

RH_ODBC_API SQLGetStmtOption(SQLHSTMT h, SQLUSMALLINT option, SQLPOINTER value) {
  StmtHandle* stmt = HandleOf<StmtHandle>(h);
  if (!stmt) return SQL_INVALID_HANDLE;
  stmt->diag.Clear();
  return GetStmtAttr(stmt, option, value);
}

// --- Connecting ----------------------------------------------------------

RH_ODBC_API SQLDriverConnect(SQLHDBC h, SQLHWND, SQLCHAR* in, SQLSMALLINT in_len,
                             SQLCHAR* out, SQLSMALLINT out_max, SQLSMALLINT* out_len,
                             SQLUSMALLINT completion) {
  DbcHandle* dbc = HandleOf<DbcHandle>(h);
  if (!dbc) return SQL_INVALID_HANDLE;
  dbc->diag.Clear();
  if (dbc->store) return dbc->Fail("08002", "connection already open");
  std::string_view text;
  if (!TextArgument(in, in_len, &text)) return dbc->Fail("HY090", "invalid string length");
  if (completion != SQL_DRIVER_NOPROMPT && completion != SQL_DRIVER_COMPLETE &&
      completion != SQL_DRIVER_PROMPT && completion != SQL_DRIVER_COMPLETE_REQUIRED)
    return dbc->Fail("HY110", "invalid driver completion");
  auto attrs = ParseConnectionString(text);
  if (!attrs.ok()) return dbc->Fail(attrs.status());
  SQLRETURN rc = Connect(dbc, *attrs);
  if (rc != SQL_SUCCESS) return rc;
  if (out || out_len) {
    rc = CopyString(dbc, text, out, out_max, out_len, nullptr);
    if (rc == SQL_ERROR) {
      dbc->store.reset();
      return rc;
    }
  }
  return rc;
}

// A data source's attributes come from odbc.ini through the installer
// library, under the same keys as in a connection string.
RH_ODBC_API SQLConnect(SQLHDBC h, SQLCHAR* dsn, SQLSMALLINT dsn_len, SQLCHAR*, SQLSMALLINT,
                       SQLCHAR*, SQLSMALLINT) {
  DbcHandle* dbc = HandleOf<DbcHandle>(h);
  if (!dbc) return SQL_INVALID_HANDLE;
  dbc->diag.Clear();
  if (dbc->store) return dbc->Fail("08002", "connection already open");
  std::string_view name;
  if (!TextArgument(dsn, dsn_len, &name)) return dbc->Fail("HY090", "invalid string length");
  std::string section(name);
  char driver[4096];
  SQLGetPrivateProfileString(section.c_str(), "Driver", "", driver, sizeof driver, "ODBC.INI");
  if (driver[0] == '\0') return dbc->Fail("IM002", "data source " + section + " not found");
  ConnectionAttributes attrs;
  for (const char* key : {"DBQ", "CREATE_DB", "READONLY", "FIRSTROWHASNAMES"}) {
    char value[4096];
    int n = SQLGetPrivateProfileString(section.c_str(), key, "\x01", value, sizeof value,
                                       "ODBC.INI");
    if (n >= 0 && std::strcmp(value, "\x01") != 0) attrs.Add(key, value);
  }
  return Connect(dbc, attrs);
}

RH_ODBC_API SQLDisconnect(SQLHDBC h) {
  DbcHandle* dbc = HandleOf<DbcHandle>(h);
  if (!dbc) return SQL_INVALID_HANDLE;
  dbc->diag.Clear();
  if (!dbc->store) return dbc->Fail("08003", "connection not open");
  // A store dropped without Close() leaves every destination as it was.
  rh::Status s = dbc->discard_on_disconnect ? rh::Status() : dbc->store->Close();
  dbc->store.reset();
  dbc->discard_on_disconnect = false;
  for (StmtHandle* stmt : dbc->statements) delete stmt;
  dbc->statements.clear();
  return s.ok() ? SQL_SUCCESS : dbc->Fail(s);
}

RH_ODBC_API SQLGetInfo(SQLHDBC h, SQLUSMALLINT type, SQLPOINTER value, SQLSMALLINT buf_len,
                       SQLSMALLINT* out_len) {
  DbcHandle* dbc = HandleOf<DbcHandle>(h);
  if (!dbc) return SQL_INVALID_HANDLE;
  dbc->diag.Clear();
  return GetInfo(dbc, type, value, buf_len, out_len);
}

// --- Statements ----------------------------------------------------------

RH_ODBC_API SQLExecDirect(SQLHSTMT h, SQLCHAR* text, SQLINTEGER len) {
  StmtHandle* stmt = HandleOf<StmtHandle>(h);
  if (!stmt) return SQL_INVALID_HANDLE;
  stmt->diag.Clear();
  std::string_view sql;
  if (!text) return stmt->Fail("HY009", "null statement text");
  if (!TextArgument(text, len, &sql)) return stmt->Fail("HY090", "invalid string length");
  return Execute(stmt, sql);
}

RH_ODBC_API SQLPrepare(SQLHSTMT h, SQLCHAR* text, SQLINTEGER len) {
  StmtHandle* stmt = HandleOf<StmtHandle>(h);
  if (!stmt) return SQL_INVALID_HANDLE;
  stmt->diag.Clear();
  std::string_view sql;
  if (!text) return stmt->Fail("HY009", "null statement text");
  if (!TextArgument(text, len, &sql)) return stmt->Fail("HY090", "invalid string length");
  stmt->prepared.assign(sql);
  stmt->has_prepared = true;
  return SQL_SUCCESS;
}

RH_ODBC_API SQLExecute(SQLHSTMT h) {
  StmtHandle* stmt = HandleOf<StmtHandle>(h);
  if (!stmt) return SQL_INVALID_HANDLE;
  stmt->diag.Clear();
  if (!stmt->has_prepared) return stmt->Fail("HY010", "no statement prepared");
  return Execute(stmt, stmt->prepared);
}

RH_ODBC_API SQLNumResultCols(SQLHSTMT h, SQLSMALLINT* count) {
  StmtHandle* stmt = HandleOf<StmtHandle>(h);
  if (!stmt) return SQL_INVALID_HANDLE;
  stmt->diag.Clear();
  if (!count) return stmt->Fail("HY009", "null pointer");
  *count = 0;  // no statement returns rows
  return SQL_SUCCESS;
}

RH_ODBC_API SQLRowCount(SQLHSTMT h, SQLLEN* count) {
  StmtHandle* stmt = HandleOf<StmtHandle>(h);
  if (!stmt) return SQL_INVALID_HANDLE;
  stmt->diag.Clear();
  if (!count) return stmt->Fail("HY009", "null pointer");
  *count = stmt->row_count;
  return SQL_SUCCESS;
}

RH_ODBC_API SQLFetch(SQLHSTMT h) {
  StmtHandle* stmt = HandleOf<StmtHandle>(h);
  if (!stmt) return SQL_INVALID_HANDLE;
  stmt->diag.Clear();
  return stmt->Fail("24000", "no result set");
}

RH_ODBC_API SQLMoreResults(SQLHSTMT h) {
  StmtHandle* stmt = HandleOf<StmtHandle>(h);
  if (!stmt) return SQL_INVALID_HANDLE;
  stmt->diag.Clear();
  return SQL_NO_DATA;
}

RH_ODBC_API SQLCancel(SQLHSTMT h) {
  StmtHandle* stmt = HandleOf<StmtHandle>(h);
  if (!stmt) return SQL_INVALID_HANDLE;
  stmt->diag.Clear();
  return SQL_SUCCESS;  // statements run to their end before returning
}

RH_ODBC_API SQLCloseCursor(SQLHSTMT h) {
  StmtHandle* stmt = HandleOf<StmtHandle>(h);
  if (!stmt) return SQL_INVALID_HANDLE;
  stmt->diag.Clear();
  return stmt->Fail("24000", "no cursor open");
}

RH_ODBC_API SQLEndTran(SQLSMALLINT type, SQLHANDLE h, SQLSMALLINT completion) {
  return EndTran(type, h, completion);
}

RH_ODBC_API SQLTransact(SQLHENV env, SQLHDBC dbc, SQLUSMALLINT completion) {
  if (dbc) return EndTran(SQL_HANDLE_DBC, dbc, static_cast<SQLSMALLINT>(completion));
  return EndTran(SQL_HANDLE_ENV, env, static_cast<SQLSMALLINT>(completion));
}

// --- Diagnostics ---------------------------------------------------------

RH_ODBC_API SQLGetDiagRec(SQLSMALLINT type, SQLHANDLE h, SQLSMALLINT rec, SQLCHAR* state,
                          SQLINTEGER* native, SQLCHAR* msg, SQLSMALLINT max,
                          SQLSMALLINT* len) {
  HandleBase* base = DiagHandle(type, h);
  if (!base) return SQL_INVALID_HANDLE;
  return DiagRec(base, rec, state, native, msg, max, len);
}

RH_ODBC_API SQLGetDiagField(SQLSMALLINT type, SQLHANDLE h, SQLSMALLINT rec, SQLSMALLINT id,
                            SQLPOINTER value, SQLSMALLINT max, SQLSMALLINT* len) {
  HandleBase* base = DiagHandle(type, h);
  if (!base) return SQL_INVALID_HANDLE;
  const size_t records = base->diag.size();
  auto put_int = [&](SQLINTEGER v) {
    if (value) *static_cast<SQLINTEGER*>(value) = v;
    return SQL_SUCCESS;
  };
  if (rec == 0) {  // header fields
    switch (id) {
      case SQL_DIAG_NUMBER: return put_int(static_cast<SQLINTEGER>(records));
      case SQL_DIAG_RETURNCODE:
        if (value) *static_cast<SQLRETURN*>(value) = base->diag.return_code;
        return SQL_SUCCESS;
      case SQL_DIAG_ROW_COUNT: {
        StmtHandle* stmt = HandleOf<StmtHandle>(h);
        if (!stmt) return SQL_ERROR;
        if (value) *static_cast<SQLLEN*>(value) = stmt->row_count;
        return SQL_SUCCESS;
      }
      case SQL_DIAG_CURSOR_ROW_COUNT:
        if (value) *static_cast<SQLLEN*>(value) = 0;
        return SQL_SUCCESS;
      case SQL_DIAG_DYNAMIC_FUNCTION: {
        SQLSMALLINT ignored;
        CopyString(base, "", static_cast<SQLCHAR*>(value), max, len ? len : &ignored, nullptr);
        return SQL_SUCCESS;
      }
      case SQL_DIAG_DYNAMIC_FUNCTION_CODE: return put_int(SQL_DIAG_UNKNOWN_STATEMENT);
    }
    return SQL_ERROR;
  }
  if (rec < 0) return SQL_ERROR;
  if (static_cast<size_t>(rec) > records) return SQL_NO_DATA;
  const DiagRecord& r = base->diag.record(static_cast<size_t>(rec) - 1);
  auto put_text = [&](std::string_view s) -> SQLRETURN {
    if (len) *len = static_cast<SQLSMALLINT>(std::min<size_t>(s.size(), 32767));
    if (!value || max <= 0) return SQL_SUCCESS;
    auto* out = static_cast<char*>(value);
    size_t n = std::min(s.size(), static_cast<size_t>(max) - 1);
    std::memcpy(out, s.data(), n);
    out[n] = '\0';
    return n < s.size() ? SQL_SUCCESS_WITH_INFO : SQL_SUCCESS;
  };
  switch (id) {
    case SQL_DIAG_SQLSTATE: return put_text(r.sqlstate);
    case SQL_DIAG_MESSAGE_TEXT: return put_text(r.Message());
    case SQL_DIAG_NATIVE: return put_int(0);
    case SQL_DIAG_CLASS_ORIGIN:
    case SQL_DIAG_SUBCLASS_ORIGIN:
      return put_text(std::memcmp(r.sqlstate, "IM", 2) == 0 ? "ODBC 3.0" : "ISO 9075");
    case SQL_DIAG_CONNECTION_NAME:
    case SQL_DIAG_SERVER_NAME:
      return put_text("");
    case SQL_DIAG_COLUMN_NUMBER: return put_int(SQL_COLUMN_NUMBER_UNKNOWN);
    case SQL_DIAG_ROW_NUMBER:
      if (value) *static_cast<SQLLEN*>(value) = SQL_ROW_NUMBER_UNKNOWN;
      return SQL_SUCCESS;
  }
  return SQL_ERROR;
}

RH_ODBC_API SQLError(SQLHENV env, SQLHDBC dbc, SQLHSTMT stmt, SQLCHAR* state,
                     SQLINTEGER* native, SQLCHAR* msg, SQLSMALLINT max, SQLSMALLINT* len) {
  HandleBase* h = stmt ? static_cast<HandleBase*>(HandleOf<StmtHandle>(stmt))
                  : dbc ? static_cast<HandleBase*>(HandleOf<DbcHandle>(dbc))
                        : static_cast<HandleBase*>(HandleOf<EnvHandle>(env));
  if (!h) return SQL_INVALID_HANDLE;
  const DiagRecord* r = h->diag.NextForSqlError();
  if (!r) return SQL_NO_DATA;
  const std::string message = r->Message();
  if (state) std::memcpy(state, r->sqlstate, 6);
  if (native) *native = 0;
  if (len) *len = static_cast<SQLSMALLINT>(std::min<size_t>(message.size(), 32767));
  if (msg && max > 0) {
    size_t n = std::min(message.size(), static_cast<size_t>(max) - 1);
    std::memcpy(msg, message.data(), n);
    msg[n] = '\0';
    if (n < message.size()) return SQL_SUCCESS_WITH_INFO;
  }
  return SQL_SUCCESS;
}
