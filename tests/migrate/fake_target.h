// A MigrationTarget that keeps each table's rows in memory as
// "company/record_number", and fails where a test asks it to.
#ifndef RECORDHAUL_TESTS_MIGRATE_FAKE_TARGET_H_
#define RECORDHAUL_TESTS_MIGRATE_FAKE_TARGET_H_

#include <map>
#include <string>
#include <vector>

#include "migrate/migration_target.h"

namespace rh::test {

class FakeTarget : public MigrationTarget {
 public:
  std::string Describe() const override { return "fake"; }
  std::string FilePath() const override { return file; }
  bool KeepsCompletedTables() const override { return keeps; }
  Status Open() override { return opened = true, open_error; }
  Result<std::unique_ptr<TableLoad>> BeginTable(const TablePlan& plan) override {
    return std::unique_ptr<TableLoad>(new Load(this, plan.name));
  }
  Status ReplaceCompanies(const std::string& module, const std::vector<CompanyRow>& rows) override {
    companies[module] = rows;
    return Status();
  }
  Status Finish() override { return finished = true, Status(); }
  void Abandon() override { abandoned = true; }

  std::map<std::string, std::vector<std::string>> tables;  // committed
  std::vector<SourceRow> sources;
  std::map<std::string, std::vector<CompanyRow>> companies;
  int rows_added = 0;
  int fail_row = 0;  // this AddRow of the run fails
  Status open_error;
  std::string file;
  bool keeps = false;
  bool opened = false, finished = false, abandoned = false;

 private:
  class Load : public TableLoad {
   public:
    Load(FakeTarget* target, std::string name) : target_(target), name_(std::move(name)) {}
    Status AddRow(std::span<const CellValue> row) override {
      if (++target_->rows_added == target_->fail_row) return Status::Sql("23000", "refused");
      rows_.push_back(std::string(row[0].text) + "/" + std::to_string(row[1].integer));
      return Status();
    }
    Status Commit(const std::vector<SourceRow>& sources) override {
      target_->tables[name_] = rows_;
      target_->sources.insert(target_->sources.end(), sources.begin(), sources.end());
      return Status();
    }

   private:
    FakeTarget* target_;
    std::string name_;
    std::vector<std::string> rows_;
  };
};

}  // namespace rh::test

#endif  // RECORDHAUL_TESTS_MIGRATE_FAKE_TARGET_H_
