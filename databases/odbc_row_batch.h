// OdbcRowBatch: the parameters of a prepared INSERT, many rows at a time
// where the driver takes parameter arrays, else one row at a time. Values
// are bound by column, each in its ODBC type: texts as UTF-16, the
// four-decimal numbers as exact decimal text, dates and times as their
// structures.
#ifndef RECORDHAUL_DATABASES_ODBC_ROW_BATCH_H_
#define RECORDHAUL_DATABASES_ODBC_ROW_BATCH_H_

#include <span>
#include <vector>

#include "databases/odbc_handles.h"
#include "migrate/migration_target.h"

namespace rh {

class OdbcRowBatch {
 public:
  // Binds the parameters of the prepared `stmt`, one per column. Asks the
  // driver for arrays of up to `max_rows` rows; `record_column` is the
  // index of the record_number column, or -1.
  Status Bind(SQLHSTMT stmt, const std::vector<ColumnPlan>& columns, size_t max_rows,
              int record_column);

  // Copies the row into the batch; executes the batch when it is full.
  Status Add(std::span<const CellValue> row);
  // Executes the rows kept, if any.
  Status Execute();

  // Rows per execution: 1 where the driver takes no parameter arrays.
  size_t capacity() const { return capacity_; }
  // After a failed execution: the record of the row the driver marks as
  // failed, else the records of the whole batch.
  RecordRange failed() const { return failed_; }

 private:
  struct Column {
    ColumnType type;
    SQLLEN width = 0;             // bytes a value takes in `data`
    SQLULEN characters = 0;       // kText: the most UTF-16 units
    std::vector<char> data;       // capacity_ values
    std::vector<SQLLEN> lengths;  // their lengths, or SQL_NULL_DATA
  };
  void Store(Column& column, size_t row, const CellValue& cell);
  int32_t RecordAt(size_t row) const;

  SQLHSTMT stmt_ = SQL_NULL_HSTMT;
  std::vector<Column> columns_;
  std::vector<SQLUSMALLINT> row_status_;
  SQLULEN processed_ = 0;
  size_t capacity_ = 1;
  size_t rows_ = 0;
  int record_column_ = -1;
  RecordRange failed_;
};

}  // namespace rh

#endif  // RECORDHAUL_DATABASES_ODBC_ROW_BATCH_H_
