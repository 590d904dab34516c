// Dates, empty dates and trimmed texts of the workbook export and of the
// typed table exports, read back with independent readers (read_typed.py:
// openpyxl, xlrd, dbfread, mdb-export, mdb-reader; mdb-schema for the column
// types), and every workbook and worksheet here opened by LibreOffice, all
// in one run of it. A missing reader skips, or fails under ./test.sh.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "export/export_types.h"
#include "tests/drivers/odbc/odbc_test_util.h"
#include "tests/export/export_test_util.h"
#include "tests/readers.h"

namespace rh {
namespace {

using test::ExportHarness;
using test::Installation;
using test::RunCommand;

constexpr int kSkipped = 77;

// Day numbers at the edges: a date, the 02/29/1900 that never was, no date,
// 01/01/1900, no date (12/31/2099 and on), the first day all spreadsheet
// programs number alike.
struct Record {
  const char* name;
  int32_t day;
  double balance;
};
constexpr Record kRecords[] = {{"North Star  ", 44625, 12.5}, {"O'Brien", 60, -3},
                               {"Caf\xe9", 0, 0.25},          {"Zed", 1, 1},
                               {"Last", 73050, 2},            {"March", 61, 3}};
// Export names every type takes, dBase's ten characters included.
const std::vector<std::string> kRows = {"Name=NAME", "Posted=POSTED", "Today's Date=TODAY",
                                        "Balance=BALANCE"};

std::unique_ptr<Installation> MakeInstallation(int copies = 1) {
  auto inst = std::make_unique<Installation>(
      std::vector<sample::FieldSpec>{{"Name", 'T', 12}, {"Posted", 'J', 4}, {"Balance", 'D', 8}});
  auto b = inst->Builder();
  std::vector<std::string> records;
  for (int i = 0; i < copies; ++i)
    for (const Record& r : kRecords)
      records.push_back(b.Text("Name", r.name).Int32("Posted", r.day).Real("Balance", r.balance).Take());
  inst->SetRecords(static_cast<int32_t>(records.size()), records);
  return inst;
}

void Export(Installation& inst, int type, bool typed, const std::string& dest) {
  ExportHarness h(inst);
  h.options.typed = typed;
  auto r = h.Run(type, kRows, dest);
  ASSERT_EQ(r.outcome.kind, ExportOutcome::Kind::kCompleted) << r.outcome.error.ToString();
}

// read_typed.py's output for the table at `path`, or its exit code.
int ReadTyped(const std::string& path, const std::string& args, std::string* out) {
  const std::string python =
      std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
  return RunCommand("RECORDHAUL_NPM_DIR='" RECORDHAUL_NPM_DIR "' " + python +
                        " " RH_READ_TYPED_PY " '" + path + "' " + args,
                    out);
}

// A spreadsheet keeps January and February 1900 as text; a database has
// the real date.
const char kSheetRows[] =
    R"([["North Star", "date:2022-03-05", "date:2007-03-15", 12.5], )"
    R"(["O'Brien", null, "date:2007-03-15", -3], ["Caf\u00e9", null, "date:2007-03-15", 0.25], )"
    R"(["Zed", "01/01/1900", "date:2007-03-15", 1], ["Last", null, "date:2007-03-15", 2], )"
    R"(["March", "date:1900-03-01", "date:2007-03-15", 3]])"
    "\n";
const std::string kTableRows =
    std::string(kSheetRows).replace(std::string(kSheetRows).find("01/01/1900"), 10, "date:1900-01-01");

struct Case {
  const char* name;
  int type;
  const char* extension;
  const char* reader;  // read_typed.py's reader argument
  std::string rows;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class TypedReaders : public ::testing::TestWithParam<Case> {
 protected:
  static void SetUpTestSuite() {
    static odbc::testing::TempDir config;
    static const bool registered = odbc::testing::UseBuildTreeDrivers(config.path());
    ASSERT_TRUE(registered);
  }
};

TEST_P(TypedReaders, GiveBackDatesEmptyDatesAndTrimmedTexts) {
  const Case& c = GetParam();
  auto inst = MakeInstallation();
  const std::string dest = inst->dir() / (std::string("out.") + c.extension);
  Export(*inst, c.type, true, dest);
  std::string out;
  const int code = ReadTyped(dest, c.reader, &out);
  if (code == kSkipped) return test::ReaderMissing(out);
  ASSERT_EQ(code, 0) << out;
  EXPECT_EQ(out, c.rows);
  if (c.type == kAccess) {
    std::string schema;
    if (RunCommand("mdb-schema -T KVTdatatool '" + dest + "' access 2>/dev/null", &schema) != 0)
      return test::ReaderMissing("mdbtools (mdb-schema)");
    EXPECT_NE(schema.find("[POSTED]\t\t\tDateTime"), std::string::npos) << schema;
    EXPECT_NE(schema.find("[TODAY]\t\t\tDateTime"), std::string::npos) << schema;
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryReader, TypedReaders,
    ::testing::Values(Case{"workbook_openpyxl", kExcelWorkbook, "xlsx", "", kSheetRows},
                      Case{"excel_xlrd", kExcel, "xls", "", kSheetRows},
                      Case{"dbase_dbfread", kDBase, "dbf", "", kTableRows},
                      Case{"access_mdb_export", kAccess, "mdb", "", kTableRows},
                      Case{"access_mdb_reader", kAccess, "mdb", "mdb-reader", kTableRows}),
    [](const auto& info) { return std::string(info.param.name); });

// Past the 65,536 rows of a .xls worksheet.
constexpr int kManyCopies = 11000;  // 66,000 records

// LibreOffice's CSV of a sheet: the cells as they show, lines without CR.
std::vector<std::string> CsvLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

const std::vector<std::string> kShownTyped = {
    "NAME,POSTED,TODAY,BALANCE",        "North Star,03/05/2022,03/15/2007,12.5",
    "O'Brien,,03/15/2007,-3",           "Caf\xc3\xa9,,03/15/2007,0.25",
    "Zed,01/01/1900,03/15/2007,1",      "Last,,03/15/2007,2",
    "March,03/01/1900,03/15/2007,3"};
// Texts keep the blanks that fill their field.
const std::vector<std::string> kShownUntyped = {
    "NAME,POSTED,TODAY,BALANCE",                 "North Star  ,03/05/2022,03/15/07,12.5",
    "O'Brien     ,02/29/1900,03/15/07,-3",       "Caf\xc3\xa9        ,00/00/1900,03/15/07,0.25",
    "Zed         ,01/01/1900,03/15/07,1",        "Last        ,12/31/2099,03/15/07,2",
    "March       ,03/01/1900,03/15/07,3"};

TEST(LibreOffice, OpensEveryWorkbookAndWorksheet) {
  {
    static odbc::testing::TempDir config;
    ASSERT_TRUE(odbc::testing::UseBuildTreeDrivers(config.path()));
  }
  std::string found;
  if (RunCommand("command -v soffice", &found) != 0)
    return test::ReaderMissing("LibreOffice (soffice, libreoffice-calc-nogui)");
  auto inst = MakeInstallation();
  auto many = MakeInstallation(kManyCopies);
  const std::string in = inst->dir() / "in", out = inst->dir() / "csv";
  std::filesystem::create_directories(in);
  struct Sheet {
    const char* file;
    Installation* from;
    int type;
    bool typed;
  } sheets[] = {{"workbook.xlsx", inst.get(), kExcelWorkbook, false},
                {"typed.xls", inst.get(), kExcel, true},
                {"untyped.xls", inst.get(), kExcel, false},
                {"many.xlsx", many.get(), kExcelWorkbook, false}};
  std::string files;
  for (const Sheet& s : sheets) {
    Export(*s.from, s.type, s.typed, in + "/" + s.file);
    files += " '" + in + "/" + s.file + "'";
  }
  // One start of LibreOffice for all, with a profile of its own.
  std::string log;
  ASSERT_EQ(RunCommand("soffice -env:UserInstallation=file://" + inst->dir() / "profile" +
                           " --headless --norestore --convert-to "
                           "'csv:Text - txt - csv (StarCalc):44,34,76' --outdir '" + out + "'" +
                           files + " 2>&1",
                       &log),
            0)
      << log;
  EXPECT_EQ(CsvLines(out + "/workbook.csv"), kShownTyped);
  EXPECT_EQ(CsvLines(out + "/typed.csv"), kShownTyped);
  EXPECT_EQ(CsvLines(out + "/untyped.csv"), kShownUntyped);
  const auto lines = CsvLines(out + "/many.csv");
  ASSERT_EQ(lines.size(), 66001u);
  EXPECT_EQ(lines.back(), kShownTyped.back());
}

}  // namespace
}  // namespace rh
