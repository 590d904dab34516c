#include "tests/migrate/fake_target.h"

namespace rh::test {

namespace {

class FakeLoad : public TableLoad {
 public:
  FakeLoad(FakeTarget* target, std::string name) : target_(target), name_(std::move(name)) {}
  ~FakeLoad() override {
    if (!committed_) target_->dropped.push_back(name_);
  }
  Status AddRow(std::span<const CellValue> row) override {
    if (++target_->rows_added == target_->fail_row) return Status::Sql("23000", "refused");
    std::vector<std::string>& out = rows_.emplace_back();
    for (const CellValue& c : row) out.push_back(FakeTarget::Text(c));
    return Status();
  }
  Status Commit(const std::vector<SourceRow>& sources) override {
    target_->tables[name_] = rows_;
    for (const SourceRow& s : sources) target_->sources.push_back(s);
    committed_ = true;
    return Status();
  }

 private:
  FakeTarget* target_;
  std::string name_;
  FakeTarget::Rows rows_;
  bool committed_ = false;
};

}  // namespace

Result<std::unique_ptr<TableLoad>> FakeTarget::BeginTable(const TablePlan& plan) {
  return std::unique_ptr<TableLoad>(new FakeLoad(this, plan.name));
}

std::string FakeTarget::Text(const CellValue& cell) {
  char buf[32];
  switch (cell.kind) {
    case CellValue::Kind::kNull: return "NULL";
    case CellValue::Kind::kInteger: return std::to_string(cell.integer);
    case CellValue::Kind::kReal: return std::to_string(cell.real);
    case CellValue::Kind::kDecimal4: FormatDecimal4(cell.integer, buf); return buf;
    case CellValue::Kind::kText: return std::string(cell.text);
    case CellValue::Kind::kDate: FormatIsoDate(cell.date, buf); return buf;
    case CellValue::Kind::kTimestamp: return std::to_string(cell.seconds);
  }
  return "?";
}

}  // namespace rh::test
