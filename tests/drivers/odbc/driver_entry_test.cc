// The dBase driver library called directly, without a driver manager: what
// careless callers do to it must end in an error code, never a crash.
#include <gtest/gtest.h>
#include <sql.h>
#include <sqlext.h>

#include <cstring>
#include <functional>
#include <string>
#include <random>
#include <vector>

#include "tests/drivers/odbc/odbc_test_util.h"
#include "tests/random_value_lists.h"

namespace {

using rh::odbc::testing::TempDir;

SQLCHAR* Text(const char* s) { return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s)); }

std::string StateOf(SQLSMALLINT type, SQLHANDLE h) {
  SQLCHAR state[6] = {};
  SQLINTEGER native;
  SQLCHAR msg[256];
  SQLSMALLINT len;
  if (SQLGetDiagRec(type, h, 1, state, &native, msg, sizeof msg, &len) != SQL_SUCCESS)
    return "none";
  return reinterpret_cast<char*>(state);
}

class DriverEntry : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SQLAllocHandle(SQL_HANDLE_ENV, nullptr, &env_), SQL_SUCCESS);
    ASSERT_EQ(SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_), SQL_SUCCESS);
  }
  void TearDown() override {
    SQLDisconnect(dbc_);
    EXPECT_EQ(SQLFreeHandle(SQL_HANDLE_DBC, dbc_), SQL_SUCCESS);
    EXPECT_EQ(SQLFreeHandle(SQL_HANDLE_ENV, env_), SQL_SUCCESS);
  }
  void Connect() {
    std::string cs = "DBQ=" + dir_.path();
    ASSERT_EQ(SQLDriverConnect(dbc_, nullptr, Text(cs.c_str()), SQL_NTS, nullptr, 0, nullptr,
                               SQL_DRIVER_NOPROMPT),
              SQL_SUCCESS);
    ASSERT_EQ(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt_), SQL_SUCCESS);
  }

  TempDir dir_;
  SQLHANDLE env_ = nullptr, dbc_ = nullptr, stmt_ = nullptr;
};

TEST_F(DriverEntry, WrongHandles) {
  EXPECT_EQ(SQLExecDirect(nullptr, Text("x"), SQL_NTS), SQL_INVALID_HANDLE);
  EXPECT_EQ(SQLExecDirect(env_, Text("x"), SQL_NTS), SQL_INVALID_HANDLE);
  EXPECT_EQ(SQLGetInfo(env_, SQL_DBMS_NAME, nullptr, 0, nullptr), SQL_INVALID_HANDLE);
  EXPECT_EQ(SQLFreeHandle(SQL_HANDLE_DBC, env_), SQL_INVALID_HANDLE);
  EXPECT_EQ(SQLFreeHandle(SQL_HANDLE_STMT, nullptr), SQL_INVALID_HANDLE);
  EXPECT_EQ(SQLDisconnect(nullptr), SQL_INVALID_HANDLE);
  EXPECT_EQ(SQLError(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr),
            SQL_INVALID_HANDLE);
  EXPECT_EQ(SQLAllocHandle(99, env_, &stmt_), SQL_ERROR);
  EXPECT_EQ(SQLAllocHandle(SQL_HANDLE_DBC, env_, nullptr), SQL_ERROR);
}

TEST_F(DriverEntry, CallSequences) {
  SQLHANDLE stmt;
  EXPECT_EQ(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt), SQL_ERROR);
  EXPECT_EQ(StateOf(SQL_HANDLE_DBC, dbc_), "08003");
  EXPECT_EQ(SQLFreeHandle(SQL_HANDLE_ENV, env_), SQL_ERROR);
  EXPECT_EQ(StateOf(SQL_HANDLE_ENV, env_), "HY010");
  EXPECT_EQ(SQLDisconnect(dbc_), SQL_ERROR);
  Connect();
  EXPECT_EQ(SQLDriverConnect(dbc_, nullptr, Text("DBQ=/tmp"), SQL_NTS, nullptr, 0, nullptr,
                             SQL_DRIVER_NOPROMPT),
            SQL_ERROR);
  EXPECT_EQ(StateOf(SQL_HANDLE_DBC, dbc_), "08002");
  EXPECT_EQ(SQLFreeHandle(SQL_HANDLE_DBC, dbc_), SQL_ERROR);
  EXPECT_EQ(SQLExecute(stmt_), SQL_ERROR);
  EXPECT_EQ(StateOf(SQL_HANDLE_STMT, stmt_), "HY010");
  EXPECT_EQ(SQLFetch(stmt_), SQL_ERROR);
  EXPECT_EQ(StateOf(SQL_HANDLE_STMT, stmt_), "24000");
  EXPECT_EQ(SQLSetConnectOption(dbc_, SQL_AUTOCOMMIT, SQL_AUTOCOMMIT_OFF), SQL_ERROR);
  EXPECT_EQ(StateOf(SQL_HANDLE_DBC, dbc_), "HYC00");
  EXPECT_EQ(SQLSetStmtOption(stmt_, SQL_QUERY_TIMEOUT, 15), SQL_SUCCESS);
  EXPECT_EQ(SQLFreeStmt(stmt_, SQL_DROP), SQL_SUCCESS);
}

TEST_F(DriverEntry, StatementArguments) {
  Connect();
  EXPECT_EQ(SQLExecDirect(stmt_, nullptr, SQL_NTS), SQL_ERROR);
  EXPECT_EQ(StateOf(SQL_HANDLE_STMT, stmt_), "HY009");
  EXPECT_EQ(SQLExecDirect(stmt_, Text("x"), -7), SQL_ERROR);
  EXPECT_EQ(StateOf(SQL_HANDLE_STMT, stmt_), "HY090");
  // An explicit length takes only that much of the text.
  const char* sql = "CREATE TABLE t.dbf ('A' LONG)garbage";
  EXPECT_EQ(SQLExecDirect(stmt_, Text(sql), 29), SQL_SUCCESS);
  EXPECT_EQ(SQLPrepare(stmt_, Text("INSERT INTO t.dbf ('A') VALUES (1)"), SQL_NTS), SQL_SUCCESS);
  EXPECT_EQ(SQLExecute(stmt_), SQL_SUCCESS);
  EXPECT_EQ(SQLExecute(stmt_), SQL_SUCCESS);
  SQLLEN rows = 0;
  EXPECT_EQ(SQLRowCount(stmt_, &rows), SQL_SUCCESS);
  EXPECT_EQ(rows, 1);
}

TEST_F(DriverEntry, Diagnostics) {
  Connect();
  EXPECT_EQ(SQLExecDirect(stmt_, Text("nonsense"), SQL_NTS), SQL_ERROR);
  SQLINTEGER count = 0;
  EXPECT_EQ(SQLGetDiagField(SQL_HANDLE_STMT, stmt_, 0, SQL_DIAG_NUMBER, &count, 0, nullptr),
            SQL_SUCCESS);
  EXPECT_EQ(count, 1);
  SQLCHAR state[6], msg[8];
  SQLSMALLINT len = 0;
  EXPECT_EQ(SQLGetDiagRec(SQL_HANDLE_STMT, stmt_, 1, state, nullptr, msg, sizeof msg, &len),
            SQL_SUCCESS_WITH_INFO);
  EXPECT_EQ(std::strlen(reinterpret_cast<char*>(msg)), 7u);
  EXPECT_GT(len, 7);
  EXPECT_EQ(SQLGetDiagRec(SQL_HANDLE_STMT, stmt_, 2, state, nullptr, msg, sizeof msg, &len),
            SQL_NO_DATA);
  // SQLError hands each record out once.
  EXPECT_EQ(SQLError(env_, dbc_, stmt_, state, nullptr, nullptr, 0, nullptr), SQL_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<char*>(state), "42000");
  EXPECT_EQ(SQLError(env_, dbc_, stmt_, state, nullptr, nullptr, 0, nullptr), SQL_NO_DATA);
}

TEST_F(DriverEntry, DiagnosticTextsKeptAndCopiedReadTheSame) {
  Connect();
  // The driver manager's descriptor question fails with a text the driver
  // keeps without a copy; a syntax error's is copied. One after the other
  // on the same handle, each reads back whole by every diagnostic call.
  auto descriptor = [&](SQLINTEGER attr) {
    return [this, attr] {
      SQLHDESC desc = nullptr;
      return SQLGetStmtAttr(stmt_, attr, &desc, 0, nullptr);
    };
  };
  struct Case {
    std::function<SQLRETURN()> call;
    const char* state;
    const char* text;
  } cases[] = {
      {descriptor(SQL_ATTR_APP_ROW_DESC), "HYC00", "descriptors are not supported"},
      {[this] { return SQLExecDirect(stmt_, Text("nonsense"), SQL_NTS); }, "42000",
       "Syntax error: only CREATE TABLE and INSERT INTO are supported"},
      {descriptor(SQL_ATTR_IMP_PARAM_DESC), "HYC00", "descriptors are not supported"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(c.call(), SQL_ERROR) << c.text;
    const std::string expected = std::string("[recordhaul][dBase driver]") + c.text;
    SQLCHAR state[6] = {}, msg[256] = {};
    SQLSMALLINT len = 0;
    EXPECT_EQ(SQLGetDiagRec(SQL_HANDLE_STMT, stmt_, 1, state, nullptr, msg, sizeof msg, &len),
              SQL_SUCCESS);
    EXPECT_STREQ(reinterpret_cast<char*>(state), c.state);
    EXPECT_EQ(reinterpret_cast<char*>(msg), expected);
    EXPECT_EQ(len, static_cast<SQLSMALLINT>(expected.size()));
    EXPECT_EQ(SQLGetDiagField(SQL_HANDLE_STMT, stmt_, 1, SQL_DIAG_MESSAGE_TEXT, msg, sizeof msg,
                              &len),
              SQL_SUCCESS);
    EXPECT_EQ(reinterpret_cast<char*>(msg), expected);
    EXPECT_EQ(SQLError(env_, dbc_, stmt_, state, nullptr, msg, sizeof msg, &len), SQL_SUCCESS);
    EXPECT_EQ(reinterpret_cast<char*>(msg), expected);
    EXPECT_EQ(SQLGetDiagRec(SQL_HANDLE_STMT, stmt_, 2, state, nullptr, msg, sizeof msg, &len),
              SQL_NO_DATA);
  }
}

TEST_F(DriverEntry, GetInfo) {
  Connect();
  SQLCHAR name[4];
  SQLSMALLINT len = 0;
  EXPECT_EQ(SQLGetInfo(dbc_, SQL_DBMS_NAME, name, sizeof name, &len), SQL_SUCCESS_WITH_INFO);
  EXPECT_STREQ(reinterpret_cast<char*>(name), "DBA");
  EXPECT_EQ(len, 5);
  EXPECT_EQ(StateOf(SQL_HANDLE_DBC, dbc_), "01004");
  EXPECT_EQ(SQLGetInfo(dbc_, SQL_DBMS_NAME, nullptr, 0, &len), SQL_SUCCESS);
  EXPECT_EQ(SQLGetInfo(dbc_, 65000, name, sizeof name, &len), SQL_ERROR);
  EXPECT_EQ(StateOf(SQL_HANDLE_DBC, dbc_), "HY096");
}

// Mangled forms of the statements the writer sends: each ends in success
// or an error.
TEST_F(DriverEntry, MangledStatements) {
  Connect();
  const std::string seeds[] = {
      "CREATE TABLE a.dbf ('ACCOUNT' TEXT(10),'BAL' DOUBLE,'N' LONG,'S' SHORT,'B' BYTE)",
      "INSERT INTO a.dbf ('ACCOUNT','BAL','N','S','B') VALUES ('O''Br',-12.5,1,2,3)",
  };
  ASSERT_EQ(SQLExecDirect(stmt_, Text(seeds[0].c_str()), SQL_NTS), SQL_SUCCESS);
  std::mt19937 rng(7);
  const std::string junk = "'(),;\"[]`- .e9";
  for (int i = 0; i < 5000; ++i) {
    std::string s = seeds[rng() % 2];
    for (int k = rng() % 4 + 1; k > 0; --k) {
      size_t at = rng() % s.size();
      switch (rng() % 3) {
        case 0: s.erase(at, rng() % 4 + 1); break;
        case 1: s.insert(at, 1, junk[rng() % junk.size()]); break;
        default: s[at] = junk[rng() % junk.size()];
      }
      if (s.empty()) s.push_back('x');
    }
    SQLRETURN rc = SQLExecDirect(stmt_, Text(s.c_str()), static_cast<SQLINTEGER>(s.size()));
    ASSERT_TRUE(rc == SQL_SUCCESS || rc == SQL_ERROR) << s;
  }
}

// An export's INSERTs repeat their head, and their values are taken from
// the text where they can be; the same statements, each after an INSERT
// into another table (so that none repeats the head before it), are parsed
// and inserted value by value. Both give every statement the same outcome
// and write the same file.
TEST(DriverEntryValues, RepeatedHeadsWriteWhatParsedStatementsWrite) {
  const char* const kCreate =
      "CREATE TABLE t.dbf ('L' LONG,'S' SHORT,'B' BYTE,'D' DOUBLE,'F' SINGLE,'T' TEXT(6),"
      "'U' TEXT(2))";
  const std::string head = "INSERT INTO t.dbf ('L','S','B','D','F','T','U') ";
  // Mostly what an export sends for each column, now and then something
  // else from `odd`.
  const std::vector<std::string> odd = {
      "-0", "256", "-1", "32768", "-2147483649", "007", "0.000001", "1.2345678", "-0.0",
      "999999999999999.5", "1e3", "+5", ".5", "5.", "12abc", "NULL", "null", "'12'", "'x'",
      "''", "'abcdefg'", "'''''x'", "'ab'''", "7", "-1.5", "'unclosed", "' '"};
  using rh::test::RandomValueLists;
  const std::vector<rh::test::ValueMaker> columns = {
      [](RandomValueLists& r) { return r.Signed(8); },
      [](RandomValueLists& r) { return r.Signed(3); },
      [](RandomValueLists& r) { return r.Digits(1); },
      [](RandomValueLists& r) { return r.Decimal(8, 6); },
      [](RandomValueLists& r) { return r.Decimal(6, 4); },
      [](RandomValueLists& r) { return r.Text(6); },
      [](RandomValueLists& r) { return r.Text(2); },
  };
  RandomValueLists lists(2024);
  std::vector<std::string> statements;
  for (int i = 0; i < 5000; ++i) statements.push_back(head + lists.List(columns, odd));

  // Runs the statements on a connection of their own in `folder`, each
  // after `between` if given; returns each one's outcome.
  auto run = [&](const std::string& folder, const char* between) {
    std::vector<std::string> outcomes;
    SQLHANDLE env = nullptr, dbc = nullptr, stmt = nullptr;
    EXPECT_EQ(SQLAllocHandle(SQL_HANDLE_ENV, nullptr, &env), SQL_SUCCESS);
    EXPECT_EQ(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc), SQL_SUCCESS);
    const std::string cs = "DBQ=" + folder;
    EXPECT_EQ(SQLDriverConnect(dbc, nullptr, Text(cs.c_str()), SQL_NTS, nullptr, 0, nullptr,
                               SQL_DRIVER_NOPROMPT),
              SQL_SUCCESS);
    EXPECT_EQ(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt), SQL_SUCCESS);
    EXPECT_EQ(SQLExecDirect(stmt, Text(kCreate), SQL_NTS), SQL_SUCCESS);
    if (between) {
      EXPECT_EQ(SQLExecDirect(stmt, Text("CREATE TABLE other ('X' LONG)"), SQL_NTS), SQL_SUCCESS);
    }
    for (const std::string& statement : statements) {
      if (between) {
        EXPECT_EQ(SQLExecDirect(stmt, Text(between), SQL_NTS), SQL_SUCCESS);
      }
      const SQLRETURN rc = SQLExecDirect(stmt, Text(statement.c_str()),
                                         static_cast<SQLINTEGER>(statement.size()));
      outcomes.push_back(rc == SQL_SUCCESS ? "ok" : StateOf(SQL_HANDLE_STMT, stmt));
    }
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    EXPECT_EQ(SQLDisconnect(dbc), SQL_SUCCESS);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    return outcomes;
  };
  TempDir repeated, parsed;
  const auto a = run(repeated.path(), nullptr);
  const auto b = run(parsed.path(), "INSERT INTO other ('X') VALUES (1)");
  ASSERT_EQ(a.size(), b.size());
  size_t stored = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i], b[i]) << statements[i];
    stored += a[i] == "ok";
  }
  EXPECT_GT(stored, statements.size() / 2);  // most as an export sends them
  const std::string table = rh::odbc::testing::ReadFileOrEmpty(repeated.File("t.dbf"));
  ASSERT_FALSE(table.empty());
  EXPECT_EQ(table, rh::odbc::testing::ReadFileOrEmpty(parsed.File("t.dbf")));
}

}  // namespace
