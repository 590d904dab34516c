#include "drivers/odbc/table_schema.h"

#include <gtest/gtest.h>

namespace rh::odbc {
namespace {

using sql::ColumnType;
using Kind = ColumnValue::Kind;

sql::Value Num(const char* t) { return {sql::Value::Kind::kNumber, t}; }
sql::Value Str(const char* t) { return {sql::Value::Kind::kString, t}; }
const sql::Value kNull{sql::Value::Kind::kNull, ""};

TEST(ConvertValue, ByColumnType) {
  struct Case {
    ColumnType type;
    std::optional<int> length;
    sql::Value value;
    Kind kind;        // when accepted
    double number;    // integer or real
    const char* err;  // SQLSTATE when refused
  } cases[] = {
      {ColumnType::kLong, {}, Num("2147483647"), Kind::kInteger, 2147483647, nullptr},
      {ColumnType::kLong, {}, Num("-2147483648"), Kind::kInteger, -2147483648.0, nullptr},
      {ColumnType::kLong, {}, Num("2147483648"), Kind::kNull, 0, "22003"},
      {ColumnType::kLong, {}, Num("1e3"), Kind::kInteger, 1000, nullptr},
      {ColumnType::kLong, {}, Num("2.5"), Kind::kInteger, 3, nullptr},
      {ColumnType::kLong, {}, Num("-2.5"), Kind::kInteger, -3, nullptr},
      {ColumnType::kLong, {}, Num("+7"), Kind::kInteger, 7, nullptr},
      {ColumnType::kLong, {}, Num("99999999999999999999"), Kind::kNull, 0, "22003"},
      {ColumnType::kShort, {}, Num("-32768"), Kind::kInteger, -32768, nullptr},
      {ColumnType::kShort, {}, Num("32768"), Kind::kNull, 0, "22003"},
      {ColumnType::kByte, {}, Num("255"), Kind::kInteger, 255, nullptr},
      {ColumnType::kByte, {}, Num("-1"), Kind::kNull, 0, "22003"},
      {ColumnType::kByte, {}, Str(" 12 "), Kind::kInteger, 12, nullptr},
      {ColumnType::kByte, {}, Str(""), Kind::kNull, 0, nullptr},
      {ColumnType::kByte, {}, Str("x"), Kind::kNull, 0, "22018"},
      {ColumnType::kDouble, {}, Num("12.500000"), Kind::kReal, 12.5, nullptr},
      {ColumnType::kDouble, {}, Num("-0.000001"), Kind::kReal, -0.000001, nullptr},
      {ColumnType::kDouble, {}, Num("1e400"), Kind::kNull, 0, "22003"},
      {ColumnType::kDouble, {}, Str("12,5"), Kind::kNull, 0, "22018"},
      {ColumnType::kSingle, {}, Num("12.3456"), Kind::kReal, 12.3456, nullptr},
      {ColumnType::kSingle, {}, Num("1e39"), Kind::kNull, 0, "22003"},
      // Integers read digit by digit up to 18 digits, the library past them.
      {ColumnType::kLong, {}, Num("-0"), Kind::kInteger, 0, nullptr},
      {ColumnType::kLong, {}, Num("000000000000000000000012"), Kind::kInteger, 12, nullptr},
      {ColumnType::kLong, {}, Num("123456789012345678"), Kind::kNull, 0, "22003"},
      {ColumnType::kLong, {}, Num("-"), Kind::kNull, 0, "22018"},
      {ColumnType::kLong, {}, Num("12abc"), Kind::kNull, 0, "22018"},
      {ColumnType::kLong, {}, Num("1."), Kind::kInteger, 1, nullptr},
      {ColumnType::kLong, {}, Num("-7.5"), Kind::kInteger, -8, nullptr},
      {ColumnType::kDouble, {}, Num("123456789012345678"), Kind::kReal, 123456789012345678.0, nullptr},
      {ColumnType::kDouble, {}, Num("-9223372036854775808"), Kind::kReal, -9223372036854775808.0, nullptr},
      {ColumnType::kDouble, {}, Num("99999999999999999999"), Kind::kReal, 1e20, nullptr},
      {ColumnType::kDouble, {}, Num("123456789012345678.5"), Kind::kReal, 123456789012345678.5, nullptr},
      {ColumnType::kDouble, {}, Num("--1"), Kind::kNull, 0, "22018"},
      // Dates: 'YYYY-MM-DD' of a real date (the number: days from 1899-12-30).
      {ColumnType::kDate, {}, Str("2022-03-05"), Kind::kDate, 44625, nullptr},
      {ColumnType::kDate, {}, Str("1900-02-28"), Kind::kDate, 60, nullptr},
      {ColumnType::kDate, {}, Str(" "), Kind::kNull, 0, nullptr},
      {ColumnType::kDate, {}, Str("1900-02-29"), Kind::kNull, 0, "22007"},
      {ColumnType::kDate, {}, Str("03/05/2022"), Kind::kNull, 0, "22007"},
      {ColumnType::kDate, {}, Num("44625"), Kind::kNull, 0, "22018"},
      // NULL is no value in any column.
      {ColumnType::kDate, {}, kNull, Kind::kNull, 0, nullptr},
      {ColumnType::kLong, {}, kNull, Kind::kNull, 0, nullptr},
      {ColumnType::kText, 3, kNull, Kind::kNull, 0, nullptr},
  };
  for (const auto& c : cases) {
    sql::ColumnDef col{"C", c.type, c.length};
    auto r = ConvertValue(c.value, col, 254);
    if (c.err) {
      ASSERT_FALSE(r.ok()) << c.value.text;
      EXPECT_EQ(r.status().sqlstate(), c.err) << c.value.text;
      continue;
    }
    ASSERT_TRUE(r.ok()) << c.value.text << ": " << r.status().ToString();
    EXPECT_EQ(r->kind, c.kind) << c.value.text;
    if (c.kind == Kind::kInteger) {
      EXPECT_EQ(r->integer, static_cast<int64_t>(c.number));
    } else if (c.kind == Kind::kReal) {
      EXPECT_DOUBLE_EQ(r->real, c.number);
    } else if (c.kind == Kind::kDate) {
      EXPECT_EQ(DaysFrom1899(r->date), static_cast<int64_t>(c.number)) << c.value.text;
    }
  }
}

TEST(ConvertValue, Texts) {
  // The Values point into these: they outlive the cases.
  const std::string x254(254, 'x'), x255(255, 'x');
  struct Case {
    std::optional<int> length;
    sql::Value value;
    const char* err;
  } cases[] = {
      {30, Str("O'Brien"), nullptr},
      {3, Str("abc"), nullptr},
      {3, Str("abcd"), "22001"},
      {3, Num("12.5"), "22001"},
      {4, Num("12.5"), nullptr},
      {{}, Str(x254.c_str()), nullptr},
      {{}, Str(x255.c_str()), "22001"},
      {300, Str(x255.c_str()), "22001"},
  };
  for (const auto& c : cases) {
    sql::ColumnDef col{"T", ColumnType::kText, c.length};
    auto r = ConvertValue(c.value, col, 254);
    if (c.err) {
      EXPECT_EQ(r.status().sqlstate(), c.err) << c.value.text;
    } else {
      ASSERT_TRUE(r.ok()) << r.status().ToString();
      EXPECT_EQ(r->kind, Kind::kText);
      EXPECT_EQ(r->text, c.value.text);
    }
  }
}

TEST(TableSchema, MapsInsertColumns) {
  sql::CreateTable create{"t", {{"A", ColumnType::kLong, {}},
                                {"Today's Date", ColumnType::kText, {}},
                                {"c", ColumnType::kText, {}}}};
  auto schema = TableSchema::Create(create);
  ASSERT_TRUE(schema.ok());
  struct Case {
    std::vector<std::string> columns;
    size_t values;
    std::vector<int> want;
    const char* err;
  } cases[] = {
      {{"A", "Today's Date", "c"}, 3, {0, 1, 2}, nullptr},
      {{"c", "a"}, 2, {1, -1, 0}, nullptr},
      {{"TODAY'S DATE"}, 1, {-1, 0, -1}, nullptr},
      {{}, 3, {0, 1, 2}, nullptr},
      {{}, 2, {}, "21S01"},
      {{"A", "x"}, 2, {}, "42S22"},
      {{"A", "a"}, 2, {}, "42000"},
  };
  for (const auto& c : cases) {
    sql::Insert insert{"t", c.columns, std::vector<sql::Value>(c.values, Num("1"))};
    std::vector<int> value_of;
    Status s = schema->MapInsert(insert, &value_of);
    if (c.err) {
      EXPECT_EQ(s.sqlstate(), c.err);
    } else {
      ASSERT_TRUE(s.ok()) << s.ToString();
      EXPECT_EQ(value_of, c.want);
    }
  }
  sql::CreateTable twice{"t", {{"Name", ColumnType::kLong, {}}, {"NAME", ColumnType::kLong, {}}}};
  EXPECT_EQ(TableSchema::Create(twice).status().sqlstate(), "42S21");
  sql::CreateTable memo{"t", {{"Notes", ColumnType::kMemo, {}}}};
  EXPECT_EQ(TableSchema::Create(memo).status().sqlstate(), "HYC00");
}

}  // namespace
}  // namespace rh::odbc
