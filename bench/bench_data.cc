// Writes the benchmark's accounting installation: module QZGL, data file 5,
// twenty mixed fields, with one company per requested record count.
//   bench_data DIR N [N...]   company 01 gets the first count, 02 the second, ...
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "sample/sample_data.h"

namespace {

using rh::sample::FieldSpec;

const std::vector<FieldSpec>& Fields() {
  static const std::vector<FieldSpec> fields = {
      {"Account", 'T', 10},  {"Description", 'T', 30}, {"Reference", 'T', 20},
      {"Department", 'I', 2}, {"Line", 'L', 4},          {"Amount", 'F', 4},
      {"Balance", 'D', 8},    {"Posted", 'J', 4},        {"Status", 'Y', 1},
      {"Journal", 'T', 8},    {"Tax", 'F', 4},           {"Cost", 'D', 8},
      {"Quantity", 'L', 4},   {"Due", 'J', 4},           {"Customer", 'T', 15},
      {"Region", 'I', 2},     {"Flag", 'Y', 1},          {"Discount", 'F', 4},
      {"Batch", 'T', 12},     {"Sequence", 'L', 4}};
  return fields;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bench_data DIR N [N...]\n");
    return 2;
  }
  namespace fs = std::filesystem;
  const fs::path root = argv[1];
  fs::create_directories(root / "data");
  fs::create_directories(root / "sys");
  fs::create_directories(root / "progs");
  rh::Env* env = rh::Env::Default();
  rh::sample::ModuleSpec gl{"QZGL", "General Ledger", {{5, "Postings File", Fields()}}};
  const int32_t length = rh::sample::RecordLength(Fields());
  rh::Status s = rh::sample::WriteFileBytes(env, (root / "sys/QZFMDATA.DAT").string(),
                                            rh::sample::BuildDictionary("3b10", {gl}));
  if (s.ok()) s = rh::sample::WriteFileBytes(env, (root / "sys/QZPATHTB.dat").string(),
                                             rh::sample::BuildPathTable({""}));
  for (int c = 2; c < argc && s.ok(); ++c) {
    const long n = std::strtol(argv[c], nullptr, 10);
    char company[16];
    std::snprintf(company, sizeof company, "%02d", c - 1);
    s = rh::sample::WriteFileBytes(
        env, (root / "data" / (std::string("QZGL").append(company).append("FR.dat"))).string(),
        rh::sample::BuildRegister("Bench", {{5, static_cast<int16_t>(length), 0}}));
    auto file = env->OpenWritable((root / "data" / std::string("QZGL").append(company).append("05.dat")).string(),
                                  rh::WriteMode::kCreateTruncate);
    if (!file.ok()) return std::fprintf(stderr, "%s\n", file.status().message().c_str()), 1;
    if (s.ok()) s = (*file)->Append(rh::sample::BuildDataFile(static_cast<int32_t>(n), length, {}));
    rh::sample::RecordBuilder rb(Fields());
    uint32_t x = 12345;
    for (long i = 1; i <= n && s.ok(); ++i) {
      x = x * 1664525u + 1013904223u;
      const int v = static_cast<int>(x >> 8);
      rb.Text("Account", std::to_string(100000 + i % 90000))
          .Text("Description", i % 7 ? "Office supplies, \"bulk\" order" : "O'Brien & Sons")
          .Text("Reference", std::string("REF-").append(std::to_string(v % 100000)))
          .Int16("Department", static_cast<int16_t>(v % 400))
          .Int32("Line", static_cast<int32_t>(i))
          .Fixed("Amount", v % 100000000 - 20000000)
          .Real("Balance", (v % 10000000) / 100.0)
          .Int32("Posted", 36526 + v % 9000)
          .Byte("Status", static_cast<uint8_t>(v))
          .Text("Journal", "GJ")
          .Fixed("Tax", v % 50000)
          .Real("Cost", (v % 123456) / 7.0)
          .Int32("Quantity", v % 1000)
          .Int32("Due", 40000 + v % 5000)
          .Text("Customer", "Caf\xe9 M\xfcller")
          .Int16("Region", static_cast<int16_t>(v % 12))
          .Byte("Flag", static_cast<uint8_t>(i % 2))
          .Fixed("Discount", v % 5000)
          .Text("Batch", std::string("B").append(std::to_string(i / 1000)))
          .Int32("Sequence", static_cast<int32_t>(n - i));
      s = (*file)->Append(i % 997 == 0 ? rb.Deleted() : rb.Take());
    }
    if (s.ok()) s = (*file)->Close();
  }
  if (!s.ok()) {
    std::fprintf(stderr, "%s\n", s.ToString().c_str());
    return 1;
  }
  return 0;
}
