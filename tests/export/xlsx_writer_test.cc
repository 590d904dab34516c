#include "export/xlsx_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "export/export_types.h"
#include "tests/export/export_test_util.h"

namespace rh {
namespace {

using test::ExportHarness;
using test::Installation;

constexpr int64_t kLimit = 1234;  // stands in for the 1,048,575 rows of a worksheet

std::unique_ptr<RecordWriter> SmallWorkbook(const ExportTypeInfo& type, const WriterSetup& setup) {
  return std::make_unique<XlsxWriter>(type, setup, kLimit);
}

std::vector<std::string> Entries(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    names.push_back(e.path().filename().string());
  return names;
}

// A data file of exactly the limit is written whole; one record more stops
// the run with the limit named, and the existing workbook stays as it was.
TEST(XlsxWriter, StopsPastTheRowLimitKeepingTheDestination) {
  ExportTypeInfo small = *FindExportType(kExcelWorkbook);
  small.make_writer = &SmallWorkbook;
  for (int64_t records : {kLimit, kLimit + 1}) {
    SCOPED_TRACE(records);
    Installation inst;
    auto b = inst.Builder();
    std::vector<std::string> data(static_cast<size_t>(records), b.Text("Name", "x").Take());
    inst.SetRecords(static_cast<int32_t>(records), data);
    const std::string folder = inst.dir() / "out";
    const std::string dest = folder + "/book.xlsx";
    test::WriteFile(dest, "an earlier workbook");
    ExportHarness h(inst);
    auto r = h.Run(small, {"Name", "Posted"}, dest);
    EXPECT_EQ(Entries(folder), std::vector<std::string>{"book.xlsx"});  // no scratch left
    if (records <= kLimit) {
      EXPECT_EQ(r.outcome.kind, ExportOutcome::Kind::kCompleted) << r.outcome.error.ToString();
      EXPECT_EQ(r.written.substr(0, 2), "PK");
      continue;
    }
    EXPECT_EQ(r.outcome.kind, ExportOutcome::Kind::kFailed);
    EXPECT_EQ(r.outcome.error.message(),
              "An Excel worksheet holds at most 1,234 records below its names' row, and this "
              "data file has more. Nothing was written.");
    EXPECT_EQ(r.written, "an earlier workbook");
  }
}

}  // namespace
}  // namespace rh
