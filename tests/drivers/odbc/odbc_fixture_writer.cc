// Writes the workbooks and tables that the independent readers check
// (check_xls.py, check_dbf.py), through the driver manager with the table
// connection, and checks the statuses on the way.
//
//   odbc_fixture_writer xls|dbf <folder>
#include <cstdio>
#include <string>

#include "connections/odbc_connection.h"
#include "tests/drivers/odbc/odbc_test_util.h"

namespace {

using rh::odbc::testing::DbaseConnectionString;
using rh::odbc::testing::ExcelConnectionString;

int failures = 0;

void Expect(bool ok, const std::string& what, const rh::Status& s = rh::Status()) {
  if (ok) return;
  std::fprintf(stderr, "unexpected: %s (%s)\n", what.c_str(), s.ToString().c_str());
  ++failures;
}

// Runs statements on one connection; an entry starting with "!" must fail.
void Run(const std::string& connection_string, const std::vector<std::string>& statements) {
  auto c = rh::OpenOdbcConnection(connection_string);
  Expect(c.ok(), "open " + connection_string, c.status());
  if (!c.ok()) return;
  for (const std::string& st : statements) {
    bool must_fail = !st.empty() && st[0] == '!';
    rh::Status s = (*c)->Execute(must_fail ? st.substr(1) : st);
    Expect(s.ok() != must_fail, st.substr(0, 80), s);
  }
  rh::Status s = (*c)->Close();
  Expect(s.ok(), "close", s);
}

std::string Columns(int n, const char* type) {
  std::string list;
  for (int i = 0; i < n; ++i) {
    if (i) list += ",";
    list += "'C";
    list += std::to_string(i);
    list += "' ";
    list += type;
  }
  return list;
}

void WriteExcel(const std::string& dir) {
  Run(ExcelConnectionString(dir + "/basic.xls"),
      {"CREATE TABLE KVTdatatool ('Account' TEXT,'Today''s Date' TEXT,'Balance' DOUBLE,"
       "'Small' SHORT,'Tiny' BYTE,'Fixed' SINGLE,'Current Record' LONG)",
       "INSERT INTO KVTdatatool ('Account','Today''s Date','Balance','Small','Tiny','Fixed',"
       "'Current Record') VALUES ('O''Brien''''','12/07/26',12.500000,-2,255,12.3456,1)",
       "INSERT INTO KVTdatatool ('Account','Today''s Date','Balance','Small','Tiny','Fixed',"
       "'Current Record') VALUES ('caf\xE9 \x80 ','',-0.000001,0,0,-214748.3648,3)"});
  Run(ExcelConnectionString(dir + "/empty.xls"),
      {"CREATE TABLE KVTdatatool ('Name' TEXT,'Total' LONG)"});
  std::string values;
  for (int i = 0; i < 256; ++i) {
    if (i) values += ",";
    values += std::to_string(i);
  }
  Run(ExcelConnectionString(dir + "/cols256.xls"),
      {"CREATE TABLE KVTdatatool (" + Columns(256, "LONG") + ")",
       "INSERT INTO KVTdatatool VALUES (" + values + ")"});
  Run(ExcelConnectionString(dir + "/cols257.xls"),
      {"!CREATE TABLE KVTdatatool (" + Columns(257, "LONG") + ")"});
  std::vector<std::string> rows = {"CREATE TABLE KVTdatatool ('N' LONG,'T' TEXT)"};
  for (int r = 1; r <= 65536; ++r)
    rows.push_back(std::string(r == 65536 ? "!" : "") +
                   "INSERT INTO KVTdatatool ('N','T') VALUES (" + std::to_string(r) + ",'r" +
                   std::to_string(r % 100) + "')");
  Run(ExcelConnectionString(dir + "/rows.xls"), rows);
}

void WriteDbase(const std::string& dir) {
  Run(DbaseConnectionString(dir + "/"),
      {"CREATE TABLE export.dbf ('ACCOUNT' TEXT(10),'BALANCE' DOUBLE,'CURRENT_R' LONG,"
       "'MODULE' TEXT(4),'SMALL' SHORT,'TINY' BYTE,'FIXED' SINGLE,'NOTE' TEXT)",
       "INSERT INTO export.dbf ('ACCOUNT','BALANCE','CURRENT_R','MODULE','SMALL','TINY',"
       "'FIXED','NOTE') VALUES ('O''Brien''''',12.500000,1,'GLED',-2,255,12.3456,'caf\xE9 \x80')",
       "INSERT INTO EXPORT.DBF ('ACCOUNT','BALANCE','CURRENT_R','MODULE','SMALL','TINY',"
       "'FIXED','NOTE') VALUES ('',-0.000001,-2147483648,'AP',0,0,-214748.3648,'')",
       "!INSERT INTO export.dbf ('ACCOUNT','BALANCE','CURRENT_R','MODULE','SMALL','TINY',"
       "'FIXED','NOTE') VALUES ('12345678901',1,1,'X',1,1,1,'')",
       "CREATE TABLE noext ('A' LONG)",
       "INSERT INTO NOEXT ('A') VALUES (7)",
       "CREATE TABLE empty.dbf ('NAME' TEXT(30),'TOTAL' LONG)"});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s xls|dbf <folder>\n", argv[0]);
    return 2;
  }
  std::string dir = argv[2];
  if (!rh::odbc::testing::UseBuildTreeDrivers(dir)) {
    std::fprintf(stderr, "cannot register the drivers\n");
    return 2;
  }
  if (std::string(argv[1]) == "xls") WriteExcel(dir);
  else WriteDbase(dir);
  std::remove((dir + "/odbcinst.ini").c_str());
  return failures ? 1 : 0;
}
