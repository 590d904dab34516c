#include "drivers/sql/sql_statement.h"

#include <gtest/gtest.h>

namespace rh::sql {
namespace {

TEST(SqlParse, CreateTableFromTheTableWriter) {
  auto r = Parse(
      "CREATE TABLE KVTdatatool ('Account' TEXT,'Balance' DOUBLE,"
      "'Today''s Date' TEXT,'N' TEXT(30),'S' SHORT,'B' BYTE,'F' SINGLE,'L' LONG,"
      "'Notes' MEMO,'m' memo)");
  ASSERT_TRUE(r.ok()) << r.status().ToString();
  const auto& c = std::get<CreateTable>(*r);
  EXPECT_EQ(c.table, "KVTdatatool");
  ASSERT_EQ(c.columns.size(), 10u);
  EXPECT_EQ(c.columns[0].name, "Account");
  EXPECT_EQ(c.columns[0].type, ColumnType::kText);
  EXPECT_FALSE(c.columns[0].text_length);
  EXPECT_EQ(c.columns[2].name, "Today's Date");
  EXPECT_EQ(c.columns[3].text_length, 30);
  EXPECT_EQ(c.columns[4].type, ColumnType::kShort);
  EXPECT_EQ(c.columns[5].type, ColumnType::kByte);
  EXPECT_EQ(c.columns[6].type, ColumnType::kSingle);
  EXPECT_EQ(c.columns[7].type, ColumnType::kLong);
  EXPECT_EQ(c.columns[8].type, ColumnType::kMemo);
  EXPECT_EQ(c.columns[9].type, ColumnType::kMemo);
  EXPECT_FALSE(c.columns[8].text_length);
}

TEST(SqlParse, TableNamesAsTheDBaseWriterSendsThem) {
  struct Case {
    const char* sql;
    const char* table;
  } cases[] = {
      {"CREATE TABLE export.dbf ('A' LONG)", "export.dbf"},
      {"CREATE TABLE \\export.dbf ('A' LONG)", "\\export.dbf"},
      {"CREATE TABLE my file (1).dbf ('A' LONG)", "my file (1).dbf"},
      {"create table [x y] (A long)", "x y"},
      {"CREATE TABLE \"q\"\"t\" (\"A\" text(4))", "q\"t"},
  };
  for (const auto& c : cases) {
    auto r = Parse(c.sql);
    ASSERT_TRUE(r.ok()) << c.sql << ": " << r.status().ToString();
    EXPECT_EQ(std::get<CreateTable>(*r).table, c.table) << c.sql;
  }
}

TEST(SqlParse, InsertWithQuotedNamesAndValues) {
  auto r = Parse(
      "INSERT INTO export.dbf ('ACCOUNT','BALANCE','CURRENT_R') "
      "VALUES ('O''Brien''''',-12.500000,1e3)");
  ASSERT_TRUE(r.ok()) << r.status().ToString();
  const auto& ins = std::get<Insert>(*r);
  EXPECT_EQ(ins.table, "export.dbf");
  EXPECT_EQ(ins.columns, (std::vector<std::string>{"ACCOUNT", "BALANCE", "CURRENT_R"}));
  ASSERT_EQ(ins.values.size(), 3u);
  EXPECT_EQ(ins.values[0].kind, Value::Kind::kString);
  EXPECT_EQ(ins.values[0].text, "O'Brien''");
  EXPECT_EQ(ins.values[1].kind, Value::Kind::kNumber);
  EXPECT_EQ(ins.values[1].text, "-12.500000");
  EXPECT_EQ(ins.values[2].text, "1e3");
}

// A number's shape, as the parser reads it in a VALUES list and as
// NumberValue reads it alone: plain, and where its whole digits end.
TEST(SqlParse, NumbersSayWhetherTheyArePlain) {
  struct Case {
    const char* literal;
    bool plain;
    int whole_end;
  } cases[] = {
      {"0", true, 1},        {"-12.500000", true, 3}, {"007", true, 3},   {"-0.0", true, 2},
      {"123456789012345678901234", true, 24},         {"+5", false, 0},   {"1e3", false, 0},
      {"-1.5E-2", false, 0}, {".5", false, 0},        {"5.", false, 0},   {"-.5", false, 0},
  };
  for (const Case& c : cases) {
    const Value alone = NumberValue(c.literal);
    auto r = Parse(std::string("INSERT INTO t VALUES (") + c.literal + ", 1)");
    ASSERT_TRUE(r.ok()) << c.literal << ": " << r.status().ToString();
    const Value& listed = std::get<Insert>(*r).values[0];
    for (const Value& v : {alone, listed}) {
      EXPECT_EQ(v.kind, Value::Kind::kNumber) << c.literal;
      EXPECT_EQ(v.text, c.literal);
      EXPECT_EQ(v.plain, c.plain) << c.literal;
      if (c.plain) {
        EXPECT_EQ(v.whole_end, c.whole_end) << c.literal;
      }
    }
  }
  // Not one number: not plain.
  for (const char* text : {"-", "1.2.3", "12abc", "", "1e"})
    EXPECT_FALSE(NumberValue(text).plain) << text;
}

// Value lists as an export sends them (no spaces) and as people write them;
// the texts of the values, "|"-separated, or nothing where the list is
// refused.
TEST(SqlParse, ValueListsWithAndWithoutSpaces) {
  struct Case {
    const char* values;
    const char* texts;  // null: refused
  } cases[] = {
      {"(1,'a',NULL)", "1|a|"},
      {"( 1 ,\t'a' ,\nnull )", "1|a|"},
      {"(-1.5E+2,.5,5.,+0)", "-1.5E+2|.5|5.|+0"},
      {"('it''s',N'x')", nullptr},
      {"(1e)", nullptr},
      {"(1ex)", nullptr},
      {"(1e5x)", nullptr},
      {"(.)", nullptr},
      {"(-.)", nullptr},
      {"(nul)", nullptr},
      {"(NULLx)", nullptr},
      {"(x)", nullptr},
      {"(1,)", nullptr},
      {"(1 2)", nullptr},
      {"(1", nullptr},
      {"(1,", nullptr},
      {"(", nullptr},
  };
  for (const Case& c : cases) {
    auto r = Parse(std::string("INSERT INTO t VALUES ") + c.values);
    if (!c.texts) {
      EXPECT_FALSE(r.ok()) << c.values;
      continue;
    }
    ASSERT_TRUE(r.ok()) << c.values << ": " << r.status().ToString();
    std::string texts;
    const auto& values = std::get<Insert>(*r).values;
    for (size_t i = 0; i < values.size(); ++i) {
      if (i > 0) texts += '|';
      texts += values[i].text;
    }
    EXPECT_EQ(texts, c.texts) << c.values;
  }
}

// A plain number as PlainNumberEnd reads it is what the parser reads: the
// whole literal exactly when the parser finds it plain, with its whole_end.
TEST(SqlParse, PlainNumberEndReadsWhatTheParserReads) {
  for (const char* literal : {"0", "-0", "7", "-12.500000", "007", "0.0001", "-0.0", "5.", ".5",
                              "-.5", "+5", "1e3", "1.5E-2", "-", "", "12abc", "1.2.3", "--1",
                              "123456789012345678901234.5"}) {
    const std::string_view text = literal;
    Value read;
    const char* end = PlainNumberEnd(text.data(), text.data() + text.size(), &read);
    const bool whole = end == text.data() + text.size();
    const Value parsed = NumberValue(text);
    EXPECT_EQ(whole, parsed.plain) << literal;
    if (whole && parsed.plain) {
      EXPECT_EQ(read.text, text);
      EXPECT_TRUE(read.plain);
      EXPECT_EQ(read.whole_end, parsed.whole_end) << literal;
    }
  }
}

// RepeatedHead answers only for an INSERT with the head of the last INSERT
// parsed, and gives the rest from VALUES on.
TEST(StatementParser, RepeatedHeadFollowsTheLastInsert) {
  struct Step {
    const char* parsed;  // before the question, if any
    const char* asked;
    const char* values;  // null: no answer
  } steps[] = {
      {nullptr, "INSERT INTO T ('A') VALUES (1)", nullptr},
      {"INSERT INTO T ('A') VALUES (1)", "INSERT INTO T ('A') VALUES (2)", "VALUES (2)"},
      {nullptr, "INSERT INTO T ('A') VALUES ('x'", "VALUES ('x'"},
      {nullptr, "INSERT INTO T ('B') VALUES (2)", nullptr},
      {nullptr, "INSERT INTO T ('A') ", nullptr},
      {"INSERT INTO T ('A') VALUES (oops)", "INSERT INTO T ('A') VALUES (2)", nullptr},
      {"INSERT INTO T ('A') VALUES (3)", "INSERT INTO T ('A') VALUES (4)", "VALUES (4)"},
      {"CREATE TABLE U ('A' LONG)", "INSERT INTO T ('A') VALUES (5)", nullptr},
  };
  StatementParser parser;
  for (const Step& step : steps) {
    if (step.parsed) parser.Parse(step.parsed).status().IgnoreError();
    const auto repeated = parser.RepeatedHead(step.asked);
    ASSERT_EQ(repeated.has_value(), step.values != nullptr) << step.asked;
    if (!repeated) continue;
    EXPECT_EQ(repeated->values, step.values);
    EXPECT_EQ(repeated->head->table, "T");
  }
}

TEST(SqlParse, InsertWithoutColumnList) {
  auto r = Parse("insert into T values ('', 0);");
  ASSERT_TRUE(r.ok()) << r.status().ToString();
  const auto& ins = std::get<Insert>(*r);
  EXPECT_EQ(ins.table, "T");
  EXPECT_TRUE(ins.columns.empty());
  EXPECT_EQ(ins.values[0].text, "");
}

// Typed tables: DATE columns, and NULL where a value has none.
TEST(SqlParse, DateColumnsAndNull) {
  auto create = Parse("CREATE TABLE T ('Posted' DATE,'Name' TEXT)");
  ASSERT_TRUE(create.ok()) << create.status().ToString();
  EXPECT_EQ(std::get<CreateTable>(*create).columns[0].type, ColumnType::kDate);
  auto insert = Parse("INSERT INTO T ('Posted','Name') VALUES (null,'NULL')");
  ASSERT_TRUE(insert.ok()) << insert.status().ToString();
  const auto& values = std::get<Insert>(*insert).values;
  EXPECT_EQ(values[0].kind, Value::Kind::kNull);
  EXPECT_EQ(values[1].kind, Value::Kind::kString);
  EXPECT_EQ(values[1].text, "NULL");
  EXPECT_FALSE(Parse("INSERT INTO T VALUES (NULLS)").ok());
}

TEST(SqlParse, RefusesWhatItDoesNotKnow) {
  struct Case {
    const char* sql;
    const char* state;
  } cases[] = {
      {"", kSyntaxError},
      {"SELECT * FROM KVTdatatool", kSyntaxError},
      {"DROP TABLE KVTdatatool", kSyntaxError},
      {"CREATE TABLE KVTdatatool ()", kSyntaxError},
      {"CREATE TABLE KVTdatatool ('A' BLOB)", kSyntaxError},
      {"CREATE TABLE KVTdatatool ('A' TEXT(x))", kSyntaxError},
      {"CREATE TABLE KVTdatatool ('A' MEMO(300))", kSyntaxError},
      {"CREATE TABLE KVTdatatool ('A' TEXT", kSyntaxError},
      {"CREATE TABLE KVTdatatool ('A LONG)", kSyntaxError},
      {"CREATE TABLE ('A' LONG)", kSyntaxError},
      {"CREATE TABLE T ('A' LONG) trailing", kSyntaxError},
      {"INSERT INTO T ('A') VALUES ('unterminated)", kSyntaxError},
      {"INSERT INTO T ('A') VALUES (12abc)", kSyntaxError},
      {"INSERT INTO T ('A','B') VALUES (1)", kCountMismatch},
      {"INSERT T VALUES (1)", kSyntaxError},
      {"INSERT INTO T ('A') VALUES (-)", kSyntaxError},
  };
  for (const auto& c : cases) {
    auto r = Parse(c.sql);
    ASSERT_FALSE(r.ok()) << c.sql;
    EXPECT_EQ(r.status().sqlstate(), c.state) << c.sql;
    EXPECT_FALSE(r.status().message().empty());
  }
}

TEST(StatementParser, InsertsWithOneHeadShareItsNumber) {
  // Each statement in turn: its values, or the SQLSTATE it fails with, and
  // whether its head (the text before VALUES) is the one before it.
  struct Step {
    const char* sql;
    const char* values;  // the value texts joined by "|"; or the SQLSTATE
    bool same_head;
  } steps[] = {
      {"INSERT INTO T ('A','B') VALUES (1,'x')", "1|x", false},
      {"INSERT INTO T ('A','B') VALUES ( -2.5 ,\t'it''s' ) ;", "-2.5|it's", true},
      {"INSERT INTO T ('A','B') VALUES (3,'')", "3|", true},
      {"INSERT INTO T ('A','B') VALUES (3)", kCountMismatch, false},
      {"INSERT INTO T ('A','B') VALUES (4,'y')", "4|y", false},
      {"INSERT INTO T ('A','B') VALUES (4,'y'", kSyntaxError, false},
      {"INSERT INTO T ('A','B') VALUES (5,'z')", "5|z", false},
      {"INSERT INTO T ('A','B') VALUES (6e,'z')", kSyntaxError, false},
      {"INSERT INTO T ('A','C') VALUES (1,'x')", "1|x", false},
      {"CREATE TABLE U ('A' LONG)", "", false},
      {"INSERT INTO T ('A','C') VALUES (7,'w')", "7|w", false},
      {"INSERT INTO T ('A','C') VALUES (+.5e-3,'''')", "+.5e-3|'", true},
  };
  StatementParser parser;
  uint64_t last_head = 0;
  for (const Step& step : steps) {
    auto r = parser.Parse(step.sql);
    const Insert* insert = r.ok() ? std::get_if<Insert>(*r) : nullptr;
    if (!r.ok()) {
      EXPECT_EQ(r.status().sqlstate(), step.values) << step.sql;
      EXPECT_EQ(Parse(step.sql).status().sqlstate(), step.values) << step.sql;
    } else if (insert) {
      std::string values;
      for (const Value& v : insert->values) values.append(values.empty() ? "" : "|").append(v.text);
      EXPECT_EQ(values, step.values) << step.sql;
      EXPECT_NE(insert->head_id, 0u) << step.sql;
      EXPECT_EQ(insert->head_id == last_head, step.same_head) << step.sql;
    }
    last_head = insert ? insert->head_id : 0;
  }
  // Another parser's heads are its own; Parse() numbers none.
  StatementParser other;
  auto r = other.Parse(steps[0].sql);
  ASSERT_TRUE(r.ok());
  EXPECT_NE(std::get<Insert>(**r).head_id, last_head);
  EXPECT_EQ(std::get<Insert>(*Parse(steps[0].sql)).head_id, 0u);
}

// The parser reuses its Values from statement to statement: one is plain
// only while it holds a plain number, never as a string or NULL that took
// the place of one.
TEST(StatementParser, OnlyPlainNumbersArePlain) {
  const struct {
    const char* sql;
    bool plain[2];
  } steps[] = {
      {"INSERT INTO T ('A','B') VALUES (12,3.5)", {true, true}},
      {"INSERT INTO T ('A','B') VALUES ('12',NULL)", {false, false}},
      {"INSERT INTO T ('A','B') VALUES (1e3,-4)", {false, true}},
      {"INSERT INTO T ('A','B') VALUES (7,'x')", {true, false}},
  };
  StatementParser parser;
  for (const auto& step : steps) {
    auto r = parser.Parse(step.sql);
    ASSERT_TRUE(r.ok()) << step.sql;
    const Insert& insert = std::get<Insert>(**r);
    for (size_t i = 0; i < 2; ++i) EXPECT_EQ(insert.values[i].plain, step.plain[i]) << step.sql;
  }
}

// The values point into a buffer the parser reuses: a copy of an Insert kept
// across later statements, or one parsed from a string that is gone, must
// still read its own values.
TEST(StatementParser, KeptInsertsKeepTheirValues) {
  const char* const statements[][2] = {
      {"INSERT INTO T ('A','B') VALUES (1,'a''b')", "1|a'b"},
      {"INSERT INTO T ('A','B') VALUES (22,'''x'' and ''y''')", "22|'x' and 'y'"},
      {"INSERT INTO T ('A','B') VALUES (3,'plain text, longer than the rest')",
       "3|plain text, longer than the rest"},
      {"INSERT INTO T ('A','B') VALUES (NULL,'')", "|"},
      {"INSERT INTO U VALUES ('''','''''',-4.5e2)", "'|''|-4.5e2"},
  };
  auto joined = [](const Insert& insert) {
    std::string out;
    for (const Value& v : insert.values) out.append(&v == &insert.values[0] ? "" : "|").append(v.text);
    return out;
  };
  StatementParser parser;
  std::vector<Insert> kept;
  for (const auto& s : statements) {
    auto r = parser.Parse(std::string(s[0]));  // the text dies with the call
    ASSERT_TRUE(r.ok()) << s[0];
    kept.push_back(std::get<Insert>(**r));
    auto once = Parse(std::string(s[0]));
    ASSERT_TRUE(once.ok()) << s[0];
    EXPECT_EQ(joined(std::get<Insert>(*once)), s[1]);
  }
  for (size_t i = 0; i < kept.size(); ++i) EXPECT_EQ(joined(kept[i]), statements[i][1]);
}

}  // namespace
}  // namespace rh::sql
