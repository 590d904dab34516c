#include "drivers/odbc/connection_string.h"

#include <gtest/gtest.h>

#include <random>

namespace rh::odbc {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(ConnectionString, Parses) {
  struct Case {
    std::string text;
    Pairs want;
  } cases[] = {
      {"DRIVER={MICROSOFT EXCEL DRIVER (*.XLS)};DSN='';FIRSTROWHASNAMES=1;"
       "READONLY=FALSE;CREATE_DB=\"/tmp/my file (1).xls\";DBQ=/tmp/my file (1).xls",
       {{"DRIVER", "MICROSOFT EXCEL DRIVER (*.XLS)"},
        {"DSN", "''"},
        {"FIRSTROWHASNAMES", "1"},
        {"READONLY", "FALSE"},
        {"CREATE_DB", "/tmp/my file (1).xls"},
        {"DBQ", "/tmp/my file (1).xls"}}},
      {"DRIVER=Microsoft dBase Driver (*.dbf);DBQ=/data/exports/;",
       {{"DRIVER", "Microsoft dBase Driver (*.dbf)"}, {"DBQ", "/data/exports/"}}},
      // Quotes inside an unescaped path, and a path ending in a quote.
      {"CREATE_DB=\"/tmp/O\"Brien\".xls\";DBQ=/tmp/O\"Brien\".xls",
       {{"CREATE_DB", "/tmp/O\"Brien\".xls"}, {"DBQ", "/tmp/O\"Brien\".xls"}}},
      {"DBQ=/tmp/it's;", {{"DBQ", "/tmp/it's"}}},
      // A ";" in a bare path is kept when no "=" follows it.
      {"DRIVER=x;DBQ=/tmp/a;b/;", {{"DRIVER", "x"}, {"DBQ", "/tmp/a;b/"}}},
      {"DRIVER={a}}b};X=1", {{"DRIVER", "a}b"}, {"X", "1"}}},
      {"  Driver = {x} ;;dbq=/a b/ ", {{"Driver", "x"}, {"dbq", "/a b/ "}}},
      {"A=;B=\"\"", {{"A", ""}, {"B", ""}}},
      {"", {}},
      {";;", {}},
      {"A=x=y", {{"A", "x=y"}}},
  };
  for (const auto& c : cases) {
    auto r = ParseConnectionString(c.text);
    ASSERT_TRUE(r.ok()) << c.text << ": " << r.status().ToString();
    EXPECT_EQ(r->items(), c.want) << c.text;
  }
}

TEST(ConnectionString, Refuses) {
  const char* cases[] = {
      "DRIVER={unterminated",
      "CREATE_DB=\"unterminated",
      "DRIVER={x}y;",
      "=value",
      "justtext",
      ";orphan",
      "A={x};orphan",
  };
  for (const char* text : cases) {
    auto r = ParseConnectionString(text);
    ASSERT_FALSE(r.ok()) << text;
    EXPECT_EQ(r.status().sqlstate(), "08001") << text;
  }
}

TEST(ConnectionString, LookupIgnoresCaseAndTakesTheFirst) {
  auto r = ParseConnectionString("dbq=/a;DBQ=/b;Create_Db=\"/c\"");
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->Get("DBQ"), "/a");
  EXPECT_EQ(r->Get("CREATE_DB"), "/c");
  EXPECT_FALSE(r->Get("DSN"));
}

TEST(ConnectionString, TrueValues) {
  for (const char* v : {"1", "TRUE", "true", " Yes ", "on"}) EXPECT_TRUE(IsTrueValue(v)) << v;
  for (const char* v : {"0", "FALSE", "", "2", "truth"}) EXPECT_FALSE(IsTrueValue(v)) << v;
}

// Random texts over the characters that matter must never crash; what
// parses must hold only keys without "=".
TEST(ConnectionString, RandomInputDoesNotCrash) {
  std::mt19937 rng(12345);
  const std::string alphabet = "{}\";= aB\\'()*.\t";
  for (int i = 0; i < 20000; ++i) {
    std::string text(rng() % 24, ' ');
    for (char& c : text) c = alphabet[rng() % alphabet.size()];
    auto r = ParseConnectionString(text);
    if (!r.ok()) continue;
    for (const auto& [key, value] : r->items()) {
      EXPECT_FALSE(key.empty()) << text;
      EXPECT_EQ(key.find('='), std::string::npos) << text;
    }
  }
}

}  // namespace
}  // namespace rh::odbc
