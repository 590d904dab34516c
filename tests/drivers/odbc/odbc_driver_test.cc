// Our drivers through the real unixODBC driver manager: the table
// connection's calls, and raw ODBC 3 calls where the test needs the driver's
// own SQLSTATEs (the driver manager maps them to ODBC 2 ones for the table
// connection, which is an ODBC 2 application).
#include <gtest/gtest.h>
#include <sql.h>
#include <sqlext.h>

#include "base/bytes.h"
#include "base/env.h"
#include "connections/odbc_connection.h"
#include "tests/drivers/odbc/odbc_test_util.h"
#include "tests/drivers/xls/xls_test_reader.h"

namespace rh::odbc {
namespace {

using testing::DbaseConnectionString;
using testing::ExcelConnectionString;
using testing::ReadFileOrEmpty;
using testing::TempDir;

class DriverManagerEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(testing::UseBuildTreeDrivers(config_.path())); }

 private:
  TempDir config_;
};

const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new DriverManagerEnvironment);

std::unique_ptr<TableConnection> Open(const std::string& connection_string) {
  auto c = OpenOdbcConnection(connection_string);
  EXPECT_TRUE(c.ok()) << c.status().ToString();
  return c.ok() ? std::move(c).value() : nullptr;
}

uint32_t DbfRecordCount(const std::string& path) {
  std::string f = ReadFileOrEmpty(path);
  return f.size() >= 8 ? LoadLittleU32(reinterpret_cast<const uint8_t*>(f.data()) + 4) : 0;
}

TEST(OdbcDrivers, ExcelExport) {
  TempDir dir;
  std::string path = dir.File("my export (1).xls");
  auto c = Open(ExcelConnectionString(path));
  ASSERT_TRUE(c);
  ASSERT_TRUE(c->Execute("CREATE TABLE KVTdatatool ('Account' TEXT,'Balance' DOUBLE,"
                         "'Current Record' LONG,'Today''s Date' TEXT)").ok());
  Status s = c->Execute("INSERT INTO KVTdatatool ('Account','Balance','Current Record',"
                        "'Today''s Date') VALUES ('1000      ',12.500000,1,'O''Brien''''')");
  ASSERT_TRUE(s.ok()) << s.ToString();
  EXPECT_FALSE(Env::Default()->Exists(path)) << "written only when the connection closes";
  ASSERT_TRUE(c->Close().ok());

  xls::testing::Workbook wb;
  std::string error;
  ASSERT_TRUE(xls::testing::ReadWorkbook(ReadFileOrEmpty(path), &wb, &error)) << error;
  EXPECT_EQ(wb.sheet_name, "KVTdatatool");
  EXPECT_EQ(wb.name_rows, 2);
  EXPECT_EQ(wb.name_cols, 4);
  using V = xls::testing::CellValue;
  EXPECT_EQ(wb.cells.at({0, 3}), V(u"Today's Date"));
  EXPECT_EQ(wb.cells.at({1, 0}), V(u"1000      "));
  EXPECT_EQ(wb.cells.at({1, 1}), V(12.5));
  EXPECT_EQ(wb.cells.at({1, 2}), V(1.0));
  EXPECT_EQ(wb.cells.at({1, 3}), V(u"O'Brien''"));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"my export (1).xls"});
}

TEST(OdbcDrivers, DbaseExportAndTableNames) {
  TempDir dir;
  auto c = Open(DbaseConnectionString(dir.path() + "/"));
  ASSERT_TRUE(c);
  ASSERT_TRUE(c->Execute("CREATE TABLE export.dbf ('ACCOUNT' TEXT(10),'BALANCE' DOUBLE,"
                         "'CURRENT_R' LONG)").ok());
  ASSERT_TRUE(c->Execute("INSERT INTO EXPORT.DBF ('ACCOUNT','BALANCE','CURRENT_R') "
                         "VALUES ('1000      ',12.500000,1)").ok());
  ASSERT_TRUE(c->Execute("CREATE TABLE noext ('A' LONG)").ok());
  ASSERT_TRUE(c->Execute("INSERT INTO NoExt ('A') VALUES (5)").ok());
  ASSERT_TRUE(c->Execute("CREATE TABLE my data (2).dbf ('A' LONG)").ok());
  EXPECT_EQ(c->Execute("CREATE TABLE Export.dbf ('A' LONG)").sqlstate(), "S0001");
  EXPECT_EQ(c->Execute("INSERT INTO other.dbf ('A') VALUES (1)").sqlstate(), "S0002");
  ASSERT_TRUE(c->Close().ok());
  EXPECT_EQ(dir.Entries(),
            (std::vector<std::string>{"export.dbf", "my data (2).dbf", "noext.dbf"}));
  EXPECT_EQ(DbfRecordCount(dir.File("export.dbf")), 1u);
  EXPECT_EQ(DbfRecordCount(dir.File("noext.dbf")), 1u);
}

// The driver keeps the column mapping of the last INSERT's head; a new
// head, another table, a column list in another order or none at all each
// map afresh.
TEST(OdbcDrivers, DbaseInsertsSwitchingHeads) {
  TempDir dir;
  auto c = Open(DbaseConnectionString(dir.path()));
  ASSERT_TRUE(c);
  ASSERT_TRUE(c->Execute("CREATE TABLE a.dbf ('A' TEXT(2),'N' SHORT)").ok());
  ASSERT_TRUE(c->Execute("CREATE TABLE b.dbf ('N' SHORT,'A' TEXT(2))").ok());
  const char* inserts[] = {
      "INSERT INTO a.dbf ('A','N') VALUES ('x',1)", "INSERT INTO a.dbf ('A','N') VALUES ('y',2)",
      "INSERT INTO a.dbf ('N','A') VALUES (3,'z')", "INSERT INTO b.dbf ('A','N') VALUES ('w',4)",
      "INSERT INTO a.dbf ('A','N') VALUES ('v',5)", "INSERT INTO a.dbf ('N') VALUES (6)",
      "INSERT INTO [a.dbf] VALUES ('u',7)",         "INSERT INTO a.dbf ('A','N') VALUES ('t',8)",
  };
  for (const char* sql : inserts) ASSERT_TRUE(c->Execute(sql).ok()) << sql;
  ASSERT_TRUE(c->Close().ok());
  // Each record: the deletion mark, A in 2 bytes, N in 6.
  auto records = [&](const std::string& name, size_t header) {
    std::string f = ReadFileOrEmpty(dir.File(name));
    return f.size() > header ? f.substr(header, f.size() - header - 1) : "";
  };
  const size_t header = 32 + 2 * 32 + 1;
  EXPECT_EQ(records("a.dbf", header),
            " x      1 y      2 z      3 v      5        6 u      7 t      8");
  EXPECT_EQ(records("b.dbf", header), "      4w ");
}

// Each value's bytes in the record, whether the driver writes it straight
// (a text that fits, a plain number literal) or converts it first; and of
// two bad values the conversion's failure is the one reported, as the
// conversions come before the record is formatted.
TEST(OdbcDrivers, DbaseValueBytesAndFailureOrder) {
  TempDir dir;
  auto c = Open(DbaseConnectionString(dir.path()));
  ASSERT_TRUE(c);
  ASSERT_TRUE(c->Execute("CREATE TABLE t.dbf ('A' TEXT(3),'N' SHORT,'D' DOUBLE,'W' DATE)").ok());
  struct Case {
    const char* values;
    // A (left-aligned in 3), N (right-aligned in 6), D (in 19), W (8);
    // all nullptr: the INSERT fails.
    const char* a;
    const char* n;
    const char* d;
    const char* w;
    const char* sqlstate;
  } cases[] = {
      {"'abc',7,1.5,'2024-02-29'", "abc", "7", "1.500000", "20240229", ""},
      {"'',NULL,-0.25,NULL", "", "", "-0.250000", "", ""},
      {"12,'42',1e3,NULL", "12", "42", "1000.000000", "", ""},
      {"'a''b',-32768,0.1234567,'1999-12-31'", "a'b", "-32768", "0.123457", "19991231", ""},
      {"'abcd',1,1,NULL", nullptr, nullptr, nullptr, nullptr, "22001"},
      {"'a',40000,1,NULL", nullptr, nullptr, nullptr, nullptr, "22003"},
      {"'a',1,1e25,NULL", nullptr, nullptr, nullptr, nullptr, "22003"},
      {"'a',1,1e25,'x'", nullptr, nullptr, nullptr, nullptr, "22008"},
      {"'abcd',1,1e25,NULL", nullptr, nullptr, nullptr, nullptr, "22001"},
  };
  auto left = [](std::string t, size_t w) { return t.resize(w, ' '), t; };
  auto right = [](std::string t, size_t w) { return t.insert(0, w - t.size(), ' '), t; };
  std::string records;
  for (const auto& k : cases) {
    Status s = c->Execute(std::string("INSERT INTO t.dbf ('A','N','D','W') VALUES (") + k.values + ")");
    EXPECT_EQ(s.sqlstate(), k.sqlstate) << k.values << ": " << s.ToString();
    if (k.a != nullptr)
      records.append(" ").append(left(k.a, 3)).append(right(k.n, 6)).append(right(k.d, 19))
          .append(left(k.w, 8));
  }
  ASSERT_TRUE(c->Close().ok());
  const std::string file = ReadFileOrEmpty(dir.File("t.dbf"));
  const size_t header = 32 + 4 * 32 + 1;
  ASSERT_GT(file.size(), header);
  EXPECT_EQ(file.substr(header, file.size() - header - 1), records);
}

// An empty DBQ makes the table name the path.
TEST(OdbcDrivers, DbaseWithoutFolder) {
  TempDir dir;
  auto c = Open("DRIVER=Microsoft dBase Driver (*.dbf);DBQ=;");
  ASSERT_TRUE(c);
  ASSERT_TRUE(c->Execute("CREATE TABLE " + dir.File("t.dbf") + " ('A' LONG)").ok());
  ASSERT_TRUE(c->Close().ok());
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"t.dbf"});
}

// The table connection sees the ODBC 2 SQLSTATEs the driver manager maps
// ours to.
TEST(OdbcDrivers, StatementFailuresCarryDiagnostics) {
  TempDir dir;
  auto c = Open(DbaseConnectionString(dir.path()));
  ASSERT_TRUE(c);
  ASSERT_TRUE(c->Execute("CREATE TABLE t.dbf ('A' TEXT(3),'N' SHORT)").ok());
  struct Case {
    const char* sql;
    const char* sqlstate;
  } cases[] = {
      {"SELECT * FROM t.dbf", "37000"},
      {"INSERT INTO t.dbf ('A','N') VALUES ('abc',1", "37000"},
      {"INSERT INTO t.dbf ('A','N') VALUES ('abcd',1)", "22001"},
      {"INSERT INTO t.dbf ('A','N') VALUES ('a',40000)", "22003"},
      {"INSERT INTO t.dbf ('A','X') VALUES ('a',1)", "S0022"},
      {"INSERT INTO t.dbf ('A','N') VALUES ('a')", "21S01"},
      {"", "37000"},
  };
  for (const auto& k : cases) {
    Status s = c->Execute(k.sql);
    EXPECT_EQ(s.sqlstate(), k.sqlstate) << k.sql;
    EXPECT_NE(s.message().find("[recordhaul][dBase driver]"), std::string::npos) << k.sql;
    // The connection keeps one statement handle: a failure leaves nothing
    // behind for the next statement.
    s = c->Execute("INSERT INTO t.dbf ('A','N') VALUES ('ok',1)");
    EXPECT_TRUE(s.ok()) << k.sql << ": " << s.ToString();
  }
  // A statement ends at a NUL, as a C string does.
  const std::string with_nul("INSERT INTO t.dbf ('A','N') VALUES ('ok',1)\0 and more", 53);
  EXPECT_TRUE(c->Execute(with_nul).ok());
  ASSERT_TRUE(c->Close().ok());
  EXPECT_EQ(DbfRecordCount(dir.File("t.dbf")), std::size(cases) + 1);
}

TEST(OdbcDrivers, ConnectionFailures) {
  TempDir dir;
  ASSERT_TRUE(testing::WriteFile(dir.File("old.xls"), "old"));
  struct Case {
    std::string connection_string;
    const char* sqlstate;  // null: any failure
  } cases[] = {
      {"DRIVER={No Such Driver};DBQ=/tmp", nullptr},
      {DbaseConnectionString(dir.File("missing")), "08001"},
      {DbaseConnectionString(dir.File("old.xls")), "08001"},
      {ExcelConnectionString(dir.File("missing/x.xls")), "08001"},
      {ExcelConnectionString(dir.path()), "08001"},
      {"DRIVER={MICROSOFT EXCEL DRIVER (*.XLS)};DBQ=" + dir.File("old.xls"), "08001"},
      {"DRIVER={MICROSOFT EXCEL DRIVER (*.XLS)};DBQ=", "08001"},
      {"DRIVER={MICROSOFT EXCEL DRIVER (*.XLS)};FIRSTROWHASNAMES=0;DBQ=" + dir.File("n.xls"),
       nullptr},
      {"DRIVER={MICROSOFT EXCEL DRIVER (*.XLS)};CREATE_DB=\"" + dir.File("x.xls"), "08001"},
  };
  for (const auto& k : cases) {
    auto c = OpenOdbcConnection(k.connection_string);
    ASSERT_FALSE(c.ok()) << k.connection_string;
    if (k.sqlstate) {
      EXPECT_EQ(c.status().sqlstate(), k.sqlstate) << k.connection_string;
    }
    EXPECT_FALSE(c.status().message().empty());
  }
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"old.xls"});
}

// Without a table created, the destination stays as it was and no temporary
// file remains; with one, the file is replaced only when the connection
// closes.
TEST(OdbcDrivers, ReplacementRule) {
  std::string cols257 = "CREATE TABLE KVTdatatool (";
  for (int i = 0; i < 257; ++i) cols257 += (i ? ",'C" : "'C") + std::to_string(i) + "' LONG";
  cols257 += ")";
  struct Case {
    bool excel;
    const char* create;  // null: no CREATE at all
    bool replaced;
  } cases[] = {
      {true, nullptr, false},
      {true, "CREATE TABLE KVTdatatool ('A' TEXT, 'a' LONG)", false},
      {true, cols257.c_str(), false},
      {true, "CREATE TABLE KVTdatatool ('A' TEXT)", true},
      {false, nullptr, false},
      {false, "CREATE TABLE old.dbf ('ABCDEFGHIJK' LONG)", false},
      {false, "CREATE TABLE old.dbf ('A' TEXT(0))", false},
      {false, "CREATE TABLE old ('A' TEXT(300))", true},
  };
  const std::string old_bytes = std::string("old contents\0\x80\xFF", 15);
  for (const auto& k : cases) {
    TempDir dir;
    std::string name = k.excel ? "old.xls" : "old.dbf";
    ASSERT_TRUE(testing::WriteFile(dir.File(name), old_bytes));
    auto c = Open(k.excel ? ExcelConnectionString(dir.File(name))
                          : DbaseConnectionString(dir.path()));
    ASSERT_TRUE(c);
    if (k.create) {
      EXPECT_EQ(c->Execute(k.create).ok(), k.replaced) << k.create;
    }
    EXPECT_EQ(ReadFileOrEmpty(dir.File(name)), old_bytes);
    EXPECT_TRUE(c->Close().ok());
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{name})
        << (k.create ? k.create : "no CREATE");
    EXPECT_EQ(ReadFileOrEmpty(dir.File(name)) == old_bytes, !k.replaced);
  }
}

TEST(OdbcDrivers, FailedInsertKeepsEarlierRows) {
  TempDir dir;
  auto c = Open(DbaseConnectionString(dir.path()));
  ASSERT_TRUE(c);
  ASSERT_TRUE(c->Execute("CREATE TABLE t.dbf ('A' TEXT(3))").ok());
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(c->Execute("INSERT INTO t.dbf ('A') VALUES ('x')").ok());
  EXPECT_FALSE(c->Execute("INSERT INTO t.dbf ('A') VALUES ('long')").ok());
  ASSERT_TRUE(c->Close().ok());
  EXPECT_EQ(DbfRecordCount(dir.File("t.dbf")), 3u);

  auto x = Open(ExcelConnectionString(dir.File("t.xls")));
  ASSERT_TRUE(x);
  ASSERT_TRUE(x->Execute("CREATE TABLE KVTdatatool ('B' BYTE)").ok());
  ASSERT_TRUE(x->Execute("INSERT INTO KVTdatatool ('B') VALUES (255)").ok());
  EXPECT_EQ(x->Execute("INSERT INTO KVTdatatool ('B') VALUES (256)").sqlstate(), "22003");
  ASSERT_TRUE(x->Close().ok());
  xls::testing::Workbook wb;
  std::string error;
  ASSERT_TRUE(xls::testing::ReadWorkbook(ReadFileOrEmpty(dir.File("t.xls")), &wb, &error));
  EXPECT_EQ(wb.name_rows, 2);
}

TEST(OdbcDrivers, OneTablePerWorkbook) {
  TempDir dir;
  auto c = Open(ExcelConnectionString(dir.File("w.xls")));
  ASSERT_TRUE(c);
  ASSERT_TRUE(c->Execute("CREATE TABLE KVTdatatool ('A' LONG)").ok());
  EXPECT_EQ(c->Execute("CREATE TABLE kvtdatatool ('A' LONG)").sqlstate(), "S0001");
  EXPECT_FALSE(c->Execute("CREATE TABLE Other ('A' LONG)").ok());
  EXPECT_EQ(c->Execute("INSERT INTO Other ('A') VALUES (1)").sqlstate(), "S0002");
  ASSERT_TRUE(c->Close().ok());
}

// The shared environment outlives the first connection closed and is made
// anew after the last.
TEST(OdbcDrivers, ConnectionsShareTheEnvironment) {
  TempDir dir;
  for (int round = 0; round < 2; ++round) {
    auto x = Open(ExcelConnectionString(dir.File("a.xls")));
    auto d = Open(DbaseConnectionString(dir.path()));
    ASSERT_TRUE(x && d);
    ASSERT_TRUE(x->Execute("CREATE TABLE KVTdatatool ('A' LONG)").ok());
    ASSERT_TRUE(x->Close().ok());
    ASSERT_TRUE(d->Execute("CREATE TABLE b.dbf ('A' LONG)").ok());
    ASSERT_TRUE(d->Execute("INSERT INTO b.dbf ('A') VALUES (1)").ok());
    ASSERT_TRUE(d->Close().ok());
  }
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.xls", "b.dbf"}));
}

// Raw ODBC 3 calls: the driver's own SQLSTATEs and the entry points the
// table connection relies on.
TEST(OdbcDrivers, RawDriverManagerCalls) {
  TempDir dir;
  SQLHENV env;
  SQLHDBC dbc;
  SQLHSTMT stmt;
  ASSERT_EQ(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env), SQL_SUCCESS);
  ASSERT_EQ(SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
            SQL_SUCCESS);
  ASSERT_EQ(SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc), SQL_SUCCESS);
  std::string cs = ExcelConnectionString(dir.File("raw.xls"));
  SQLCHAR out[1024];
  SQLSMALLINT out_len = 0;
  ASSERT_TRUE(SQL_SUCCEEDED(SQLDriverConnect(dbc, nullptr, (SQLCHAR*)cs.c_str(), SQL_NTS, out,
                                             sizeof out, &out_len, SQL_DRIVER_NOPROMPT)));
  SQLUSMALLINT api = 99, sql = 99;
  ASSERT_EQ(SQLGetInfo(dbc, SQL_ODBC_API_CONFORMANCE, &api, sizeof api, nullptr), SQL_SUCCESS);
  ASSERT_EQ(SQLGetInfo(dbc, SQL_ODBC_SQL_CONFORMANCE, &sql, sizeof sql, nullptr), SQL_SUCCESS);
  EXPECT_EQ(api, SQL_OAC_LEVEL1);
  EXPECT_EQ(sql, SQL_OSC_MINIMUM);
  ASSERT_EQ(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt), SQL_SUCCESS);
  EXPECT_EQ(SQLSetStmtAttr(stmt, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(15), 0),
            SQL_SUCCESS);

  struct Case {
    const char* sql;
    const char* sqlstate;  // null: succeeds
  } cases[] = {
      {"CREATE TABLE KVTdatatool ('A' TEXT(4), 'B' SINGLE)", nullptr},
      {"INSERT INTO KVTdatatool ('A','B') VALUES ('abc', 1.5)", nullptr},
      {"INSERT INTO KVTdatatool ('A','B') VALUES ('abcde', 1.5)", "22001"},
      {"INSERT INTO KVTdatatool ('A','B') VALUES ('a', 'x')", "22018"},
      {"INSERT INTO KVTdatatool ('A','B') VALUES ('a', 1e39)", "22003"},
      {"DROP TABLE KVTdatatool", "42000"},
      {"CREATE TABLE KVTdatatool ('A' LONG)", "42S01"},
      {"INSERT INTO Nope ('A') VALUES (1)", "42S02"},
      {"INSERT INTO KVTdatatool ('Z') VALUES (1)", "42S22"},
  };
  for (const auto& k : cases) {
    SQLRETURN rc = SQLExecDirect(stmt, (SQLCHAR*)k.sql, SQL_NTS);
    if (!k.sqlstate) {
      EXPECT_EQ(rc, SQL_SUCCESS) << k.sql;
      continue;
    }
    EXPECT_EQ(rc, SQL_ERROR) << k.sql;
    SQLCHAR state[6] = {}, msg[512] = {};
    SQLINTEGER native;
    SQLSMALLINT len;
    ASSERT_EQ(SQLGetDiagRec(SQL_HANDLE_STMT, stmt, 1, state, &native, msg, sizeof msg, &len),
              SQL_SUCCESS);
    EXPECT_STREQ(reinterpret_cast<char*>(state), k.sqlstate) << k.sql;
    EXPECT_EQ(std::string(reinterpret_cast<char*>(msg)).rfind("[recordhaul][Excel driver]", 0), 0u);
  }
  SQLLEN rows = 0;
  SQLSMALLINT cols = 9;
  ASSERT_EQ(SQLExecDirect(stmt, (SQLCHAR*)"INSERT INTO KVTdatatool VALUES ('x', 2)", SQL_NTS),
            SQL_SUCCESS);
  EXPECT_EQ(SQLRowCount(stmt, &rows), SQL_SUCCESS);
  EXPECT_EQ(rows, 1);
  EXPECT_EQ(SQLNumResultCols(stmt, &cols), SQL_SUCCESS);
  EXPECT_EQ(cols, 0);
  EXPECT_EQ(SQLMoreResults(stmt), SQL_NO_DATA);
  EXPECT_EQ(SQLCancel(stmt), SQL_SUCCESS);
  EXPECT_EQ(SQLFreeHandle(SQL_HANDLE_STMT, stmt), SQL_SUCCESS);
  // A statement still allocated is freed by the disconnect.
  ASSERT_EQ(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt), SQL_SUCCESS);
  EXPECT_EQ(SQLDisconnect(dbc), SQL_SUCCESS);
  EXPECT_EQ(SQLFreeHandle(SQL_HANDLE_DBC, dbc), SQL_SUCCESS);
  EXPECT_EQ(SQLFreeHandle(SQL_HANDLE_ENV, env), SQL_SUCCESS);

  xls::testing::Workbook wb;
  std::string error;
  ASSERT_TRUE(xls::testing::ReadWorkbook(ReadFileOrEmpty(dir.File("raw.xls")), &wb, &error));
  EXPECT_EQ(wb.name_rows, 3);
}

}  // namespace
}  // namespace rh::odbc
