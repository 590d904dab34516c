// Turning the values of an INSERT statement into the cells of a row, with
// the checks Jet makes: numbers must fit their column, texts their length,
// and a string given for a number column must read as a number.
#ifndef RECORDHAUL_DRIVERS_MDB_JET_VALUES_H_
#define RECORDHAUL_DRIVERS_MDB_JET_VALUES_H_

#include "base/status.h"
#include "drivers/mdb/jet_format.h"
#include "drivers/sql/sql_statement.h"

namespace rh::mdb {

// SQLSTATE of a string that does not convert to a number.
inline constexpr const char* kInvalidCast = "22018";

// Fills *cell from `value` for a column of type `col.type`. The cell's text
// points into `value`. Errors carry an SQLSTATE as caption.
Status ToCell(const sql::Value& value, const ColumnSpec& col, Cell* cell);

// The cell of a plain number (Value::plain) in a BYTE, INTEGER, LONG,
// SINGLE or DOUBLE column, as ToCell gives it, or false where ToCell must
// decide (a fraction for an integer column, more than 15 digits, a value out
// of range, any other column).
bool PlainNumberCell(const sql::Value& value, const ColumnSpec& col, Cell* cell);

// ToCell for what an export sends, without a Status: a text that fits its
// TEXT column, a plain number its number column takes. False, leaving
// *cell to ToCell, for anything else.
inline bool QuickCell(const sql::Value& value, const ColumnSpec& col, Cell* cell) {
  if (value.kind == sql::Value::Kind::kNull) return false;
  if (col.type == JetType::kText) {
    if (value.text.size() > col.length / 2u) return false;
    cell->kind = Cell::Kind::kText;
    cell->text = value.text;
    return true;
  }
  return PlainNumberCell(value, col, cell);
}

// The number a literal or a string holds (blanks around it allowed), in
// plain decimal or exponent notation. kOutOfRange: beyond a double.
enum class NumberText { kOk, kNotANumber, kOutOfRange };
NumberText ReadNumber(std::string_view text, double* out);

}  // namespace rh::mdb

#endif  // RECORDHAUL_DRIVERS_MDB_JET_VALUES_H_
