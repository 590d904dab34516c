#include "databases/odbc_row_batch.h"

#include <algorithm>
#include <cstring>
#include <ctime>

namespace rh {

namespace {

// The batch's buffers stay near this size, whatever the row's width.
constexpr size_t kBatchBytes = 1 << 20;

struct OdbcType {
  SQLSMALLINT c_type;
  SQLSMALLINT sql_type;
  SQLULEN column_size;
  SQLSMALLINT decimal_digits;
  SQLLEN width;
};

OdbcType TypeOf(const ColumnPlan& column) {
  switch (column.type) {
    case ColumnType::kText: {
      const SQLULEN n = static_cast<SQLULEN>(std::max(column.length, 1));
      return {SQL_C_WCHAR, SQL_WVARCHAR, n, 0, static_cast<SQLLEN>((n + 1) * sizeof(SQLWCHAR))};
    }
    case ColumnType::kSmallInt: return {SQL_C_SSHORT, SQL_SMALLINT, 5, 0, sizeof(SQLSMALLINT)};
    case ColumnType::kInteger: return {SQL_C_SLONG, SQL_INTEGER, 10, 0, sizeof(SQLINTEGER)};
    case ColumnType::kDouble: return {SQL_C_DOUBLE, SQL_DOUBLE, 15, 0, sizeof(SQLDOUBLE)};
    case ColumnType::kDecimal4: return {SQL_C_CHAR, SQL_NUMERIC, 10, 4, 13};
    case ColumnType::kDate:
      return {SQL_C_TYPE_DATE, SQL_TYPE_DATE, 10, 0, sizeof(SQL_DATE_STRUCT)};
    case ColumnType::kTimestamp:
      return {SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 19, 0, sizeof(SQL_TIMESTAMP_STRUCT)};
  }
  return {SQL_C_CHAR, SQL_VARCHAR, 1, 0, 2};
}

// UTF-8 into at most `limit` UTF-16 units; the units written.
size_t Utf8ToUtf16(std::string_view text, SQLWCHAR* out, size_t limit) {
  size_t n = 0;
  for (size_t i = 0; i < text.size() && n < limit;) {
    const auto b = static_cast<unsigned char>(text[i]);
    const size_t extra = b < 0x80 ? 0 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    char32_t cp = extra == 0 ? b : b & (0x3F >> extra);
    for (size_t k = 1; k <= extra && i + k < text.size(); ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    i += extra + 1;
    if (cp >= 0x10000) {
      if (n + 2 > limit) break;
      cp -= 0x10000;
      out[n++] = static_cast<SQLWCHAR>(0xD800 + (cp >> 10));
      out[n++] = static_cast<SQLWCHAR>(0xDC00 + (cp & 0x3FF));
    } else {
      out[n++] = static_cast<SQLWCHAR>(cp);
    }
  }
  return n;
}

}  // namespace

Status OdbcRowBatch::Bind(SQLHSTMT stmt, const std::vector<ColumnPlan>& columns,
                          size_t max_rows, int record_column) {
  stmt_ = stmt;
  record_column_ = record_column;
  size_t row_bytes = 0;
  for (const ColumnPlan& c : columns) row_bytes += static_cast<size_t>(TypeOf(c).width);
  capacity_ = std::clamp<size_t>(kBatchBytes / std::max<size_t>(row_bytes, 1), 1, max_rows);
  // A driver without parameter arrays refuses the size, or keeps 1.
  SQLULEN granted = 1;
  if (capacity_ > 1 &&
      OdbcSucceeded(SQLSetStmtAttr(stmt, SQL_ATTR_PARAMSET_SIZE,
                                   reinterpret_cast<SQLPOINTER>(capacity_), 0)) &&
      OdbcSucceeded(SQLGetStmtAttr(stmt, SQL_ATTR_PARAMSET_SIZE, &granted, 0, nullptr)) &&
      granted == capacity_) {
    row_status_.resize(capacity_);
    SQLSetStmtAttr(stmt, SQL_ATTR_PARAM_STATUS_PTR, row_status_.data(), 0);
    SQLSetStmtAttr(stmt, SQL_ATTR_PARAMS_PROCESSED_PTR, &processed_, 0);
  } else {
    capacity_ = 1;
    SQLSetStmtAttr(stmt, SQL_ATTR_PARAMSET_SIZE, reinterpret_cast<SQLPOINTER>(1), 0);
  }
  columns_.clear();
  columns_.reserve(columns.size());
  for (size_t i = 0; i < columns.size(); ++i) {
    const OdbcType t = TypeOf(columns[i]);
    Column& c = columns_.emplace_back();
    c.type = columns[i].type;
    c.width = t.width;
    c.characters = t.column_size;
    c.data.assign(capacity_ * static_cast<size_t>(t.width), '\0');
    c.lengths.assign(capacity_, SQL_NULL_DATA);
    const SQLRETURN rc = SQLBindParameter(
        stmt, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT, t.c_type, t.sql_type,
        t.column_size, t.decimal_digits, c.data.data(), t.width, c.lengths.data());
    if (!OdbcSucceeded(rc)) return OdbcDiagnostic(SQL_HANDLE_STMT, stmt, "SQLBindParameter");
  }
  return Status();
}

void OdbcRowBatch::Store(Column& column, size_t row, const CellValue& cell) {
  char* slot = column.data.data() + row * static_cast<size_t>(column.width);
  SQLLEN& length = column.lengths[row];
  length = static_cast<SQLLEN>(column.width);
  switch (cell.kind) {
    case CellValue::Kind::kNull:
      length = SQL_NULL_DATA;
      return;
    case CellValue::Kind::kText: {
      auto* units = reinterpret_cast<SQLWCHAR*>(slot);
      const size_t n = Utf8ToUtf16(cell.text, units, column.characters);
      units[n] = 0;
      length = static_cast<SQLLEN>(n * sizeof(SQLWCHAR));
      return;
    }
    case CellValue::Kind::kInteger:
      if (column.type == ColumnType::kSmallInt) {
        const auto v = static_cast<SQLSMALLINT>(cell.integer);
        std::memcpy(slot, &v, sizeof v);
      } else {
        const auto v = static_cast<SQLINTEGER>(cell.integer);
        std::memcpy(slot, &v, sizeof v);
      }
      return;
    case CellValue::Kind::kReal:
      std::memcpy(slot, &cell.real, sizeof cell.real);
      return;
    case CellValue::Kind::kDecimal4:
      length = static_cast<SQLLEN>(FormatDecimal4(cell.integer, slot));
      return;
    case CellValue::Kind::kDate: {
      SQL_DATE_STRUCT d{static_cast<SQLSMALLINT>(cell.date.year),
                        static_cast<SQLUSMALLINT>(cell.date.month),
                        static_cast<SQLUSMALLINT>(cell.date.day)};
      std::memcpy(slot, &d, sizeof d);
      return;
    }
    case CellValue::Kind::kTimestamp: {
      const auto t = static_cast<std::time_t>(cell.seconds);
      std::tm tm{};
      gmtime_r(&t, &tm);
      SQL_TIMESTAMP_STRUCT ts{static_cast<SQLSMALLINT>(tm.tm_year + 1900),
                              static_cast<SQLUSMALLINT>(tm.tm_mon + 1),
                              static_cast<SQLUSMALLINT>(tm.tm_mday),
                              static_cast<SQLUSMALLINT>(tm.tm_hour),
                              static_cast<SQLUSMALLINT>(tm.tm_min),
                              static_cast<SQLUSMALLINT>(tm.tm_sec),
                              0};
      std::memcpy(slot, &ts, sizeof ts);
      return;
    }
  }
}

Status OdbcRowBatch::Add(std::span<const CellValue> row) {
  for (size_t i = 0; i < columns_.size() && i < row.size(); ++i)
    Store(columns_[i], rows_, row[i]);
  ++rows_;
  return rows_ == capacity_ ? Execute() : Status();
}

int32_t OdbcRowBatch::RecordAt(size_t row) const {
  if (record_column_ < 0) return 0;
  const Column& c = columns_[static_cast<size_t>(record_column_)];
  SQLINTEGER v = 0;
  std::memcpy(&v, c.data.data() + row * static_cast<size_t>(c.width), sizeof v);
  return v;
}

Status OdbcRowBatch::Execute() {
  if (rows_ == 0) return Status();
  const size_t rows = rows_;
  rows_ = 0;
  if (capacity_ > 1) {
    std::fill(row_status_.begin(), row_status_.end(), SQL_PARAM_UNUSED);
    SQLSetStmtAttr(stmt_, SQL_ATTR_PARAMSET_SIZE, reinterpret_cast<SQLPOINTER>(rows), 0);
  }
  const SQLRETURN rc = SQLExecute(stmt_);
  if (OdbcSucceeded(rc)) {
    SQLFreeStmt(stmt_, SQL_CLOSE);
    return Status();
  }
  failed_ = {RecordAt(0), RecordAt(rows - 1)};
  for (size_t r = 0; capacity_ > 1 && r < rows; ++r) {
    if (row_status_[r] == SQL_PARAM_ERROR) {
      failed_ = {RecordAt(r), RecordAt(r)};
      break;
    }
  }
  return OdbcDiagnostic(SQL_HANDLE_STMT, stmt_, "SQLExecute");
}

}  // namespace rh
