// Long texts and wide numbers exported through the real drivers and engine,
// read back with independent readers (read_table.py: xlrd, dbfread,
// mdb-export, mdb-reader). A reader that is missing skips its check.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>

#include <filesystem>

#include "base/cp1252.h"
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

// read_table.py's output for the table at `path`, or its exit code.
int ReadTable(const std::string& path, const std::string& reader, std::string* out) {
  // Debian's interpreter, where python3-xlrd and python3-dbfread live.
  const std::string python = std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3"
                                                                         : "python3";
  return RunCommand("RECORDHAUL_NPM_DIR='" RECORDHAUL_NPM_DIR "' " + python +
                        " " RH_READ_TABLE_PY " '" + path + "' " + reader,
                    out);
}

// A JSON array of one-text rows (Windows-1252), as Python's json.dumps
// writes it.
std::string TextRows(const std::vector<std::string>& texts) {
  std::string json = "[";
  for (const std::string& t : texts) {
    json += json.size() > 1 ? ", [\"" : "[\"";
    for (char c : t) {
      char u[8];
      std::snprintf(u, sizeof u, "\\u%04x", Cp1252ToCodePoint(static_cast<unsigned char>(c)));
      json += c == '"' || c == '\\' ? std::string("\\") + c : c & 0x80 ? u : std::string(1, c);
    }
    json += "\"]";
  }
  return json + "]\n";
}

// `n` characters from a run of letters, quotes and letters outside ASCII.
std::string Text(size_t n, int seed) {
  std::string s;
  for (size_t i = 0; i < n; ++i) s += "abc'de\"f\xe9g\x80hijklmnopqrstuvwxyz"[(i + seed) % 30];
  return s;
}

struct Case {
  const char* name;
  int type;
  const char* field;
  char letter;  // the field's type
  int16_t length;
  std::vector<std::string> texts;  // one record each; empty: `reals`
  std::vector<double> reals;
  std::string rows;  // what every reader gives back
  const char* warning;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

std::vector<Case> Cases() {
  const std::string memo = Text(300, 0);
  // Every length a memo can have, ended by a NUL, in enough rows that many
  // long-value pages fill: in the row, one long-value row, chains.
  std::vector<std::string> memos, memos_back;
  for (int i = 0; i < 280; ++i) {
    static constexpr size_t kLengths[] = {0, 10, 255, 300, 4000, 5000, 32767};
    memos_back.push_back(Text(kLengths[i % 7], i));
    memos.push_back(memos_back.back() + std::string(1, '\0'));
  }
  return {
      {"access_memo", kAccess, "Notes", 'T', 300, {memo}, {}, TextRows({memo}), nullptr},
      {"access_memos", kAccess, "Notes", 'T', 32767, memos, {}, TextRows(memos_back), nullptr},
      {"dbase_cut", kDBase, "NOTES", 'T', 300, {memo, "short", Text(260, 3)}, {},
       TextRows({memo.substr(0, 254), "short", Text(254, 3)}),
       "2 values of the field NOTES were longer than the 254 bytes a dBase field holds and "
       "were cut to 254."},
      {"dbase_wide", kDBase, "BALANCE", 'D', 8, {}, {1e15, -999999999999.5, 12.5},
       "[[1000000000000000.0], [-999999999999.5], [12.5]]\n", nullptr},
      // The euro sign makes the cell's text UTF-16, split over CONTINUE records.
      {"excel_cell", kExcel, "Notes", 'T', 32767, {Text(32767, 1)}, {},
       TextRows({Text(32767, 1)}), nullptr},
  };
}

class TableValues : public ::testing::TestWithParam<Case> {
 protected:
  static void SetUpTestSuite() {
    static odbc::testing::TempDir config;
    static const bool registered = odbc::testing::UseBuildTreeDrivers(config.path());
    ASSERT_TRUE(registered);
  }
};

TEST_P(TableValues, ReadersGiveBackWhatWasExported) {
  const Case& c = GetParam();
  std::vector<sample::FieldSpec> fields = {{c.field, c.letter, c.length}};
  if (c.length < 12) fields.push_back({"Pad", 'T', 12});  // the shortest record
  Installation inst(fields);
  auto b = inst.Builder();
  std::vector<std::string> records;
  for (const std::string& t : c.texts) records.push_back(b.Text(c.field, t).Take());
  for (double v : c.reals) records.push_back(b.Real(c.field, v).Take());
  inst.SetRecords(static_cast<int32_t>(records.size()), records);
  ExportHarness h(inst);
  const std::string dest = inst.dir() / (std::string(c.name) + (c.type == kAccess ? ".mdb"
                                                                 : c.type == kDBase ? ".dbf"
                                                                                    : ".xls"));
  auto r = h.Run(c.type, {c.field}, dest);
  ASSERT_EQ(r.outcome.kind, ExportOutcome::Kind::kCompleted) << r.outcome.error.ToString();
  EXPECT_EQ(r.outcome.warnings.empty() ? "" : JoinWarnings(r.outcome.warnings).message(),
            c.warning ? c.warning : "");
  for (const char* reader : {"", "mdb-reader"}) {
    if (*reader && c.type != kAccess) continue;
    std::string out;
    const int code = ReadTable(dest, reader, &out);
    if (code == kSkipped) return test::ReaderMissing(*reader ? reader : "the reader of " + dest);
    ASSERT_EQ(code, 0) << reader << out.substr(0, 200);
    EXPECT_TRUE(out == c.rows) << reader << ": " << out.substr(0, 200);
  }
  if (c.type == kAccess) {
    std::string schema;
    if (RunCommand("mdb-schema -T KVTdatatool '" + dest + "' access 2>/dev/null", &schema) != 0)
      return test::ReaderMissing("mdbtools (mdb-schema)");
    EXPECT_NE(schema.find("[Notes]\t\t\tMemo/Hyperlink"), std::string::npos) << schema;
  }
}

INSTANTIATE_TEST_SUITE_P(LongTextsAndWideNumbers, TableValues, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace rh
