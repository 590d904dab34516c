#include "databases/sql_text.h"

namespace rh {

std::string QuoteIdentifier(std::string_view name, char quote) {
  if (quote == '\0') return std::string(name);
  std::string out(1, quote);
  for (char c : name) {
    if (c == quote) out.push_back(quote);
    out.push_back(c);
  }
  out.push_back(quote);
  return out;
}

std::string CreateTableStatement(std::string_view table, const std::vector<ColumnPlan>& columns,
                                 char quote, const TypeNamer& type_of) {
  std::string sql = "CREATE TABLE " + QuoteIdentifier(table, quote) + " (";
  for (size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) sql += ", ";
    sql += QuoteIdentifier(columns[i].name, quote) + " " + type_of(columns[i]);
  }
  return sql + ")";
}

std::string InsertStatement(std::string_view table, const std::vector<ColumnPlan>& columns,
                            char quote, size_t rows) {
  std::string names;
  std::string marks;
  for (size_t i = 0; i < columns.size(); ++i) {
    names += (i > 0 ? ", " : "") + QuoteIdentifier(columns[i].name, quote);
    marks += i > 0 ? ", ?" : "?";
  }
  std::string sql = "INSERT INTO " + QuoteIdentifier(table, quote) + " (" + names + ") VALUES ";
  for (size_t r = 0; r < rows; ++r) sql += (r > 0 ? ", (" : "(") + marks + ")";
  return sql;
}

std::string StandardTypeName(const ColumnPlan& column) {
  switch (column.type) {
    case ColumnType::kText:
      return "VARCHAR(" + std::to_string(column.length > 0 ? column.length : 1) + ")";
    case ColumnType::kSmallInt: return "SMALLINT";
    case ColumnType::kInteger: return "INTEGER";
    case ColumnType::kDouble: return "DOUBLE PRECISION";
    // The stored value is a 32-bit count of ten-thousandths: at most ten
    // digits, four after the point.
    case ColumnType::kDecimal4: return "NUMERIC(10,4)";
    case ColumnType::kDate: return "DATE";
    case ColumnType::kTimestamp: return "TIMESTAMP";
  }
  return "VARCHAR(1)";
}

}  // namespace rh
