// MigrationTarget: the database a migration writes into. The migration
// knows only this interface; the SQLite file and the ODBC databases
// implement it (databases/), and the application hands one to the run.
//
// Each data file becomes one table, loaded by one TableLoad: created,
// filled row by row and put in place by Commit(), which also records where
// its rows came from in the table "sources". Until then the table of the
// same name that was there before stays as it was, and a load destroyed
// without Commit() leaves it so.
#ifndef RECORDHAUL_MIGRATE_MIGRATION_TARGET_H_
#define RECORDHAUL_MIGRATE_MIGRATION_TARGET_H_

#include <cstdint>
#include <ctime>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/status.h"
#include "migrate/row_converter.h"
#include "migrate/table_plan.h"

namespace rh {

// The tables every migration keeps up to date besides the data files' own.
inline constexpr char kCompaniesTable[] = "companies";
inline constexpr char kSourcesTable[] = "sources";

// A row of "companies": module, company, name (UTF-8).
struct CompanyRow {
  std::string module;
  std::string company;
  std::string name;
};

// A row of "sources": one company's data file loaded into a table.
struct SourceRow {
  std::string table;
  std::string module;
  int file_number = 0;
  std::string description;
  std::string company;
  std::string data_file;  // the path read
  int64_t records = 0;
  std::time_t loaded_at = 0;
};

// The columns of "companies" and "sources", as the targets create them,
// and a row of each as cells in that order (texts point into the row).
const std::vector<ColumnPlan>& CompaniesColumns();
const std::vector<ColumnPlan>& SourcesColumns();
std::vector<CellValue> CompanyCells(const CompanyRow& row);
std::vector<CellValue> SourceCells(const SourceRow& row);

// The records a failed AddRow() or Flush() concerns, from the rows'
// record_number cells; none when it is the row just added.
struct RecordRange {
  int32_t first = 0;
  int32_t last = 0;
};

class TableLoad {
 public:
  // Without Commit(): what the load wrote is dropped.
  virtual ~TableLoad() = default;

  // One row, a cell per column of the plan, in its order. A load may keep
  // rows to send many at once; a failure then concerns one of them.
  virtual Status AddRow(std::span<const CellValue> row) = 0;
  // Sends the rows kept back; the migration calls it after each data file.
  virtual Status Flush() { return Status(); }
  virtual RecordRange FailedRecords() const { return {}; }

  // Puts the table in place of the one of its name, replaces the rows of
  // "sources" that named it with `sources`, and makes that durable as the
  // target does (see KeepsCompletedTables).
  virtual Status Commit(const std::vector<SourceRow>& sources) = 0;
};

class MigrationTarget {
 public:
  virtual ~MigrationTarget() = default;

  // How messages name the database: its path, or "odbc:" and the
  // connection string with any password left out.
  virtual std::string Describe() const = 0;
  // The database file, which must not be one of the accounting files;
  // empty when the database is no file of ours.
  virtual std::string FilePath() const { return {}; }
  // True: each table is durable once committed, and a failure keeps the
  // tables committed before it. False: the run is one transaction, and a
  // failure leaves the database as it was before the run.
  virtual bool KeepsCompletedTables() const = 0;

  // Connects, and creates "companies" and "sources" where they are missing.
  virtual Status Open() = 0;
  virtual Result<std::unique_ptr<TableLoad>> BeginTable(const TablePlan& plan) = 0;
  // Replaces the rows of "companies" of the module.
  virtual Status ReplaceCompanies(const std::string& module,
                                  const std::vector<CompanyRow>& rows) = 0;
  // After the last table: makes the run durable and disconnects.
  virtual Status Finish() = 0;
  // After a failure: drops what has not been made durable and disconnects.
  virtual void Abandon() = 0;
};

}  // namespace rh

#endif  // RECORDHAUL_MIGRATE_MIGRATION_TARGET_H_
