#include "drivers/xls/xls_writer.h"

#include <gtest/gtest.h>

#include "tests/drivers/xls/xls_test_reader.h"

namespace rh::xls {
namespace {

using testing::CellValue;
using testing::Workbook;

// Collects what the writer writes.
class StringFile : public WritableFile {
 public:
  explicit StringFile(std::string* out) : out_(out) {}
  Status Append(std::string_view data) override {
    out_->append(data);
    return Status();
  }
  Status Close() override { return Status(); }

 private:
  std::string* out_;
};

std::string WriteToString(const SheetWriter& w) {
  std::string bytes;
  StringFile file(&bytes);
  EXPECT_TRUE(w.Write(&file).ok());
  return bytes;
}

Workbook ReadBack(const SheetWriter& w) {
  Workbook wb;
  std::string error;
  EXPECT_TRUE(testing::ReadWorkbook(WriteToString(w), &wb, &error)) << error;
  return wb;
}

std::vector<std::string> Names(int n) {
  std::vector<std::string> names;
  for (int i = 0; i < n; ++i) {
    std::string name = std::to_string(i);
    name.insert(name.begin(), 'C');
    names.push_back(name);
  }
  return names;
}

TEST(XlsWriter, TableRoundTrip) {
  auto w = SheetWriter::Create("KVTdatatool", {"Account", "Today's Date", "Bal\x80"});
  ASSERT_TRUE(w.ok()) << w.status().ToString();
  std::vector<Cell> row1 = {Cell::Text("O'Brien ''"), Cell::Text("caf\xE9 \x80"),
                            Cell::Number(12.5)};
  std::vector<Cell> row2 = {Cell::Text(""), Cell(), Cell::Number(-2)};
  std::vector<Cell> row3 = {Cell::Text("O'Brien ''"), Cell::Number(123456789012.0),
                            Cell::Number(0.1)};
  std::vector<Cell> row4 = {Cell::Number(536870912.0), Cell::Number(-536870912.0),
                            Cell::Number(-1e300)};
  for (auto* row : {&row1, &row2, &row3, &row4}) ASSERT_TRUE((*w)->AddRow(*row).ok());
  Workbook wb = ReadBack(**w);

  EXPECT_EQ(wb.sheet_name, "KVTdatatool");
  EXPECT_EQ(wb.codepage, 1200);
  EXPECT_EQ(wb.defined_name, u"KVTdatatool");
  EXPECT_EQ(wb.name_rows, 5);
  EXPECT_EQ(wb.name_cols, 3);
  EXPECT_EQ(wb.dim_rows, 5u);
  EXPECT_EQ(wb.dim_cols, 3);
  std::map<std::pair<int, int>, CellValue> want = {
      {{0, 0}, u"Account"},         {{0, 1}, u"Today's Date"},
      {{0, 2}, u"Bal\u20AC"},       {{1, 0}, u"O'Brien ''"},
      {{1, 1}, u"caf\u00E9 \u20AC"}, {{1, 2}, 12.5},
      {{2, 0}, u""},                {{2, 2}, -2.0},
      {{3, 0}, u"O'Brien ''"},      {{3, 1}, 123456789012.0},
      {{3, 2}, 0.1},                {{4, 0}, 536870912.0},
      {{4, 1}, -536870912.0},       {{4, 2}, -1e300},
  };
  EXPECT_EQ(wb.cells, want);
  // A repeated text is stored once.
  EXPECT_EQ(wb.sst.size(), 6u);
}

TEST(XlsWriter, EmptyTableHoldsTheNameRow) {
  auto w = SheetWriter::Create("KVTdatatool", {"A"});
  ASSERT_TRUE(w.ok());
  Workbook wb = ReadBack(**w);
  EXPECT_EQ(wb.name_rows, 1);
  EXPECT_EQ(wb.name_cols, 1);
  EXPECT_EQ(wb.cells.size(), 1u);
}

// Many long texts, some needing UTF-16, run the shared string table across
// CONTINUE records; the reader checks each EXTSST entry against its string.
TEST(XlsWriter, SharedStringsAcrossContinueRecords) {
  auto w = SheetWriter::Create("KVTdatatool", {"Text"});
  ASSERT_TRUE(w.ok());
  std::vector<std::string> texts;
  for (int i = 0; i < 3000; ++i) {
    std::string t(static_cast<size_t>(i % 97 + 1), static_cast<char>('a' + i % 26));
    if (i % 3 == 0) t += "\x80";  // the euro sign needs two bytes a character
    t += std::to_string(i);
    texts.push_back(t);
  }
  texts.push_back(std::string(kMaxTextLength, 'x'));
  for (const std::string& t : texts) {
    Cell c = Cell::Text(t);
    ASSERT_TRUE((*w)->AddRow({&c, 1}).ok());
  }
  Workbook wb = ReadBack(**w);
  ASSERT_EQ(wb.sst.size(), texts.size() + 1);
  for (size_t i = 0; i < texts.size(); ++i) {
    std::u16string want;
    for (unsigned char ch : texts[i]) want.push_back(ch == 0x80 ? u'\u20AC' : ch);
    ASSERT_EQ(std::get<std::u16string>(wb.cells.at({static_cast<int>(i) + 1, 0})), want)
        << i;
  }
}

TEST(XlsWriter, ColumnLimits) {
  struct Case {
    int columns;
    const char* sqlstate;  // null: accepted
  } cases[] = {{1, nullptr}, {256, nullptr}, {257, "54011"}, {0, "54011"}};
  for (const auto& c : cases) {
    auto w = SheetWriter::Create("KVTdatatool", Names(c.columns));
    if (!c.sqlstate) {
      ASSERT_TRUE(w.ok()) << c.columns;
      EXPECT_EQ(ReadBack(**w).name_cols, c.columns);
    } else {
      ASSERT_FALSE(w.ok()) << c.columns;
      EXPECT_EQ(w.status().sqlstate(), c.sqlstate);
    }
  }
}

TEST(XlsWriter, RowChecksChangeNothingOnFailure) {
  auto w = SheetWriter::Create("KVTdatatool", {"A", "B"});
  ASSERT_TRUE(w.ok());
  std::string too_long(kMaxTextLength + 1, 'x');
  std::vector<Cell> three = {Cell::Number(1), Cell::Number(2), Cell::Number(3)};
  std::vector<Cell> long_text = {Cell::Number(1), Cell::Text(too_long)};
  EXPECT_EQ((*w)->AddRow(three).sqlstate(), "21S01");
  EXPECT_EQ((*w)->AddRow(long_text).sqlstate(), "22001");
  EXPECT_EQ((*w)->data_rows(), 0);
  EXPECT_EQ(ReadBack(**w).cells.size(), 2u);
}

// 65535 data rows fill the sheet; the next fails and the file keeps them all.
// Eight number columns make a workbook of over 7 MB, whose allocation table
// needs DIFAT sectors.
TEST(XlsWriter, FullSheetAndLargeContainer) {
  auto w = SheetWriter::Create("KVTdatatool", Names(8));
  ASSERT_TRUE(w.ok());
  std::vector<Cell> row(8);
  for (int r = 1; r < kMaxSheetRows; ++r) {
    for (int c = 0; c < 8; ++c) row[static_cast<size_t>(c)] = Cell::Number(r + c / 10.0);
    ASSERT_TRUE((*w)->AddRow(row).ok()) << r;
  }
  Status full = (*w)->AddRow(row);
  EXPECT_FALSE(full.ok());
  EXPECT_EQ(full.sqlstate(), "HY000");
  EXPECT_EQ((*w)->data_rows(), 65535);
  std::string bytes = WriteToString(**w);
  EXPECT_GT(bytes.size(), 109u * 128 * 512);
  Workbook wb;
  std::string error;
  ASSERT_TRUE(testing::ReadWorkbook(bytes, &wb, &error)) << error;
  EXPECT_EQ(wb.name_rows, 65536);
  EXPECT_EQ(wb.dim_rows, 65536u);
  EXPECT_EQ(std::get<double>(wb.cells.at({65535, 7})), 65535.7);
}

TEST(XlsWriter, TableNames) {
  struct Case {
    const char* name;
    bool valid;
  } cases[] = {{"KVTdatatool", true}, {"_x.y", true},     {"Sheet1x", true},
               {"", false},           {"A1", false},      {"xfd65536", false},
               {"R1C1", false},       {"R", false},       {"C", false},
               {"RC", false},         {"has space", false}, {"1abc", false},
               {"a'b", false},        {"a[b]", false},
               {"abcdefghijabcdefghijabcdefghijab", false}};
  for (const auto& c : cases) {
    EXPECT_EQ(IsValidTableName(c.name), c.valid) << c.name;
    EXPECT_EQ(SheetWriter::Create(c.name, {"A"}).ok(), c.valid) << c.name;
  }
}

}  // namespace
}  // namespace rh::xls
