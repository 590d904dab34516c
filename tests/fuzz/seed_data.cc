#include "tests/fuzz/seed_data.h"

#include <cmath>
#include <limits>

namespace rh::fuzz {

std::vector<sample::FieldSpec> SeedFields() {
  return {{"Name", 'T', 12},  {"Count", 'I', 2},  {"Total", 'L', 4},
          {"Rate", 'F', 4},   {"Balance", 'D', 8}, {"Flag", 'Y', 1},
          {"Posted", 'J', 4}, {"Odd", 'X', 4},     {"O'Brien \"Memo\"", 'T', 20}};
}

std::string SeedDictionary(const std::vector<sample::FieldSpec>& fields,
                           std::string_view version) {
  std::vector<sample::ModuleSpec> modules = {
      {"QZGL", "General Ledger", {{1, "Chart of Accounts Master", fields},
                                  {2, "Chart of Accounts Totals", fields}}}};
  for (const sample::ModuleSpec& m : sample::SampleSchema()) {
    if (m.code != "QZAP" && m.code != "QZPR") continue;
    sample::ModuleSpec few = m;
    few.files.resize(std::min<size_t>(few.files.size(), 3));
    modules.push_back(few);
  }
  return sample::BuildDictionary(version, modules);
}

std::vector<std::string> SeedRecords(const std::vector<sample::FieldSpec>& fields) {
  sample::RecordBuilder b(fields);
  std::vector<std::string> records;
  records.push_back(b.Text("Name", "Acme Supply")
                        .Int16("Count", -2)
                        .Int32("Total", 100000)
                        .Fixed("Rate", 123456)
                        .Real("Balance", 12.5)
                        .Byte("Flag", 255)
                        .Int32("Posted", 36526)
                        .Text("O'Brien \"Memo\"", "O'Brien, \"x\"\ty\nz")
                        .Take());
  records.push_back(b.Deleted());
  records.push_back(b.Text("Name", std::string("AB\0CDEFGHIJ", 11))
                        .Int16("Count", 32767)
                        .Int32("Total", std::numeric_limits<int32_t>::min())
                        .Fixed("Rate", -1)
                        .Real("Balance", 1e300)
                        .Int32("Posted", 73050)
                        .Take());
  records.push_back(b.Text("Name", "Caf\xe9 M\xfcller").Int32("Posted", 0)
                        .Real("Balance", -0.0).Take());
  records.push_back(b.Raw(0, std::string(5, '\xff') + "x").Int32("Posted", -5).Take());
  records.push_back(b.Text("Name", "            ").Real("Balance", std::nan(""))
                        .Real("Balance", 12345678901.5).Take());
  return records;
}

std::string SeedRegister(int32_t record_length) {
  const auto length = static_cast<int16_t>(record_length);
  return sample::BuildRegister("Quillmont Hardware Inc.", {{1, length, 1}, {2, length, 1}});
}

}  // namespace rh::fuzz
