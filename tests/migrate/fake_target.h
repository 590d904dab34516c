// A MigrationTarget that keeps what it is given in memory, as text, and
// fails where a test asks it to.
#ifndef RECORDHAUL_TESTS_MIGRATE_FAKE_TARGET_H_
#define RECORDHAUL_TESTS_MIGRATE_FAKE_TARGET_H_

#include <map>
#include <string>
#include <vector>

#include "migrate/migration_target.h"

namespace rh::test {

class FakeTarget : public MigrationTarget {
 public:
  using Rows = std::vector<std::vector<std::string>>;

  std::string Describe() const override { return "fake"; }
  std::string FilePath() const override { return file; }
  bool KeepsCompletedTables() const override { return keeps; }
  Status Open() override {
    opened = true;
    return open_error;
  }
  Result<std::unique_ptr<TableLoad>> BeginTable(const TablePlan& plan) override;
  Status ReplaceCompanies(const std::string& module,
                          const std::vector<CompanyRow>& rows) override {
    companies[module] = rows;
    return Status();
  }
  Status Finish() override {
    finished = true;
    return Status();
  }
  void Abandon() override { abandoned = true; }

  // Every cell as text: NULL, numbers, decimal text, ISO dates.
  static std::string Text(const CellValue& cell);

  std::map<std::string, Rows> tables;  // committed
  std::vector<SourceRow> sources;
  std::map<std::string, std::vector<CompanyRow>> companies;
  std::vector<std::string> dropped;    // loads ended without Commit()
  int rows_added = 0;
  int fail_row = 0;                    // this AddRow of the run fails
  Status open_error;
  std::string file;
  bool keeps = false;
  bool opened = false, finished = false, abandoned = false;
};

}  // namespace rh::test

#endif  // RECORDHAUL_TESTS_MIGRATE_FAKE_TARGET_H_
