// What both table drivers share about a table created on a connection: its
// columns, how an INSERT's values map onto them, and how a value is
// converted to its column's type.
#ifndef RECORDHAUL_DRIVERS_ODBC_TABLE_SCHEMA_H_
#define RECORDHAUL_DRIVERS_ODBC_TABLE_SCHEMA_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/calendar.h"
#include "base/status.h"
#include "drivers/sql/sql_statement.h"

namespace rh::odbc {

// A value in its column's type. Texts point into the parsed statement.
struct ColumnValue {
  enum class Kind { kNull, kInteger, kReal, kText, kDate };
  Kind kind = Kind::kNull;
  int64_t integer = 0;
  double real = 0;
  std::string_view text;
  CalendarDate date;
};

// Converts `v` for column `col`:
//  - LONG, SHORT, BYTE: a number, rounded half away from zero; it must lie in
//    the type's range (22003). A string holding just a number counts as that
//    number, an empty or blank string as no value; any other string is 22018.
//  - DOUBLE, SINGLE: likewise, without rounding.
//  - TEXT: a string as it is, or a number as written; longer than TEXT(n) or
//    than `max_text` is 22001.
//  - DATE: a string 'YYYY-MM-DD' naming a real date; an empty or blank
//    string is no value; any other string is 22007, a number 22018.
//  - NULL is no value, in a column of any type.
Result<ColumnValue> ConvertValue(const sql::Value& v, const sql::ColumnDef& col,
                                 size_t max_text);

class TableSchema {
 public:
  // Fails with 42S21 when two column names are equal ignoring ASCII case,
  // and with HYC00 for a MEMO column.
  static Result<TableSchema> Create(const sql::CreateTable& create);

  const std::string& table() const { return table_; }
  const std::vector<sql::ColumnDef>& columns() const { return columns_; }

  // Sets (*value_of)[c] to the index in insert.values of the value for
  // column c, or -1 when the statement leaves the column out. Without a
  // column list the values go to the columns in order and must match their
  // number (21S01). An unknown column is 42S22, a column named twice 42000.
  Status MapInsert(const sql::Insert& insert, std::vector<int>* value_of) const;

 private:
  std::string table_;
  std::vector<sql::ColumnDef> columns_;
};

}  // namespace rh::odbc

#endif  // RECORDHAUL_DRIVERS_ODBC_TABLE_SCHEMA_H_
