// The dBase driver's short way from a number literal of an INSERT to the
// bytes of its N field: the literal's own digits, laid out for the field.
// The long way reads the literal into an integer or a double
// (ConvertValue) and formats that (dbf::FormatField); the short way is taken
// only where it gives the same bytes, which for an export's numbers is
// nearly always, and says so otherwise.
#ifndef RECORDHAUL_DRIVERS_ODBC_DBF_NUMBER_TEXT_H_
#define RECORDHAUL_DRIVERS_ODBC_DBF_NUMBER_TEXT_H_

#include <cstddef>
#include <string_view>

#include "base/bytes.h"
#include "drivers/dbf/dbf_writer.h"
#include "drivers/sql/sql_statement.h"

namespace rh::odbc {

// A double keeps 15 significant decimal digits: a decimal of at most 15
// digits, read to the nearest double, is off by less than a tenth of its
// last place (2^-53 of the value), so formatting the double with as many
// decimals rounds back to the very same digits.
inline constexpr size_t kDbfExactDigits = 15;

// What the short way needs of a column and its field, worked out once for a
// table (DbfNumberColumnOf).
struct DbfNumberColumn {
  // An N field of a LONG, SHORT, BYTE (no decimals), DOUBLE or SINGLE
  // column; the short way declines every number for any other.
  bool usable = false;
  bool real = false;  // DOUBLE or SINGLE
  sql::ColumnType type = sql::ColumnType::kLong;
  int width = 0;
  int decimals = 0;
  // Integer columns: the most whole digits that are within the column's
  // range whatever they are, without and with a minus.
  size_t safe_digits = 0, safe_negative_digits = 0;
};
DbfNumberColumn DbfNumberColumnOf(sql::ColumnType type, const dbf::Field& field);

// The short way for numbers the parser found not plain, or not yet in the
// form their field shows them. Call DbfNumberText instead.
size_t DbfNumberTextOtherwise(const sql::Value& number, const DbfNumberColumn& column,
                              char* field_bytes);

// Writes what the column's N field shows for the number `number` (a Value
// of kind kNumber) right-aligned into the field's width bytes at
// `field_bytes`, leaving the bytes before it as they are, and returns its
// length, at most the width. Returns 0, writing nothing, where the long way
// is needed: the number is not plain (an exponent, a "+", no digit on one
// side of a point), has more decimals than the field, more digits than a
// double keeps exactly, a value out of its column's range or too wide for
// its field, or a fraction for an integer column (which the long way
// rounds). Reads only what the parser found of the number's digits
// (Value::plain, Value::whole_end).
inline size_t DbfNumberText(const sql::Value& number, const DbfNumberColumn& column,
                            char* field_bytes) {
  // What an export sends, inline: a plain number with exactly the field's
  // decimals (a real column) or none (an integer one), no leading zero and
  // few enough digits to fit, which the field shows as it is written.
  const char* const text = number.text.data();
  const size_t size = number.text.size();
  if (number.kind == sql::Value::Kind::kNumber && number.plain && column.usable) {
    const size_t sign = text[0] == '-' ? 1 : 0;
    const size_t whole_end = number.whole_end;
    const size_t whole_digits = whole_end - sign;
    const bool no_leading_zero = text[sign] != '0' || whole_digits == 1;
    const size_t decimals = static_cast<size_t>(column.decimals);
    bool shown_as_written;
    if (column.real) {
      shown_as_written =
          size == whole_end + 1 + decimals && whole_digits + decimals <= kDbfExactDigits;
    } else {
      // "-0" is written as "0".
      shown_as_written =
          whole_end == size &&
          whole_digits <= (sign ? column.safe_negative_digits : column.safe_digits) &&
          !(sign && text[sign] == '0');
    }
    if (shown_as_written && no_leading_zero && size <= static_cast<size_t>(column.width)) {
      CopyShort(field_bytes + column.width - size, text, size);
      return size;
    }
  }
  return DbfNumberTextOtherwise(number, column, field_bytes);
}

}  // namespace rh::odbc

#endif  // RECORDHAUL_DRIVERS_ODBC_DBF_NUMBER_TEXT_H_
