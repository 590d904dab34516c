#include "drivers/odbc/dbf_number_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "drivers/odbc/table_schema.h"

namespace rh::odbc {
namespace {

// The dBase driver's columns and their fields.
struct Column {
  sql::ColumnType type;
  dbf::Field field;
};
const Column kColumns[] = {
    {sql::ColumnType::kLong, {"L", 'N', 11, 0}},   {sql::ColumnType::kShort, {"S", 'N', 6, 0}},
    {sql::ColumnType::kByte, {"B", 'N', 3, 0}},    {sql::ColumnType::kDouble, {"D", 'N', 19, 6}},
    {sql::ColumnType::kSingle, {"F", 'N', 19, 4}},
};

// The field's bytes the long way: the value converted, then formatted; or
// nothing when that fails.
std::optional<std::string> LongWay(std::string_view literal, const Column& c) {
  sql::ColumnDef def{"c", c.type, std::nullopt};
  auto v = ConvertValue(sql::Value{sql::Value::Kind::kNumber, literal}, def, 254);
  if (!v.ok()) return std::nullopt;
  dbf::Value value = v->kind == ColumnValue::Kind::kInteger ? dbf::Value::Integer(v->integer)
                                                            : dbf::Value::Real(v->real);
  std::string out(static_cast<size_t>(c.field.width), ' ');
  if (!dbf::FormatField(c.field, value, out.data()).ok()) return std::nullopt;
  return out;
}

// The short way, right-aligned in the field's blanks (with a guard byte on
// either side); nothing where it declines, which writes nothing.
std::optional<std::string> ShortWay(std::string_view literal, const Column& c) {
  std::string out(static_cast<size_t>(c.field.width) + 2, ' ');
  out.front() = out.back() = '|';
  const std::string before = out;
  size_t n = DbfNumberText(sql::NumberValue(literal), DbfNumberColumnOf(c.type, c.field),
                           out.data() + 1);
  EXPECT_EQ(out.front(), '|') << literal;
  EXPECT_EQ(out.back(), '|') << literal;
  if (n == 0) {
    EXPECT_EQ(out, before) << literal;
    return std::nullopt;
  }
  EXPECT_LE(n, static_cast<size_t>(c.field.width)) << literal;
  return out.substr(1, static_cast<size_t>(c.field.width));
}

// Where the short way is taken it gives the long way's bytes, in every
// column.
void ExpectSameBytes(std::string_view literal) {
  for (const Column& c : kColumns) {
    auto fast = ShortWay(literal, c);
    if (!fast) continue;
    auto general = LongWay(literal, c);
    ASSERT_TRUE(general) << literal << " in " << sql::ColumnTypeName(c.type);
    EXPECT_EQ(*fast, *general) << literal << " in " << sql::ColumnTypeName(c.type);
  }
}

TEST(DbfNumberText, GivesTheBytesOfTheLongWay) {
  // Whether the short way is taken in a DOUBLE and in a LONG column.
  struct Case {
    const char* literal;
    bool in_double, in_long;
  } cases[] = {
      {"0", true, true},          {"-0", true, true},        {"-0.0", true, false},
      {"-0.000000", true, false}, {"007", true, true},       {"-007.50", true, false},
      {"0.000001", true, false},  {"-1965.7700", true, false}, {"13626.857143", true, false},
      {"123456789.123456", true, false}, {"1234567890.123456", false, false},
      {"999999999999999", false, false}, {"2147483647", false, true},
      {"-2147483648", false, true}, {"2147483648", false, false}, {"-2147483649", false, false},
      {"999999999", true, true},  {"-999999999.5", true, false},
      {"1.0000001", false, false}, {"0.1234567", false, false}, {"1e3", false, false},
      {"-1.5E-2", false, false},  {"+5", false, false},      {".5", false, false},
      {"5.", false, false},       {"-", false, false},       {"99999999999999999999", false, false},
      {"1e308", false, false},    {"-0e0", false, false},    {"000000000000000000000001", true, true},
  };
  for (const Case& c : cases) {
    ExpectSameBytes(c.literal);
    EXPECT_EQ(ShortWay(c.literal, kColumns[3]).has_value(), c.in_double) << c.literal;
    EXPECT_EQ(ShortWay(c.literal, kColumns[0]).has_value(), c.in_long) << c.literal;
  }
  // The range of the small integer columns is the long way's.
  for (const char* literal : {"32767", "-32768", "32768", "255", "256", "-1", "-0", "0"})
    ExpectSameBytes(literal);
}

// Fields the short way does not know leave every number to the long way:
// an integer column with decimals, a character field, a TEXT or DATE column.
TEST(DbfNumberText, OtherColumnsTakeTheLongWay) {
  const Column others[] = {
      {sql::ColumnType::kLong, {"L", 'N', 11, 2}}, {sql::ColumnType::kDouble, {"D", 'C', 19, 0}},
      {sql::ColumnType::kText, {"T", 'N', 19, 6}}, {sql::ColumnType::kDate, {"D", 'N', 8, 0}},
  };
  for (const Column& c : others)
    for (const char* literal : {"1", "-12.500000", "12.50", "0"})
      EXPECT_FALSE(ShortWay(literal, c).has_value()) << literal << " " << c.field.name;
}

TEST(DbfNumberText, RandomLiteralsGiveTheBytesOfTheLongWay) {
  std::mt19937 random(18);
  const char kChars[] = "0123456789";
  int taken = 0;
  for (int i = 0; i < 20000; ++i) {
    std::string literal = random() % 4 == 0 ? "-" : "";
    const int whole = 1 + static_cast<int>(random() % 17);
    for (int d = 0; d < whole; ++d) literal += kChars[random() % (d == 0 && random() % 2 ? 1 : 10)];
    if (random() % 3 != 0) {
      literal += '.';
      const int decimals = 1 + static_cast<int>(random() % 8);
      for (int d = 0; d < decimals; ++d) literal += kChars[random() % 10];
    }
    ExpectSameBytes(literal);
    taken += ShortWay(literal, kColumns[3]).has_value();
  }
  EXPECT_GT(taken, 5000);  // the short way is not simply never taken
}

}  // namespace
}  // namespace rh::odbc
