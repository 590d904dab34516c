#include "data/field_value.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>


namespace rh {
namespace {

TEST(DayNumberToDate, KnownDays) {
  struct Case {
    int32_t day;
    const char* date;
  } cases[] = {
      {-5, "00/00/1900"},     {0, "00/00/1900"},     {1, "01/01/1900"},
      {31, "01/31/1900"},     {59, "02/28/1900"},    {60, "02/29/1900"},
      {61, "03/01/1900"},     {366, "12/31/1900"},   {367, "01/01/1901"},
      {36525, "12/31/1999"},  {36526, "01/01/2000"}, {39156, "03/15/2007"},
      {73049, "12/30/2099"},  {73050, "12/31/2099"}, {100000, "12/31/2099"},
      {INT32_MIN, "00/00/1900"}, {INT32_MAX, "12/31/2099"},
  };
  for (const auto& c : cases) EXPECT_EQ(DayNumberToDate(c.day), c.date) << c.day;
}

// Every day number that shows a date gives that same date; the fixed texts
// and the 02/29/1900 that never was give none.
TEST(DayNumberDate, TheDateTheTextShows) {
  for (int32_t day : {INT32_MIN, -5, 0, 60, 73050, 100000, INT32_MAX})
    EXPECT_FALSE(DayNumberDate(day).has_value()) << day;
  for (int32_t day = 1; day < 73050; ++day) {
    if (day == 60) continue;
    const auto date = DayNumberDate(day);
    ASSERT_TRUE(date.has_value()) << day;
    ASSERT_EQ(UsDate(*date), DayNumberToDate(day)) << day;
    // From March 1900 on, the day number is the spreadsheets' serial number.
    if (day >= 61) {
      ASSERT_EQ(DaysFrom1899(*date), day);
    }
  }
}

TEST(TodayText, MonthDayTwoDigitYear) {
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_EQ(TodayText(1173916800), "03/15/07");  // 2007-03-15 UTC
  EXPECT_EQ(TodayText(946684799), "12/31/99");
  EXPECT_EQ(TodayText(946684800), "01/01/00");
}

// The ten-thousandths conversion done the long way: v * 0.01 printed with
// "%.4f" and read back, twice.
double LongWayFixed(int32_t v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.4f", v * 0.01);
  double x = std::strtod(buf, nullptr);
  std::snprintf(buf, sizeof buf, "%.4f", x * 0.01);
  return std::strtod(buf, nullptr);
}

TEST(FieldValue, FixedPointEqualsTheLongWay) {
  std::vector<int32_t> values = {0, 1, -1, 5, -5, 123456, -123456, 99999999, INT32_MAX,
                                 INT32_MIN, 10000, 15, 25, 35, 45, 55, 65, 75, 85, 95};
  uint32_t x = 12345;
  for (int i = 0; i < 200000; ++i) {
    x = x * 1664525u + 1013904223u;
    values.push_back(static_cast<int32_t>(x));
  }
  for (int32_t v : values) {
    double fast = static_cast<double>(v) / 10000.0;
    ASSERT_EQ(fast, LongWayFixed(v)) << v;
  }
}

class ValueTest : public ::testing::Test {
 protected:
  ValueTest() : layout_(MakeLayout()) {}

  static FieldLayout MakeLayout() {
    std::vector<FieldDef> fields = {
        {"D", 'D', 8, 0},  {"F", 'F', 4, 8},   {"I", 'I', 2, 12}, {"J", 'J', 4, 14},
        {"L", 'L', 4, 18}, {"T", 'T', 10, 22}, {"Y", 'Y', 1, 32}, {"X", 'X', 2, 33},
        {"Current Record", 'T', 2, 35}, {"Long", 'T', 100, 37}};
    return FieldLayout(fields, {}, 137);
  }

  FieldValue Get(std::string_view name, const std::string& record, int32_t i = 7) {
    ValueContext ctx{"QZGL", "0A", 5, &clock_};
    return GetValue(reinterpret_cast<const uint8_t*>(record.data()), i,
                    BindField(layout_, name), ctx);
  }

  static std::string Record(int32_t offset, std::string bytes) {
    std::string r(137, '\0');
    r.replace(static_cast<size_t>(offset), bytes.size(), bytes);
    return r;
  }

  static std::time_t FixedNow() { return 1173960000; }  // 2007-03-15 12:00 UTC
  FieldLayout layout_;
  TodayClock clock_{&FixedNow};
};

TEST_F(ValueTest, EveryTypeWithEdgeValues) {
  using S = std::string;
  struct Case {
    const char* field;
    int32_t offset;
    std::string bytes;
    FieldSource source;
    int32_t integer;
    double real;
    std::string text;
  } cases[] = {
      {"I", 12, S("\xFF\xFE", 2), FieldSource::kI, -2, 0, ""},
      {"I", 12, S("\x7F\xFF", 2), FieldSource::kI, 32767, 0, ""},
      {"I", 12, S("\x80\x00", 2), FieldSource::kI, -32768, 0, ""},
      {"Y", 32, S("\xFF", 1), FieldSource::kY, 255, 0, ""},
      {"Y", 32, S("\x00", 1), FieldSource::kY, 0, 0, ""},
      {"L", 18, S("\x00\x01\x86\xA0", 4), FieldSource::kL, 100000, 0, ""},
      {"L", 18, S("\x80\x00\x00\x00", 4), FieldSource::kL, INT32_MIN, 0, ""},
      {"F", 8, S("\x00\x01\xE2\x40", 4), FieldSource::kF, 123456, 12.3456, ""},
      {"F", 8, S("\xFF\xFF\xFF\xFF", 4), FieldSource::kF, -1, -0.0001, ""},
      {"D", 0, S("\x00\x00\x00\x00\x00\x00\xF0\x3F", 8), FieldSource::kD, 0, 1.0, ""},
      {"D", 0, S("\x3F\xF0\x00\x00\x00\x00\x00\x00", 8), FieldSource::kD, 0, 3.03865194161e-319, ""},
      {"J", 14, S("\x00\x00\x00\x00", 4), FieldSource::kJ, 0, 0, "00/00/1900"},
      {"J", 14, S("\x00\x00\x8E\xAE", 4), FieldSource::kJ, 36526, 0, "01/01/2000"},
      {"J", 14, S("\x00\x01\x86\xA0", 4), FieldSource::kJ, 100000, 0, "12/31/2099"},
      {"J", 14, S("\xFF\xFF\xFF\xFF", 4), FieldSource::kJ, -1, 0, "00/00/1900"},
      {"T", 22, S("AB\0XXXXXXX", 10), FieldSource::kT, 0, 0, "AB"},
      {"T", 22, S("  ACME    ", 10), FieldSource::kT, 0, 0, "  ACME    "},
      {"T", 22, S("\xE9\x80\xFF\x01x\"',\t\n", 10), FieldSource::kT, 0, 0, S("\xE9\x80\xFF\x01x\"',\t\n", 10)},
      {"T", 22, S("\0ABC", 4), FieldSource::kT, 0, 0, ""},
      {"Long", 37, S(100, 'z'), FieldSource::kT, 0, 0, S(100, 'z')},  // longer than 80: whole
      {"X", 33, S("\x01\x02", 2), FieldSource::kNone, 0, 0, ""},
      {"No Such Field", 0, S(), FieldSource::kNone, 0, 0, ""},
      // Pseudo-fields win over a dictionary field of the same name.
      {"Current Record", 35, S("zz", 2), FieldSource::kCurrentRecord, 7, 0, ""},
      {"Module Code", 0, S(), FieldSource::kModuleCode, 0, 0, "QZGL"},
      {"File Number", 0, S(), FieldSource::kFileNumber, 5, 0, ""},
      {"Company Number", 0, S(), FieldSource::kCompanyNumber, 0, 0, "0A"},
  };
  for (const auto& c : cases) {
    const std::string record = Record(c.offset, c.bytes);  // texts point into it
    FieldValue v = Get(c.field, record);
    EXPECT_EQ(v.source, c.source) << c.field;
    EXPECT_EQ(v.integer, c.integer) << c.field;
    if (c.source == FieldSource::kD || c.source == FieldSource::kF) {
      EXPECT_DOUBLE_EQ(v.real, c.real) << c.field;
    }
    EXPECT_EQ(v.text(), c.text) << c.field;
  }
}

TEST_F(ValueTest, TodaysDateIsTheLocalDate) {
  setenv("TZ", "UTC", 1);
  tzset();
  FieldValue v = Get("Today's Date", Record(0, ""));
  EXPECT_EQ(v.text(), "03/15/07");
}

TEST(BindField, FieldsOutsideTheRecordGiveNoValue) {
  std::vector<FieldDef> fields = {{"Neg", 'L', -8, 0}, {"After", 'L', 4, -8},
                                  {"Edge", 'D', 8, 6},  {"Text", 'T', 30, 10},
                                  {"Past", 'T', 5, 14}};
  FieldLayout layout(fields, {}, 14);
  EXPECT_EQ(BindField(layout, "After").source, FieldSource::kNone);  // negative offset
  EXPECT_EQ(BindField(layout, "Edge").source, FieldSource::kD);      // bytes 6..13 fit
  BoundField text = BindField(layout, "Text");
  EXPECT_EQ(text.source, FieldSource::kT);
  EXPECT_EQ(text.text_size, 4);  // only the bytes inside the record
  EXPECT_EQ(BindField(layout, "Past").source, FieldSource::kNone);
  FieldLayout short_layout({{"Edge", 'D', 8, 6}}, {}, 13);
  EXPECT_EQ(BindField(short_layout, "Edge").source, FieldSource::kNone);
}

}  // namespace
}  // namespace rh
