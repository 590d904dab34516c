#include "drivers/odbc/table_schema.h"

#include <cfloat>
#include <charconv>
#include <cmath>

#include "base/decimal.h"
#include "base/paths.h"

namespace rh::odbc {

namespace {

std::string_view TrimBlanks(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  return t;
}

Status OutOfRange(const sql::ColumnDef& col) {
  return sql::SqlError(sql::kOutOfRange, "numeric value out of range for column " +
                                             col.name + " (" +
                                             sql::ColumnTypeName(col.type) + ")");
}

enum class Parsed { kOk, kNotANumber, kOutOfRange };

// The whole of `t` as a number: an exact integer where it is one, else a
// double.
Parsed ParseNumber(std::string_view t, bool* is_integer, int64_t* i, double* d) {
  std::string_view body = t;
  if (!body.empty() && body.front() == '+') body.remove_prefix(1);
  if (body.empty() || body.front() == '+') return Parsed::kNotANumber;
  const char* end = body.data() + body.size();
  // An integer is "-" and digits; up to 18 digits never overflow, so those
  // are read here, and a text with something else after its digits is none.
  const char* p = body.data() + (body.front() == '-' ? 1 : 0);
  const char* const digits = p;
  uint64_t magnitude = 0;
  for (; p != end && p - digits < 18 && *p >= '0' && *p <= '9'; ++p)
    magnitude = magnitude * 10 + static_cast<uint64_t>(*p - '0');
  if (p == end && p != digits) {
    *i = digits == body.data() ? static_cast<int64_t>(magnitude) : -static_cast<int64_t>(magnitude);
    *is_integer = true;
    *d = static_cast<double>(*i);
    return Parsed::kOk;
  }
  if (p != end && p - digits == 18) {
    auto ri = std::from_chars(body.data(), end, *i);
    if (ri.ec == std::errc() && ri.ptr == end) {
      *is_integer = true;
      *d = static_cast<double>(*i);
      return Parsed::kOk;
    }
  }
  auto rd = DecimalFromChars(body.data(), end, *d);
  if (rd.ptr != end) return Parsed::kNotANumber;
  if (rd.ec == std::errc::result_out_of_range) return Parsed::kOutOfRange;
  if (rd.ec != std::errc() || !std::isfinite(*d)) return Parsed::kNotANumber;
  *is_integer = false;
  return Parsed::kOk;
}

Result<ColumnValue> NumberFor(std::string_view text, const sql::ColumnDef& col) {
  bool is_integer = false;
  int64_t i = 0;
  double d = 0;
  switch (ParseNumber(text, &is_integer, &i, &d)) {
    case Parsed::kOk: break;
    case Parsed::kOutOfRange: return OutOfRange(col);
    case Parsed::kNotANumber: {
      std::string msg = "not a number, for column " + col.name + ": ";
      msg.append(text);
      return sql::SqlError("22018", std::move(msg));
    }
  }
  ColumnValue out;
  if (col.type == sql::ColumnType::kDouble || col.type == sql::ColumnType::kSingle) {
    if (col.type == sql::ColumnType::kSingle && std::fabs(d) > FLT_MAX)
      return OutOfRange(col);
    out.kind = ColumnValue::Kind::kReal;
    out.real = is_integer ? static_cast<double>(i) : d;
    return out;
  }
  int64_t lo = col.type == sql::ColumnType::kLong    ? INT32_MIN
               : col.type == sql::ColumnType::kShort ? INT16_MIN
                                                     : 0;
  int64_t hi = col.type == sql::ColumnType::kLong    ? INT32_MAX
               : col.type == sql::ColumnType::kShort ? INT16_MAX
                                                     : 255;
  if (!is_integer) {
    d = std::round(d);
    if (d < static_cast<double>(lo) || d > static_cast<double>(hi))
      return OutOfRange(col);
    i = static_cast<int64_t>(d);
  }
  if (i < lo || i > hi) return OutOfRange(col);
  out.kind = ColumnValue::Kind::kInteger;
  out.integer = i;
  return out;
}

Result<ColumnValue> DateFor(const sql::Value& v, const sql::ColumnDef& col) {
  if (v.kind == sql::Value::Kind::kNumber)
    return sql::SqlError("22018", "a number for date column " + col.name + ": " + std::string(v.text));
  std::string_view t = TrimBlanks(v.text);
  if (t.empty()) return ColumnValue{};
  auto date = ParseIsoDate(t);
  if (!date) {
    return sql::SqlError(sql::kInvalidDate, "not a date (YYYY-MM-DD), for column " + col.name +
                                                ": " + std::string(t));
  }
  ColumnValue out;
  out.kind = ColumnValue::Kind::kDate;
  out.date = *date;
  return out;
}

}  // namespace

Result<ColumnValue> ConvertValue(const sql::Value& v, const sql::ColumnDef& col,
                                 size_t max_text) {
  if (v.kind == sql::Value::Kind::kNull) return ColumnValue{};
  if (col.type == sql::ColumnType::kDate) return DateFor(v, col);
  if (col.type == sql::ColumnType::kText) {
    size_t limit = max_text;
    if (col.text_length && static_cast<size_t>(*col.text_length) < limit)
      limit = static_cast<size_t>(*col.text_length);
    if (v.text.size() > limit)
      return sql::SqlError(sql::kStringTooLong,
                           "text of " + std::to_string(v.text.size()) +
                               " characters too long for column " + col.name +
                               " (" + std::to_string(limit) + ")");
    ColumnValue out;
    out.kind = ColumnValue::Kind::kText;
    out.text = v.text;
    return out;
  }
  if (v.kind == sql::Value::Kind::kString) {
    std::string_view t = TrimBlanks(v.text);
    if (t.empty()) return ColumnValue{};
    return NumberFor(t, col);
  }
  return NumberFor(v.text, col);
}

Result<TableSchema> TableSchema::Create(const sql::CreateTable& create) {
  // Neither file format has a place for long texts beside its table.
  for (const sql::ColumnDef& col : create.columns)
    if (col.type == sql::ColumnType::kMemo)
      return sql::SqlError("HYC00", "MEMO columns are not supported by this driver (column " +
                                        col.name + ")");
  for (size_t i = 0; i < create.columns.size(); ++i)
    for (size_t j = 0; j < i; ++j)
      if (EqualsIgnoreAsciiCase(create.columns[i].name, create.columns[j].name))
        return sql::SqlError("42S21", "column " + create.columns[i].name +
                                          " defined twice");
  TableSchema schema;
  schema.table_ = create.table;
  schema.columns_ = create.columns;
  return schema;
}

Status TableSchema::MapInsert(const sql::Insert& insert,
                              std::vector<int>* value_of) const {
  value_of->assign(columns_.size(), -1);
  if (insert.columns.empty()) {
    if (insert.values.size() != columns_.size())
      return sql::SqlError(sql::kCountMismatch,
                           "the table has " + std::to_string(columns_.size()) +
                               " columns, the statement gives " +
                               std::to_string(insert.values.size()) + " values");
    for (size_t c = 0; c < columns_.size(); ++c) (*value_of)[c] = static_cast<int>(c);
    return Status();
  }
  for (size_t k = 0; k < insert.columns.size(); ++k) {
    const std::string& name = insert.columns[k];
    // The writer names the columns in table order; look there first.
    size_t c = k;
    if (c >= columns_.size() || !EqualsIgnoreAsciiCase(columns_[c].name, name)) {
      for (c = 0; c < columns_.size(); ++c)
        if (EqualsIgnoreAsciiCase(columns_[c].name, name)) break;
    }
    if (c == columns_.size())
      return sql::SqlError(sql::kColumnNotFound, "unknown column " + name);
    if ((*value_of)[c] >= 0)
      return sql::SqlError(sql::kSyntaxError, "column " + name + " named twice");
    (*value_of)[c] = static_cast<int>(k);
  }
  return Status();
}

}  // namespace rh::odbc
