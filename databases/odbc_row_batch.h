// OdbcRowBatch: the rows of one table sent through prepared INSERTs with
// bound parameters, as many at a time as the driver allows. Two ways
// multiply: a parameter array (SQL_ATTR_PARAMSET_SIZE) runs the statement
// for many sets of parameters in one call, where the driver takes arrays;
// and a statement may carry several rows (VALUES (...), (...)), where the
// database takes that. A driver that walks a parameter array one execution
// at a time, as psqlODBC does, still saves the round trips of the rows
// packed into each statement. Without either, one row per execution.
//
// Values are bound by row into one buffer, each in its ODBC type: texts as
// UTF-16, the four-decimal numbers as exact decimal text, dates and times
// as their structures.
#ifndef RECORDHAUL_DATABASES_ODBC_ROW_BATCH_H_
#define RECORDHAUL_DATABASES_ODBC_ROW_BATCH_H_

#include <span>
#include <string>
#include <vector>

#include "databases/odbc_handles.h"
#include "migrate/migration_target.h"

namespace rh {

class OdbcRowBatch {
 public:
  // Prepares the INSERTs into `table` (of `rows_per_statement` rows, and of
  // one) and binds their parameters. `record_column` is the index of the
  // record_number column, or -1.
  Status Prepare(SQLHDBC dbc, const std::string& table, const std::vector<ColumnPlan>& columns,
                 char quote, size_t rows_per_statement, int record_column);

  // Copies the row into the buffer; executes when the buffer is full.
  Status Add(std::span<const CellValue> row);
  // Executes the rows kept, if any.
  Status Execute();
  // Frees the statements; rows kept are dropped.
  void Close();

  // Rows kept before they are sent, and whether the driver takes arrays.
  size_t capacity() const { return capacity_; }
  bool arrays() const { return arrays_; }
  // After a failed execution: the records of the rows of the statement the
  // driver marks as failed, else of every row sent in that call.
  RecordRange failed() const { return failed_; }

 private:
  struct Column {
    ColumnType type;
    size_t value_offset = 0;   // in a row of `buffer_`
    size_t length_offset = 0;  // its SQLLEN length or SQL_NULL_DATA
    SQLULEN characters = 0;    // kText: the most UTF-16 units
  };
  Status BindRows(OdbcStatement& stmt, size_t rows, const std::vector<ColumnPlan>& columns);
  Status Run(OdbcStatement& stmt, size_t sets, size_t first_row, size_t rows_per_set);
  void Store(const Column& column, char* row, const CellValue& cell);
  int32_t RecordAt(size_t row) const;

  OdbcStatement wide_;    // rows_per_statement_ rows
  OdbcStatement single_;  // one row
  std::vector<Column> columns_;
  std::vector<char> buffer_;  // capacity_ rows of row_bytes_
  size_t row_bytes_ = 0;
  size_t rows_per_statement_ = 1;
  size_t capacity_ = 1;
  size_t rows_ = 0;
  bool arrays_ = false;
  SQLULEN bind_offset_ = 0;  // where single_'s row starts in buffer_
  std::vector<SQLUSMALLINT> set_status_;
  int record_column_ = -1;
  RecordRange failed_;
};

}  // namespace rh

#endif  // RECORDHAUL_DATABASES_ODBC_ROW_BATCH_H_
