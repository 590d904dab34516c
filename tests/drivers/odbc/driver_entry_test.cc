// The dBase driver library called directly, without a driver manager: what
// careless callers do to it must end in an error code, never a crash.
#include <gtest/gtest.h>
#include <sql.h>
#include <sqlext.h>

#include <cstring>
#include <functional>
#include <string>
#include <random>

#include "tests/drivers/odbc/odbc_test_util.h"

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

}  // namespace
