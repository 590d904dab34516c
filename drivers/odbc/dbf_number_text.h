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

#include "drivers/dbf/dbf_writer.h"
#include "drivers/sql/sql_statement.h"

namespace rh::odbc {

// Writes what the N field `field` of a column of type `type` shows for the
// number `number` (a Value of kind kNumber) right-aligned into the field's
// field.width bytes at `field_bytes`, leaving the bytes before it as they
// are, and returns its length, at most field.width. Returns 0, writing
// nothing, where the long way is needed: the number is not plain (an
// exponent, a "+", no digit on one side of a point), has more decimals than
// the field, more digits than a double keeps exactly, a value out of its
// column's range or too wide for its field, or a fraction for an integer
// column (which the long way rounds). Reads only what the parser found of
// the number's digits (Value::plain, Value::whole_end).
size_t DbfNumberText(const sql::Value& number, sql::ColumnType type, const dbf::Field& field,
                     char* field_bytes);

}  // namespace rh::odbc

#endif  // RECORDHAUL_DRIVERS_ODBC_DBF_NUMBER_TEXT_H_
