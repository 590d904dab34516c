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

// The number a literal or a string holds (blanks around it allowed), in
// plain decimal or exponent notation. kOutOfRange: beyond a double.
enum class NumberText { kOk, kNotANumber, kOutOfRange };
NumberText ReadNumber(std::string_view text, double* out);

}  // namespace rh::mdb

#endif  // RECORDHAUL_DRIVERS_MDB_JET_VALUES_H_
