#include "drivers/odbc/dbf_number_text.h"

#include <cstdint>
#include <cstring>

namespace rh::odbc {

namespace {

bool IsIntegerType(sql::ColumnType type) {
  return type == sql::ColumnType::kLong || type == sql::ColumnType::kShort ||
         type == sql::ColumnType::kByte;
}

// The column's range, as ConvertValue checks it, for the digits of a whole
// number with no leading zeros. Fewer digits than the range's limit has are
// within it, but for a BYTE's negative range; the others are read.
bool InRange(sql::ColumnType type, bool negative, const char* digits, size_t count) {
  const size_t always = type == sql::ColumnType::kLong    ? 10
                        : type == sql::ColumnType::kShort ? 5
                                                          : 0;
  if (count < always) return true;
  uint64_t magnitude = 0;
  for (size_t i = 0; i < count; ++i)
    magnitude = magnitude * 10 + static_cast<uint64_t>(digits[i] - '0');
  const uint64_t limit = type == sql::ColumnType::kLong    ? (negative ? 2147483648u : 2147483647u)
                         : type == sql::ColumnType::kShort ? (negative ? 32768u : 32767u)
                                                           : (negative ? 0u : 255u);
  return magnitude <= limit;
}

}  // namespace

DbfNumberColumn DbfNumberColumnOf(sql::ColumnType type, const dbf::Field& field) {
  DbfNumberColumn column;
  const bool integer_column = IsIntegerType(type);
  column.real = type == sql::ColumnType::kDouble || type == sql::ColumnType::kSingle;
  column.usable = field.type == 'N' && (column.real || (integer_column && field.decimals == 0));
  column.type = type;
  column.width = field.width;
  column.decimals = field.decimals;
  // InRange's digits below which every value is within the range.
  column.safe_digits = type == sql::ColumnType::kLong    ? 9
                       : type == sql::ColumnType::kShort ? 4
                       : type == sql::ColumnType::kByte  ? 2
                                                         : 0;
  column.safe_negative_digits = type == sql::ColumnType::kByte ? 0 : column.safe_digits;
  return column;
}

size_t DbfNumberTextOtherwise(const sql::Value& number, const DbfNumberColumn& column,
                              char* field_bytes) {
  if (!column.usable) return 0;
  const sql::ColumnType type = column.type;
  const bool integer_column = !column.real;
  // "+", an exponent, ".5" and "5." take the long way.
  if (number.kind != sql::Value::Kind::kNumber || !number.plain) return 0;
  const char* const text = number.text.data();
  const size_t size = number.text.size();
  const size_t whole = text[0] == '-' ? 1 : 0;
  const bool negative = whole != 0;
  const size_t point = number.whole_end;  // or the end
  const bool has_point = point != size;
  if (integer_column && has_point) return 0;
  size_t significant = whole;
  while (significant + 1 < point && text[significant] == '0') ++significant;
  const size_t whole_digits = point - significant;
  const size_t fraction_digits = has_point ? size - point - 1 : 0;
  const size_t decimals = static_cast<size_t>(column.decimals);
  if (fraction_digits > decimals || whole_digits + decimals > kDbfExactDigits) return 0;
  if (integer_column && !InRange(type, negative, text + significant, whole_digits)) return 0;
  // An integer literal is read as an integer, which has no negative zero; a
  // decimal one as a double, which has.
  const bool zero = whole_digits == 1 && text[significant] == '0';
  const bool sign = negative && (has_point || !zero);
  const size_t shown = (sign ? 1 : 0) + whole_digits + (decimals > 0 ? 1 + decimals : 0);
  if (shown > static_cast<size_t>(column.width)) return 0;
  char* const out = field_bytes + column.width - static_cast<int>(shown);
  if (significant == whole && fraction_digits == decimals && sign == negative) {
    // What an export sends: the number as the field shows it.
    std::memcpy(out, text, size);
    return shown;
  }
  char* o = out;
  if (sign) *o++ = '-';
  std::memcpy(o, text + significant, whole_digits);
  o += whole_digits;
  if (decimals > 0) {
    *o++ = '.';
    if (has_point) std::memcpy(o, text + point + 1, fraction_digits);
    for (size_t i = fraction_digits; i < decimals; ++i) o[i] = '0';
  }
  return shown;
}

}  // namespace rh::odbc
