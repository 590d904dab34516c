// The handles of our ODBC drivers and their diagnostics.
//
// Every handle starts with a kind tag, so that a handle of the wrong kind or
// a null one is answered with SQL_INVALID_HANDLE instead of being used.
#ifndef RECORDHAUL_DRIVERS_ODBC_DRIVER_HANDLES_H_
#define RECORDHAUL_DRIVERS_ODBC_DRIVER_HANDLES_H_

#include <sql.h>
#include <sqlext.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "drivers/odbc/table_store.h"
#include "drivers/sql/sql_statement.h"

namespace rh::odbc {

// A diagnostic text that lives as long as the library: a string literal. It
// is recorded without a copy, so that the failures the driver manager
// provokes with every new statement (it asks for descriptors we do not have)
// cost no allocation.
struct StaticText {
  const char* text;
};

struct DiagRecord {
  char sqlstate[6] = {};              // five characters and a NUL
  const char* static_text = nullptr;  // the text when it is a StaticText,
  std::string text;                   // else the text
  // "[recordhaul][<component>]<text>", as the diagnostic calls return it.
  std::string Message() const;
};

class Diagnostics {
 public:
  void Clear() {
    size_ = 0;
    more_.clear();
    handed_out_ = 0;
    return_code = SQL_SUCCESS;
  }
  void Add(std::string_view sqlstate, std::string_view text);
  void Add(std::string_view sqlstate, StaticText text);
  size_t size() const { return size_; }
  // The records, oldest first: 0 <= i < size().
  const DiagRecord& record(size_t i) const { return i == 0 ? first_ : more_[i - 1]; }
  // SQLError hands out each record once, oldest first.
  const DiagRecord* NextForSqlError() {
    return handed_out_ < size_ ? &record(handed_out_++) : nullptr;
  }

  SQLRETURN return_code = SQL_SUCCESS;  // of the last call on the handle

 private:
  DiagRecord& NewRecord(std::string_view sqlstate);

  DiagRecord first_;  // a call records one diagnostic at most, nearly always
  std::vector<DiagRecord> more_;
  size_t size_ = 0;
  size_t handed_out_ = 0;
};

enum class HandleKind : uint32_t {
  kEnv = 0x72684501,
  kDbc = 0x72684402,
  kStmt = 0x72685303,
  kFreed = 0,
};

struct HandleBase {
  explicit HandleBase(HandleKind k) : kind(k) {}
  ~HandleBase() { kind = HandleKind::kFreed; }
  HandleKind kind;
  Diagnostics diag;

  // Records a failure and returns SQL_ERROR.
  SQLRETURN Fail(std::string_view sqlstate, std::string_view text);
  SQLRETURN Fail(std::string_view sqlstate, StaticText text);
  SQLRETURN Fail(const Status& status) {
    return Fail(status.sqlstate().empty() ? "HY000" : status.sqlstate(), status.message());
  }
  // Records a warning (01xxx) and returns SQL_SUCCESS_WITH_INFO.
  SQLRETURN Warn(std::string_view sqlstate, std::string_view text);
};

struct EnvHandle : HandleBase {
  EnvHandle() : HandleBase(HandleKind::kEnv) {}
  SQLINTEGER odbc_version = SQL_OV_ODBC2;
  int connections = 0;
};

struct StmtHandle;

struct DbcHandle : HandleBase {
  explicit DbcHandle(EnvHandle* e) : HandleBase(HandleKind::kDbc), env(e) {}
  EnvHandle* env;
  std::unique_ptr<TableStore> store;  // set while connected
  rh::sql::StatementParser parser;    // remembers the last INSERT's columns
  SQLUINTEGER login_timeout = 0;
  SQLUINTEGER access_mode = SQL_MODE_READ_WRITE;
  bool discard_on_disconnect = false;  // kDiscardOnDisconnect
  // Statements not yet freed; SQLDisconnect frees them, as ODBC has it.
  std::vector<StmtHandle*> statements;
};

struct StmtHandle : HandleBase {
  explicit StmtHandle(DbcHandle* d) : HandleBase(HandleKind::kStmt), dbc(d) {}
  DbcHandle* dbc;
  std::string prepared;
  bool has_prepared = false;
  SQLLEN row_count = -1;
  SQLULEN query_timeout = 0;
};

// The handle behind `h` if it is a live one of kind T, else null.
template <class T>
T* HandleOf(SQLHANDLE h);
template <>
inline EnvHandle* HandleOf<EnvHandle>(SQLHANDLE h) {
  auto* b = static_cast<HandleBase*>(h);
  return b && b->kind == HandleKind::kEnv ? static_cast<EnvHandle*>(b) : nullptr;
}
template <>
inline DbcHandle* HandleOf<DbcHandle>(SQLHANDLE h) {
  auto* b = static_cast<HandleBase*>(h);
  return b && b->kind == HandleKind::kDbc ? static_cast<DbcHandle*>(b) : nullptr;
}
template <>
inline StmtHandle* HandleOf<StmtHandle>(SQLHANDLE h) {
  auto* b = static_cast<HandleBase*>(h);
  return b && b->kind == HandleKind::kStmt ? static_cast<StmtHandle*>(b) : nullptr;
}

// Copies `value` into a caller's buffer of `buf_len` bytes, NUL-terminated
// and cut if it must be (then 01004 on `h`); the full length goes to
// *out_len. Returns SQL_SUCCESS or SQL_SUCCESS_WITH_INFO.
SQLRETURN CopyString(HandleBase* h, std::string_view value, SQLCHAR* buf,
                     SQLLEN buf_len, SQLSMALLINT* out_len16, SQLINTEGER* out_len32);

// The statement text a caller passed with its length or SQL_NTS; false for
// a negative length other than SQL_NTS.
bool TextArgument(const SQLCHAR* text, SQLLEN len, std::string_view* out);

// SQLGetInfo for a connection.
SQLRETURN GetInfo(DbcHandle* dbc, SQLUSMALLINT type, SQLPOINTER value,
                  SQLSMALLINT buf_len, SQLSMALLINT* out_len);

}  // namespace rh::odbc

#endif  // RECORDHAUL_DRIVERS_ODBC_DRIVER_HANDLES_H_
