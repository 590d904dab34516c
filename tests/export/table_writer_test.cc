#include "export/table_writer.h"

#include <gtest/gtest.h>

#include "selection/export_type.h"
#include "tests/export/export_test_util.h"

namespace rh {
namespace {

using test::ExportHarness;
using test::Installation;

// Records the statements; fails the nth Execute when asked.
struct Log {
  std::vector<TableOpenRequest> opens;
  std::vector<std::string> statements;
  int closes = 0;
  int fail_execute = 0;  // 1-based; 0: never
  bool fail_open = false;
};

class FakeConnection : public TableConnection {
 public:
  explicit FakeConnection(Log* log) : log_(log) {}
  Status Execute(const std::string& statement) override {
    log_->statements.push_back(statement);
    if (static_cast<int>(log_->statements.size()) == log_->fail_execute)
      return Status::Error("42000", "refused");
    return Status();
  }
  Status Close() override {
    ++log_->closes;
    return Status();
  }

 private:
  Log* log_;
};

ConnectionOpener FakeOpener(Log* log) {
  return [log](const TableOpenRequest& r) -> Result<std::unique_ptr<TableConnection>> {
    log->opens.push_back(r);
    if (log->fail_open) return Status::Error("IM002", "no driver");
    return std::unique_ptr<TableConnection>(new FakeConnection(log));
  };
}

TEST(TableWriterHelpers, EscapeQuotesAndDBaseNames) {
  EXPECT_EQ(EscapeQuotes("O'Brien"), "O''Brien");
  EXPECT_EQ(EscapeQuotes("ab''"), "ab''''");
  EXPECT_EQ(EscapeQuotes("'"), "''");
  EXPECT_EQ(EscapeQuotes("plain"), "plain");
  struct Case {
    const char* path;
    const char* folder;
    const char* table;
  } cases[] = {
      {"c:/data/export.dbf", "c:/data/", "export.dbf"},
      {"/export.dbf", "", "/export.dbf"},
      {"export.dbf", "", "export.dbf"},
      {"d:x.dbf", "d:", "x.dbf"},
      {"/home/u/Documents/a b.dbf", "/home/u/Documents/", "a b.dbf"},
      {"/dir/", "/dir/", ""},
  };
  for (const auto& c : cases) {
    DBaseTable t = SplitDBasePath(c.path);
    EXPECT_EQ(t.folder, c.folder) << c.path;
    EXPECT_EQ(t.table, c.table) << c.path;
  }
}

class TableExportTest : public ::testing::Test {
 protected:
  TableExportTest()
      : inst_({{"Account", 'T', 10}, {"Balance", 'D', 8}, {"Odd", 'X', 2}, {"Count", 'I', 2},
               {"Rate", 'F', 4}, {"Flag", 'Y', 1}, {"Total", 'L', 4}, {"Posted", 'J', 4}}) {
    auto b = inst_.Builder();
    inst_.SetRecords(3, {b.Text("Account", "1000").Real("Balance", 12.5).Take(), b.Deleted(),
                         b.Text("Account", "O'Brien''").Int16("Count", -2).Fixed("Rate", 123456)
                             .Byte("Flag", 255).Int32("Total", -7).Take()});
  }

  Installation inst_;
  ExportHarness h_{inst_};
  Log log_;
};

TEST_F(TableExportTest, ExcelStatementsAsDocumented) {
  h_.opener = FakeOpener(&log_);
  auto r = h_.Run(kExcel, {"Account", "Balance", "Current Record"}, "/out/book.xls");
  EXPECT_EQ(r.outcome.kind, ExportOutcome::Kind::kCompleted) << r.outcome.error.ToString();
  EXPECT_EQ(r.outcome.exported, 2);
  ASSERT_EQ(log_.opens.size(), 1u);
  EXPECT_EQ(log_.opens[0].connection_string,
            "DRIVER={MICROSOFT EXCEL DRIVER (*.XLS)};DSN='';FIRSTROWHASNAMES=1;READONLY=FALSE;"
            "CREATE_DB=\"/out/book.xls\";DBQ=/out/book.xls");
  ASSERT_EQ(log_.statements.size(), 3u);
  EXPECT_EQ(log_.statements[0],
            "CREATE TABLE KVTdatatool ('Account' TEXT,'Balance' DOUBLE,'Current Record' LONG)");
  EXPECT_EQ(log_.statements[1],
            "INSERT INTO KVTdatatool ('Account','Balance','Current Record') "
            "VALUES ('1000      ',12.500000,1)");
  EXPECT_EQ(log_.statements[2],
            "INSERT INTO KVTdatatool ('Account','Balance','Current Record') "
            "VALUES ('O''Brien'''' ',0.000000,3)");
  EXPECT_EQ(log_.closes, 1);
  EXPECT_EQ(h_.ui.wait_depth, 0);
}

TEST_F(TableExportTest, DBaseTypeWordsAndTableName) {
  h_.opener = FakeOpener(&log_);
  h_.Run(kDBase,
         {"Account=ACCOUNT", "Balance=BALANCE", "Current Record=CURRENT_R", "Odd=ODD",
          "Count=COUNT", "Rate=RATE", "Flag=FLAG", "Total=TOTAL", "Posted=POSTED",
          "Module Code=MODULE_CO", "File Number=FILE_NUMB", "Today's Date=TODAY_S_D",
          "Company Number=COMPANY_N"},
         "/data/export.dbf");
  ASSERT_EQ(log_.opens.size(), 1u);
  EXPECT_EQ(log_.opens[0].connection_string, "DRIVER=Microsoft dBase Driver (*.dbf);DBQ=/data/;");
  ASSERT_FALSE(log_.statements.empty());
  EXPECT_EQ(log_.statements[0],
            "CREATE TABLE export.dbf ('ACCOUNT' TEXT(10),'BALANCE' DOUBLE,'CURRENT_R' LONG,"
            "'COUNT' SHORT,'RATE' SINGLE,'FLAG' BYTE,'TOTAL' LONG,'POSTED' TEXT(10),"
            "'MODULE_CO' TEXT(4),'FILE_NUMB' TEXT(3),'TODAY_S_D' TEXT(8),'COMPANY_N' TEXT(2))");
  EXPECT_EQ(log_.statements[2],
            "INSERT INTO export.dbf ('ACCOUNT','BALANCE','CURRENT_R','COUNT','RATE','FLAG',"
            "'TOTAL','POSTED','MODULE_CO','FILE_NUMB','TODAY_S_D','COMPANY_N') VALUES "
            "('O''Brien'''' ',0.000000,3,-2,12.3456,255,-7,'00/00/1900','QZGL','1',"
            "'03/15/07','01')");
}

TEST_F(TableExportTest, AccessUsesTheEngineLocaleAndQuotedNames) {
  h_.opener = FakeOpener(&log_);
  h_.Run(kAccess, {"Today's Date", "Account"}, "/db/x.mdb");
  ASSERT_EQ(log_.opens.size(), 1u);
  EXPECT_EQ(log_.opens[0].path, "/db/x.mdb");
  EXPECT_EQ(log_.opens[0].locale, ";LANGID=0x0409;CP=1252;COUNTRY=0");
  EXPECT_EQ(log_.statements[0], "CREATE TABLE KVTdatatool ('Today''s Date' TEXT,'Account' TEXT)");
  EXPECT_EQ(log_.statements[1],
            "INSERT INTO KVTdatatool ('Today''s Date','Account') VALUES ('03/15/07','1000      ')");
}

TEST_F(TableExportTest, EmptyTablesAndFailures) {
  struct Case {
    int type;
    bool fail_open;
    int fail_execute;
    const char* caption;
    const char* message;
  } cases[] = {
      {kExcel, true, 0, "Error #11", "Error Creating Excel Table."},
      {kDBase, false, 1, "Error #11", "Error Creating dBase Table."},
      {kAccess, false, 1, "Error #11", "Error Creating Access Table."},
      {kExcel, false, 2, "Error #10", "Error Insetrting to Excel Table."},
      {kDBase, false, 3, "Error #10", "Error Inserting to DBase Table."},
      {kAccess, false, 2, "Error #10", "Error Inserting to Access Table."},
  };
  for (const auto& c : cases) {
    Log log;
    log.fail_open = c.fail_open;
    log.fail_execute = c.fail_execute;
    h_.opener = FakeOpener(&log);
    auto r = h_.Run(c.type, {"Account"}, "/x/t.dbf");
    EXPECT_EQ(r.outcome.kind, ExportOutcome::Kind::kFailed);
    EXPECT_EQ(r.outcome.error.caption(), c.caption);
    EXPECT_EQ(r.outcome.error.message(), c.message);
    EXPECT_TRUE(r.outcome.error.fatal());
    EXPECT_EQ(log.closes, c.fail_open ? 0 : 1);  // the rows before a failed INSERT are kept
    EXPECT_EQ(h_.ui.wait_depth, 0);
    EXPECT_FALSE(h_.ui.progress_open);
  }
  // Header count 0: the table is created and stays empty.
  inst_.SetRecords(0, {});
  Log log;
  h_.opener = FakeOpener(&log);
  auto r = h_.Run(kAccess, {"Account", "Odd"}, "/x/t.mdb");
  EXPECT_EQ(r.outcome.exported, 0);
  EXPECT_EQ(log.statements, std::vector<std::string>{"CREATE TABLE KVTdatatool ('Account' TEXT)"});
}

TEST_F(TableExportTest, ExistingDestinationQuestionAndOpenFailText) {
  test::WriteFile(inst_.dir() / "t.mdb", "old");
  h_.opener = FakeOpener(&log_);
  h_.ui.answers = {Answer::kNo};
  auto r = h_.Run(kAccess, {"Account"}, inst_.dir() / "t.mdb");
  EXPECT_EQ(r.outcome.kind, ExportOutcome::Kind::kStopped);
  ASSERT_EQ(h_.ui.messages.size(), 1u);
  EXPECT_EQ(h_.ui.messages[0].text, "Destination file already exists.\nOk to Overwrite?.");
  EXPECT_EQ(h_.ui.messages[0].style, MessageStyle::kYesNoQuestion);
  EXPECT_TRUE(log_.opens.empty());
  EXPECT_EQ(test::ReadFile(inst_.dir() / "t.mdb"), "old");

  std::filesystem::remove(inst_.DataPath());
  h_.ui.answers = {Answer::kYes};
  auto missing = h_.Run(kAccess, {"Account"}, inst_.dir() / "t.mdb");
  EXPECT_EQ(missing.outcome.error.caption(), "Error #6");
  EXPECT_EQ(missing.outcome.error.message(), "Company Data File open Fail");
  EXPECT_EQ(test::ReadFile(inst_.dir() / "t.mdb"), "old");  // not deleted beforehand
}

TEST_F(TableExportTest, RealAccessDatabase) {
  const std::string path = inst_.dir() / "real.mdb";
  auto r = h_.Run(kAccess, {"Account", "Balance", "Count", "Rate", "Flag", "Total", "Posted"},
                  path);
  ASSERT_EQ(r.outcome.kind, ExportOutcome::Kind::kCompleted) << r.outcome.error.ToString();
  EXPECT_EQ(r.outcome.exported, 2);
  EXPECT_EQ(r.written.substr(4, 15), "Standard Jet DB");
}

}  // namespace
}  // namespace rh
