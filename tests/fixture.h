// A small accounting installation for tests: module QZGL with one data file
// holding a field of every type, one company "01", and records the test
// chooses.
#ifndef RECORDHAUL_TESTS_FIXTURE_H_
#define RECORDHAUL_TESTS_FIXTURE_H_

#include <string>
#include <vector>

#include "sample/sample_data.h"
#include "tests/test_util.h"

namespace rh::test {

// Fields of file 1: a text, every number type, a date, and an odd letter.
inline std::vector<sample::FieldSpec> EveryTypeFields() {
  return {{"Name", 'T', 10}, {"Count", 'I', 2},  {"Total", 'L', 4}, {"Rate", 'F', 4},
          {"Balance", 'D', 8}, {"Flag", 'Y', 1}, {"Posted", 'J', 4}, {"Odd", 'X', 4}};
}

class Installation {
 public:
  explicit Installation(std::vector<sample::FieldSpec> fields = EveryTypeFields(),
                        std::string version = "3a02")
      : fields_(std::move(fields)) {
    sample::ModuleSpec gl{"QZGL", "General Ledger", {{1, "Chart of Accounts Master", fields_},
                                                     {2, "Chart of Accounts Totals", fields_}}};
    WriteFile(dir_ / "sys/QZFMDATA.DAT", sample::BuildDictionary(version, {gl}));
    WriteFile(dir_ / "sys/QZPATHTB.dat", sample::BuildPathTable({""}));
    SetRegister(RecordLength());
    WriteFile(dir_ / "progs/README", "");
  }

  int32_t RecordLength() const { return sample::RecordLength(fields_); }
  sample::RecordBuilder Builder() const { return sample::RecordBuilder(fields_); }

  void SetRegister(int32_t record_length) {
    WriteFile(dir_ / "data/QZGL01FR.dat",
              sample::BuildRegister("Test Co", {{1, static_cast<int16_t>(record_length), 0},
                                                {2, static_cast<int16_t>(record_length), 0}}));
  }

  // Data file 1 of company 01.
  void SetRecords(int32_t header_count, const std::vector<std::string>& records) {
    WriteFile(DataPath(), sample::BuildDataFile(header_count, RecordLength(), records));
  }
  std::string DataPath() const { return dir_ / "data/QZGL0101.dat"; }

  std::string data() const { return dir_ / "data"; }
  std::string system() const { return dir_ / "sys"; }
  std::string programs() const { return dir_ / "progs"; }
  const TempDir& dir() const { return dir_; }

 private:
  TempDir dir_;
  std::vector<sample::FieldSpec> fields_;
};

}  // namespace rh::test

#endif  // RECORDHAUL_TESTS_FIXTURE_H_
