// SQLGetInfo: what our drivers are and can do. They implement the core of
// ODBC and the Level 1 entry points the export uses, accept the minimum SQL
// grammar's CREATE TABLE and INSERT, keep no transactions (each statement
// commits at once) and return no result sets.
#include "drivers/odbc/driver_handles.h"

namespace rh::odbc {

namespace {

SQLRETURN Small(SQLPOINTER value, SQLSMALLINT* out_len, SQLUSMALLINT v) {
  if (value) *static_cast<SQLUSMALLINT*>(value) = v;
  if (out_len) *out_len = sizeof(SQLUSMALLINT);
  return SQL_SUCCESS;
}

SQLRETURN Mask(SQLPOINTER value, SQLSMALLINT* out_len, SQLUINTEGER v) {
  if (value) *static_cast<SQLUINTEGER*>(value) = v;
  if (out_len) *out_len = sizeof(SQLUINTEGER);
  return SQL_SUCCESS;
}

}  // namespace

SQLRETURN GetInfo(DbcHandle* dbc, SQLUSMALLINT type, SQLPOINTER value,
                  SQLSMALLINT buf_len, SQLSMALLINT* out_len) {
  auto text = [&](std::string_view s) {
    return CopyString(dbc, s, static_cast<SQLCHAR*>(value), buf_len, out_len, nullptr);
  };
  const DriverInfo& info = ThisDriver();
  switch (type) {
    case SQL_ODBC_API_CONFORMANCE: return Small(value, out_len, SQL_OAC_LEVEL1);
    case SQL_ODBC_SQL_CONFORMANCE: return Small(value, out_len, SQL_OSC_MINIMUM);
    case SQL_ODBC_SAG_CLI_CONFORMANCE: return Small(value, out_len, SQL_OSCC_NOT_COMPLIANT);
    case SQL_DRIVER_ODBC_VER: return text("03.00");
    case SQL_DRIVER_NAME: return text(info.library);
    case SQL_DRIVER_VER: return text("01.00.0000");
    case SQL_DBMS_NAME: return text(info.dbms_name);
    case SQL_DBMS_VER: return text("01.00.0000");
    case SQL_DATA_SOURCE_NAME:
    case SQL_SERVER_NAME:
    case SQL_USER_NAME:
    case SQL_SEARCH_PATTERN_ESCAPE:
      return text("");
    case SQL_DATABASE_NAME:
      return text(dbc->store ? dbc->store->database_name() : std::string());
    case SQL_DATA_SOURCE_READ_ONLY:
      return text(dbc->access_mode == SQL_MODE_READ_ONLY ? "Y" : "N");
    case SQL_IDENTIFIER_QUOTE_CHAR: return text("\"");
    case SQL_ACCESSIBLE_TABLES:
    case SQL_ACCESSIBLE_PROCEDURES:
    case SQL_PROCEDURES:
    case SQL_MULT_RESULT_SETS:
    case SQL_MULTIPLE_ACTIVE_TXN:
    case SQL_OUTER_JOINS:
    case SQL_EXPRESSIONS_IN_ORDERBY:
    case SQL_ORDER_BY_COLUMNS_IN_SELECT:
    case SQL_NEED_LONG_DATA_LEN:
    case SQL_ROW_UPDATES:
    case SQL_DESCRIBE_PARAMETER:
    case SQL_COLUMN_ALIAS:
    case SQL_LIKE_ESCAPE_CLAUSE:
    case SQL_MAX_ROW_SIZE_INCLUDES_LONG:
    case SQL_INTEGRITY:
      return text("N");
    case SQL_TXN_CAPABLE: return Small(value, out_len, SQL_TC_NONE);
    case SQL_CURSOR_COMMIT_BEHAVIOR:
    case SQL_CURSOR_ROLLBACK_BEHAVIOR:
      return Small(value, out_len, SQL_CB_PRESERVE);
    case SQL_DEFAULT_TXN_ISOLATION:
    case SQL_TXN_ISOLATION_OPTION:
      return Mask(value, out_len, 0);
    case SQL_MAX_DRIVER_CONNECTIONS:
    case SQL_MAX_CONCURRENT_ACTIVITIES:
      return Small(value, out_len, 0);  // no limit
    case SQL_MAX_COLUMNS_IN_TABLE:
      return Small(value, out_len, static_cast<SQLUSMALLINT>(info.max_columns));
    case SQL_MAX_TABLE_NAME_LEN:
    case SQL_MAX_COLUMN_NAME_LEN:
    case SQL_MAX_CURSOR_NAME_LEN:
    case SQL_MAX_SCHEMA_NAME_LEN:
    case SQL_MAX_CATALOG_NAME_LEN:
      return Small(value, out_len, 0);
    case SQL_GETDATA_EXTENSIONS:
    case SQL_SCROLL_OPTIONS:
    case SQL_FETCH_DIRECTION:
    case SQL_POS_OPERATIONS:
    case SQL_LOCK_TYPES:
    case SQL_STATIC_CURSOR_ATTRIBUTES1:
    case SQL_STATIC_CURSOR_ATTRIBUTES2:
    case SQL_DYNAMIC_CURSOR_ATTRIBUTES1:
    case SQL_DYNAMIC_CURSOR_ATTRIBUTES2:
    case SQL_KEYSET_CURSOR_ATTRIBUTES1:
    case SQL_KEYSET_CURSOR_ATTRIBUTES2:
    case SQL_FORWARD_ONLY_CURSOR_ATTRIBUTES1:
    case SQL_FORWARD_ONLY_CURSOR_ATTRIBUTES2:
    case SQL_BOOKMARK_PERSISTENCE:
    case SQL_STATIC_SENSITIVITY:
    case SQL_CONVERT_FUNCTIONS:
    case SQL_NUMERIC_FUNCTIONS:
    case SQL_STRING_FUNCTIONS:
    case SQL_SYSTEM_FUNCTIONS:
    case SQL_TIMEDATE_FUNCTIONS:
    case SQL_ALTER_TABLE:
    case SQL_OJ_CAPABILITIES:
    case SQL_PARAM_ARRAY_ROW_COUNTS:
    case SQL_PARAM_ARRAY_SELECTS:
    case SQL_BATCH_SUPPORT:
    case SQL_BATCH_ROW_COUNT:
      return Mask(value, out_len, 0);
    case SQL_ASYNC_MODE: return Mask(value, out_len, SQL_AM_NONE);
    case SQL_CREATE_TABLE: return Mask(value, out_len, SQL_CT_CREATE_TABLE);
    case SQL_INSERT_STATEMENT: return Mask(value, out_len, SQL_IS_INSERT_LITERALS);
    case SQL_SQL_CONFORMANCE: return Mask(value, out_len, SQL_SC_SQL92_ENTRY);
    case SQL_ODBC_INTERFACE_CONFORMANCE: return Mask(value, out_len, SQL_OIC_CORE);
    case SQL_CURSOR_SENSITIVITY: return Mask(value, out_len, SQL_UNSPECIFIED);
    case SQL_CONCAT_NULL_BEHAVIOR: return Small(value, out_len, SQL_CB_NULL);
    case SQL_NULL_COLLATION: return Small(value, out_len, SQL_NC_LOW);
    case SQL_IDENTIFIER_CASE:
    case SQL_QUOTED_IDENTIFIER_CASE:
      return Small(value, out_len, SQL_IC_MIXED);
    case SQL_FILE_USAGE:
      return Small(value, out_len, static_cast<SQLUSMALLINT>(info.file_usage));
    case SQL_CORRELATION_NAME: return Small(value, out_len, SQL_CN_NONE);
    case SQL_NON_NULLABLE_COLUMNS: return Small(value, out_len, SQL_NNC_NULL);
    case SQL_GROUP_BY: return Small(value, out_len, SQL_GB_NOT_SUPPORTED);
    case SQL_CATALOG_LOCATION: return Small(value, out_len, 0);
    case SQL_CATALOG_NAME_SEPARATOR:
    case SQL_CATALOG_TERM:
    case SQL_SCHEMA_TERM:
    case SQL_PROCEDURE_TERM:
    case SQL_SPECIAL_CHARACTERS:
    case SQL_KEYWORDS:
      return text("");
    case SQL_TABLE_TERM: return text("table");
    case SQL_CATALOG_NAME: return text("N");
  }
  return dbc->Fail("HY096", "information type " + std::to_string(type) + " not supported");
}

}  // namespace rh::odbc
