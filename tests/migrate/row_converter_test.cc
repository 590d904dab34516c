#include "migrate/row_converter.h"

#include <gtest/gtest.h>

#include <climits>

#include "tests/fixture.h"

namespace rh {
namespace {

std::string Iso(int32_t day) {
  auto date = DayNumberToCivil(day);
  if (!date) return "NULL";
  char text[11];
  FormatIsoDate(*date, text);
  return text;
}

TEST(DayNumberToCivil, TheExportsDatesOrNullWhereThereIsNoDate) {
  const struct {
    int32_t day;
    const char* iso;
  } cases[] = {
      {INT32_MIN, "NULL"}, {-1, "NULL"},          {0, "NULL"},
      {1, "1900-01-01"},   {59, "1900-02-28"},    {60, "NULL"},  // 02/29/1900
      {61, "1900-03-01"},  {366, "1900-12-31"},   {367, "1901-01-01"},
      {36525, "1999-12-31"}, {36526, "2000-01-01"}, {36585, "2000-02-29"},
      {39156, "2007-03-15"}, {73049, "2099-12-30"}, {73050, "NULL"},
      {INT32_MAX, "NULL"},
  };
  for (const auto& c : cases) EXPECT_EQ(Iso(c.day), c.iso) << c.day;
}

TEST(DayNumberToCivil, AgreesWithTheExportsOnEveryDay) {
  for (int32_t day = 1; day < 73050; ++day) {
    if (day == 60) continue;
    const std::string us = DayNumberToDate(day);  // MM/DD/YYYY
    ASSERT_EQ(Iso(day), us.substr(6, 4) + "-" + us.substr(0, 2) + "-" + us.substr(3, 2)) << day;
  }
}

TEST(FormatDecimal4, ExactDecimalText) {
  const struct {
    int32_t stored;
    const char* text;
  } cases[] = {
      {0, "0.0000"},         {1, "0.0001"},           {-1, "-0.0001"},
      {123456, "12.3456"},   {-10000, "-1.0000"},     {99999999, "9999.9999"},
      {INT32_MAX, "214748.3647"}, {INT32_MIN, "-214748.3648"},
  };
  for (const auto& c : cases) {
    char text[13];
    EXPECT_EQ(FormatDecimal4(c.stored, text), std::strlen(c.text));
    EXPECT_STREQ(text, c.text);
  }
}

class RowConverterTest : public ::testing::Test {
 protected:
  RowConverterTest() {
    auto layout = LoadFieldLayout(Env::Default(), inst_.system(), "QZGL", 1);
    EXPECT_TRUE(layout.ok());
    plan_ = PlanTable(*FindDataFile(0, 1), "QZGL", std::move(layout).value());
  }
  test::Installation inst_;
  TablePlan plan_;
};

TEST_F(RowConverterTest, EveryTypeBecomesItsCell) {
  using K = CellValue::Kind;
  auto rb = inst_.Builder();
  rb.Text("Name", " Caf\xe9  ").Int16("Count", -5).Int32("Total", 70000)
      .Fixed("Rate", 123456).Real("Balance", -2.5).Byte("Flag", 255).Int32("Posted", 39156);
  const std::string record = rb.Take();
  RowConverter converter(plan_, "0A");
  const auto& cells = converter.Convert(reinterpret_cast<const uint8_t*>(record.data()), 7);
  ASSERT_EQ(cells.size(), 10u);
  EXPECT_EQ(cells[0].kind, K::kText);
  EXPECT_EQ(cells[0].text, "0A");
  EXPECT_EQ(cells[1].kind, K::kInteger);
  EXPECT_EQ(cells[1].integer, 7);
  EXPECT_EQ(cells[2].kind, K::kText);
  EXPECT_EQ(cells[2].text, " Caf\xc3\xa9");  // UTF-8, leading blank kept, trailing ones not
  EXPECT_EQ(cells[3].integer, -5);
  EXPECT_EQ(cells[4].integer, 70000);
  EXPECT_EQ(cells[5].kind, K::kDecimal4);
  EXPECT_EQ(cells[5].integer, 123456);
  EXPECT_EQ(cells[5].real, 12.3456);
  EXPECT_EQ(cells[6].kind, K::kReal);
  EXPECT_EQ(cells[6].real, -2.5);
  EXPECT_EQ(cells[7].integer, 255);
  EXPECT_EQ(cells[8].kind, K::kDate);
  EXPECT_EQ(cells[8].date.year, 2007);
  EXPECT_EQ(cells[8].date.month, 3);
  EXPECT_EQ(cells[8].date.day, 15);
  EXPECT_EQ(cells[9].kind, K::kNull);  // "Odd", type X
}

TEST_F(RowConverterTest, TextsEndAtANulAndDatesWithoutADayAreNull) {
  auto rb = inst_.Builder();
  rb.Raw(0, std::string("AB\0CD     ", 10)).Int32("Posted", 60);
  const std::string first = rb.Take();
  rb.Text("Name", "          ").Int32("Posted", 0);
  const std::string second = rb.Take();
  RowConverter converter(plan_, "01");
  const auto& a = converter.Convert(reinterpret_cast<const uint8_t*>(first.data()), 1);
  EXPECT_EQ(a[2].text, "AB");
  EXPECT_EQ(a[8].kind, CellValue::Kind::kNull);
  const auto& b = converter.Convert(reinterpret_cast<const uint8_t*>(second.data()), 2);
  EXPECT_EQ(b[2].kind, CellValue::Kind::kText);  // blanks: an empty text, not NULL
  EXPECT_EQ(b[2].text, "");
  EXPECT_EQ(b[8].kind, CellValue::Kind::kNull);
}

}  // namespace
}  // namespace rh
