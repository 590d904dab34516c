#include "databases/odbc_row_batch.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "databases/sql_text.h"

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

size_t Aligned(size_t n) { return (n + 7) / 8 * 8; }

}  // namespace

Status OdbcRowBatch::Prepare(SQLHDBC dbc, const std::string& table,
                             const std::vector<ColumnPlan>& columns, char quote,
                             size_t rows_per_statement, int record_column) {
  record_column_ = record_column;
  columns_.clear();
  row_bytes_ = 0;
  for (const ColumnPlan& c : columns) {
    const OdbcType t = TypeOf(c);
    Column& column = columns_.emplace_back();
    column.type = c.type;
    column.characters = t.column_size;
    column.value_offset = row_bytes_;
    row_bytes_ += Aligned(static_cast<size_t>(t.width));
    column.length_offset = row_bytes_;
    row_bytes_ += Aligned(sizeof(SQLLEN));
  }
  rows_per_statement_ = std::max<size_t>(rows_per_statement, 1);
  const size_t per_call = rows_per_statement_;
  size_t sets = std::max<size_t>(kBatchBytes / (row_bytes_ * per_call), 1);
  auto prepare = [&](OdbcStatement& stmt, size_t rows) {
    if (Status s = stmt.Allocate(dbc); !s.ok()) return s;
    const std::string sql = InsertStatement(table, columns, quote, rows);
    auto* text = reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str()));
    if (!OdbcSucceeded(SQLPrepare(stmt.get(), text, SQL_NTS))) return stmt.Fail("SQLPrepare");
    return Status();
  };
  if (Status s = prepare(single_, 1); !s.ok()) return s;
  if (per_call > 1) {
    if (Status s = prepare(wide_, per_call); !s.ok()) return s;
  }
  // A driver without parameter arrays refuses the size, or keeps 1.
  OdbcStatement& main = per_call > 1 ? wide_ : single_;
  SQLULEN granted = 1;
  arrays_ = sets > 1 &&
            OdbcSucceeded(SQLSetStmtAttr(main.get(), SQL_ATTR_PARAMSET_SIZE,
                                         reinterpret_cast<SQLPOINTER>(sets), 0)) &&
            OdbcSucceeded(SQLGetStmtAttr(main.get(), SQL_ATTR_PARAMSET_SIZE, &granted, 0,
                                         nullptr)) &&
            granted == sets;
  if (!arrays_) {
    sets = 1;
    SQLSetStmtAttr(main.get(), SQL_ATTR_PARAMSET_SIZE, reinterpret_cast<SQLPOINTER>(1), 0);
  }
  capacity_ = sets * per_call;
  buffer_.assign(capacity_ * row_bytes_, '\0');
  set_status_.assign(std::max(sets, per_call), SQL_PARAM_UNUSED);
  for (OdbcStatement* stmt : {&single_, &wide_}) {
    if (stmt->get() == SQL_NULL_HSTMT) continue;
    SQLSetStmtAttr(stmt->get(), SQL_ATTR_PARAM_STATUS_PTR, set_status_.data(), 0);
  }
  SQLSetStmtAttr(single_.get(), SQL_ATTR_PARAM_BIND_OFFSET_PTR, &bind_offset_, 0);
  if (Status s = BindRows(single_, 1, columns); !s.ok()) return s;
  if (per_call > 1) return BindRows(wide_, per_call, columns);
  return Status();
}

Status OdbcRowBatch::BindRows(OdbcStatement& stmt, size_t rows,
                              const std::vector<ColumnPlan>& columns) {
  // By row: a set of parameters is `rows` rows of the buffer, the next set
  // right after it.
  SQLSetStmtAttr(stmt.get(), SQL_ATTR_PARAM_BIND_TYPE,
                 reinterpret_cast<SQLPOINTER>(rows * row_bytes_), 0);
  char* base = buffer_.data();
  for (size_t r = 0; r < rows; ++r) {
    for (size_t c = 0; c < columns.size(); ++c) {
      const OdbcType t = TypeOf(columns[c]);
      char* row = base + r * row_bytes_;
      const auto number = static_cast<SQLUSMALLINT>(r * columns.size() + c + 1);
      const SQLRETURN rc = SQLBindParameter(
          stmt.get(), number, SQL_PARAM_INPUT, t.c_type, t.sql_type, t.column_size,
          t.decimal_digits, row + columns_[c].value_offset, t.width,
          reinterpret_cast<SQLLEN*>(row + columns_[c].length_offset));
      if (!OdbcSucceeded(rc)) return stmt.Fail("SQLBindParameter");
    }
  }
  return Status();
}

void OdbcRowBatch::Store(const Column& column, char* row, const CellValue& cell) {
  char* slot = row + column.value_offset;
  SQLLEN length = 0;
  switch (cell.kind) {
    case CellValue::Kind::kNull:
      length = SQL_NULL_DATA;
      break;
    case CellValue::Kind::kText: {
      auto* units = reinterpret_cast<SQLWCHAR*>(slot);
      const size_t n = Utf8ToUtf16(cell.text, units, column.characters);
      units[n] = 0;
      length = static_cast<SQLLEN>(n * sizeof(SQLWCHAR));
      break;
    }
    case CellValue::Kind::kInteger:
      if (column.type == ColumnType::kSmallInt) {
        const auto v = static_cast<SQLSMALLINT>(cell.integer);
        std::memcpy(slot, &v, sizeof v);
        length = sizeof v;
      } else {
        const auto v = static_cast<SQLINTEGER>(cell.integer);
        std::memcpy(slot, &v, sizeof v);
        length = sizeof v;
      }
      break;
    case CellValue::Kind::kReal:
      std::memcpy(slot, &cell.real, sizeof cell.real);
      length = sizeof cell.real;
      break;
    case CellValue::Kind::kDecimal4:
      length = static_cast<SQLLEN>(FormatDecimal4(cell.integer, slot));
      break;
    case CellValue::Kind::kDate: {
      SQL_DATE_STRUCT d{static_cast<SQLSMALLINT>(cell.date.year),
                        static_cast<SQLUSMALLINT>(cell.date.month),
                        static_cast<SQLUSMALLINT>(cell.date.day)};
      std::memcpy(slot, &d, sizeof d);
      length = sizeof d;
      break;
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
      length = sizeof ts;
      break;
    }
  }
  std::memcpy(row + column.length_offset, &length, sizeof length);
}

Status OdbcRowBatch::Add(std::span<const CellValue> row) {
  char* at = buffer_.data() + rows_ * row_bytes_;
  for (size_t i = 0; i < columns_.size() && i < row.size(); ++i) Store(columns_[i], at, row[i]);
  ++rows_;
  return rows_ == capacity_ ? Execute() : Status();
}

int32_t OdbcRowBatch::RecordAt(size_t row) const {
  if (record_column_ < 0) return 0;
  SQLINTEGER v = 0;
  std::memcpy(&v,
              buffer_.data() + row * row_bytes_ +
                  columns_[static_cast<size_t>(record_column_)].value_offset,
              sizeof v);
  return v;
}

Status OdbcRowBatch::Run(OdbcStatement& stmt, size_t sets, size_t first_row,
                         size_t rows_per_set) {
  bind_offset_ = first_row * row_bytes_;
  if (arrays_) {
    std::fill(set_status_.begin(), set_status_.end(), SQL_PARAM_UNUSED);
    SQLSetStmtAttr(stmt.get(), SQL_ATTR_PARAMSET_SIZE, reinterpret_cast<SQLPOINTER>(sets), 0);
  }
  if (OdbcSucceeded(SQLExecute(stmt.get()))) return Status();
  size_t first = first_row;
  size_t count = sets * rows_per_set;
  for (size_t s = 0; arrays_ && s < sets; ++s) {
    if (set_status_[s] == SQL_PARAM_ERROR) {
      first = first_row + s * rows_per_set;
      count = rows_per_set;
      break;
    }
  }
  failed_ = {RecordAt(first), RecordAt(first + count - 1)};
  return stmt.Fail("SQLExecute");
}

void OdbcRowBatch::Close() {
  wide_.Free();
  single_.Free();
  rows_ = 0;
}

Status OdbcRowBatch::Execute() {
  const size_t rows = rows_;
  rows_ = 0;
  const size_t sets = rows_per_statement_ > 1 ? rows / rows_per_statement_ : 0;
  if (sets > 0) {
    if (Status s = Run(wide_, sets, 0, rows_per_statement_); !s.ok()) return s;
  }
  const size_t first = sets * rows_per_statement_;
  if (first < rows && arrays_) return Run(single_, rows - first, first, 1);
  for (size_t r = first; r < rows; ++r) {
    if (Status s = Run(single_, 1, r, 1); !s.ok()) return s;
  }
  return Status();
}

}  // namespace rh
