#include "drivers/mdb/jet_values.h"

#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <string>
#include <vector>

namespace rh::mdb {
namespace {

sql::Value Num(const char* t) { return {sql::Value::Kind::kNumber, t}; }
sql::Value Str(const char* t) { return {sql::Value::Kind::kString, t}; }

TEST(JetValues, IntegerColumnsCheckTheirRange) {
  struct Case {
    JetType type;
    sql::Value value;
    const char* sqlstate;  // nullptr: accepted
    int64_t stored;
  } cases[] = {
      {JetType::kByte, Num("0"), nullptr, 0},
      {JetType::kByte, Num("255"), nullptr, 255},
      {JetType::kByte, Num("256"), sql::kOutOfRange, 0},
      {JetType::kByte, Num("-1"), sql::kOutOfRange, 0},
      {JetType::kInteger, Num("-32768"), nullptr, -32768},
      {JetType::kInteger, Num("32767"), nullptr, 32767},
      {JetType::kInteger, Num("32768"), sql::kOutOfRange, 0},
      {JetType::kInteger, Num("-32769"), sql::kOutOfRange, 0},
      {JetType::kLong, Num("-2147483648"), nullptr, INT32_MIN},
      {JetType::kLong, Num("2147483647"), nullptr, INT32_MAX},
      {JetType::kLong, Num("2147483648"), sql::kOutOfRange, 0},
      {JetType::kLong, Num("99999999999999999999999"), sql::kOutOfRange, 0},
      {JetType::kLong, Num("+17"), nullptr, 17},
      // Fractions round half to even, as Jet converts them.
      {JetType::kLong, Num("2.5"), nullptr, 2},
      {JetType::kLong, Num("3.5"), nullptr, 4},
      {JetType::kInteger, Num("-1.5e1"), nullptr, -15},
      {JetType::kByte, Num("255.4"), nullptr, 255},
      {JetType::kByte, Num("255.5"), sql::kOutOfRange, 0},
      // Strings that read as numbers are taken; others refused.
      {JetType::kLong, Str(" 42 "), nullptr, 42},
      {JetType::kLong, Str("-7"), nullptr, -7},
      {JetType::kLong, Str("12abc"), kInvalidCast, 0},
      {JetType::kLong, Str(""), kInvalidCast, 0},
      {JetType::kInteger,
       Str("inf"), kInvalidCast, 0},
      {JetType::kByte, Str("0x10"), kInvalidCast, 0},
  };
  for (const auto& c : cases) {
    Cell cell;
    Status s = ToCell(c.value, {u"c", c.type, 0}, &cell);
    if (c.sqlstate == nullptr) {
      ASSERT_TRUE(s.ok()) << c.value.text << ": " << s.ToString();
      EXPECT_EQ(cell.kind, Cell::Kind::kInteger);
      EXPECT_EQ(cell.integer, c.stored) << c.value.text;
    } else {
      EXPECT_EQ(s.sqlstate(), c.sqlstate) << c.value.text;
    }
  }
}

TEST(JetValues, RealColumns) {
  struct Case {
    JetType type;
    sql::Value value;
    const char* sqlstate;
    double stored;
  } cases[] = {
      {JetType::kDouble, Num("12.500000"), nullptr, 12.5},
      {JetType::kDouble, Num("-0.25"), nullptr, -0.25},
      {JetType::kDouble, Num("1e308"), nullptr, 1e308},
      {JetType::kDouble, Num("1e309"), sql::kOutOfRange, 0},
      {JetType::kDouble, Str("3.75"), nullptr, 3.75},
      {JetType::kDouble, Str("nan"), kInvalidCast, 0},
      {JetType::kDouble, Str("1,5"), kInvalidCast, 0},
      {JetType::kSingle, Num("12.3456"), nullptr, 12.3456},
      {JetType::kSingle, Num("3.4e38"), nullptr, 3.4e38},
      {JetType::kSingle, Num("3.5e38"), sql::kOutOfRange, 0},
      {JetType::kSingle, Num("-1e39"), sql::kOutOfRange, 0},
      // Date/Time: days from 1899-12-30.
      {JetType::kDateTime, Str("2022-03-05"), nullptr, 44625},
      {JetType::kDateTime, Str("1900-01-01"), nullptr, 2},
      {JetType::kDateTime, Str("2022-13-01"), sql::kInvalidDate, 0},
      {JetType::kDateTime, Num("44625"), kInvalidCast, 0},
  };
  for (const auto& c : cases) {
    Cell cell;
    Status s = ToCell(c.value, {u"c", c.type, 0}, &cell);
    if (c.sqlstate == nullptr) {
      ASSERT_TRUE(s.ok()) << c.value.text << ": " << s.ToString();
      EXPECT_EQ(cell.kind, Cell::Kind::kDouble);
      EXPECT_EQ(cell.real, c.stored) << c.value.text;
    } else {
      EXPECT_EQ(s.sqlstate(), c.sqlstate) << c.value.text;
    }
  }
}

// A number as the parser reads it (plain, its digits found) takes a short
// way in a number column; it gives the cell, or the failure, of the long
// way, which reads the text.
TEST(JetValues, PlainNumbersGiveTheCellsOfTheLongWay) {
  std::vector<std::string> literals = {
      "0", "-0", "-0.0", "007", "255", "256", "-1", "32767", "-32768", "32768",
      "2147483647", "-2147483648", "2147483648", "999999999999999", "9999999999999999",
      "-1965.7700", "13626.857143", "0.000001", "123456789.123456", "2.5", "-3.5",
      "3.4e38", "1e3", "+5", "0.1", "0.7", "340282356779733661637539395458142568448.5"};
  std::mt19937 random(10);
  for (int i = 0; i < 3000; ++i) {
    std::string t = random() % 3 == 0 ? "-" : "";
    const auto digits = [&](int most) {
      for (int d = 1 + static_cast<int>(random() % most); d > 0; --d)
        t += static_cast<char>('0' + random() % 10);
    };
    digits(16);
    if (random() % 2) {
      t += '.';
      digits(8);
    }
    literals.push_back(t);
  }
  for (const std::string& literal : literals) {
    for (JetType type : {JetType::kByte, JetType::kInteger, JetType::kLong, JetType::kSingle,
                         JetType::kDouble}) {
      Cell fast, slow;
      const Status a = ToCell(sql::NumberValue(literal), {u"c", type, 0}, &fast);
      const Status b = ToCell(Num(literal.c_str()), {u"c", type, 0}, &slow);
      ASSERT_EQ(a.ok(), b.ok()) << literal;
      if (!a.ok()) {
        EXPECT_EQ(a.ToString(), b.ToString()) << literal;
        continue;
      }
      ASSERT_EQ(fast.kind, slow.kind) << literal;
      EXPECT_EQ(fast.integer, slow.integer) << literal;
      EXPECT_EQ(std::bit_cast<uint64_t>(fast.real), std::bit_cast<uint64_t>(slow.real)) << literal;
    }
  }
}

// QuickCell answers, where it does, with ToCell's cell: texts around a TEXT
// column's length, numbers, NULL and strings, in every kind of column; and
// it answers for what an export sends.
TEST(JetValues, QuickCellsAreToCellsCells) {
  const sql::Value values[] = {
      Str(""), Str("abc"), Str("0123456789"), Str("0123456789X"), Str("12"),
      Str("2024-01-31"), sql::NumberValue("12"), sql::NumberValue("-1965.7700"),
      sql::NumberValue("1e3"), sql::NumberValue("70000"), sql::NumberValue("2.5"),
      sql::Value{sql::Value::Kind::kNull, {}},
  };
  const ColumnSpec columns[] = {
      {u"t", JetType::kText, 20},   {u"m", JetType::kMemo, 0},   {u"d", JetType::kDateTime, 8},
      {u"b", JetType::kByte, 1},    {u"i", JetType::kInteger, 2}, {u"l", JetType::kLong, 4},
      {u"s", JetType::kSingle, 4},  {u"r", JetType::kDouble, 8},  {u"o", JetType::kBoolean, 1},
  };
  int answered = 0;
  for (const ColumnSpec& column : columns) {
    for (const sql::Value& value : values) {
      Cell quick, cell;
      if (!QuickCell(value, column, &quick)) continue;
      ++answered;
      ASSERT_TRUE(ToCell(value, column, &cell).ok()) << value.text;
      ASSERT_EQ(quick.kind, cell.kind) << value.text;
      EXPECT_EQ(quick.integer, cell.integer) << value.text;
      EXPECT_EQ(quick.real, cell.real) << value.text;
      EXPECT_EQ(quick.text, cell.text) << value.text;
    }
  }
  EXPECT_GE(answered, 6 + 5 + 3);  // the texts that fit, and plain numbers
}

TEST(JetValues, TextLengthCountsCharacters) {
  struct Case {
    uint16_t length_bytes;
    std::string text;
    bool ok;
  } cases[] = {
      {2 * 255, std::string(255, 'x'), true},
      {2 * 255, std::string(256, 'x'), false},
      {2 * 30, std::string(30, '\x80'), true},  // one character per byte
      {2 * 30, std::string(31, 'a'), false},
      {2 * 1, "", true},
  };
  for (const auto& c : cases) {
    Cell cell;
    sql::Value v{sql::Value::Kind::kString, c.text};
    Status s = ToCell(v, {u"c", JetType::kText, c.length_bytes}, &cell);
    EXPECT_EQ(s.ok(), c.ok) << c.text.size();
    if (!c.ok) {
      EXPECT_EQ(s.sqlstate(), sql::kStringTooLong);
    } else {
      EXPECT_EQ(cell.text, c.text);
    }
  }
  // A number for a text column is stored as written.
  Cell cell;
  ASSERT_TRUE(ToCell(Num("12.50"), {u"c", JetType::kText, 510}, &cell).ok());
  EXPECT_EQ(cell.text, "12.50");
}

}  // namespace
}  // namespace rh::mdb
