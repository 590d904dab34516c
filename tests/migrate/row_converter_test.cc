#include "migrate/row_converter.h"

#include <gtest/gtest.h>

#include <climits>

#include <cstring>

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

}  // namespace
}  // namespace rh
