#include "export/table_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "connections/access_connection.h"
#include "drivers/mdb/mdb_engine.h"
#include "export/export_types.h"
#include "export/value_format.h"
#include "tests/export/export_test_util.h"
#include "tests/fault_env.h"

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
  Status Execute(std::string_view statement) override {
    log_->statements.emplace_back(statement);
    if (static_cast<int>(log_->statements.size()) == log_->fail_execute)
      return Status::Sql("42000", "refused");
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
    if (log->fail_open) return Status::Sql("IM002", "no driver");
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

// Typed columns: DATE columns given 'YYYY-MM-DD' or NULL, texts without
// their trailing blanks; the statements above are the untyped ones.
TEST(TypedTableWriter, DateColumnsNullsAndTrimmedTexts) {
  Installation inst({{"Account", 'T', 10}, {"Posted", 'J', 4}});
  auto b = inst.Builder();
  inst.SetRecords(2, {b.Text("Account", "1000").Int32("Posted", 44625).Take(),
                      b.Text("Account", "O'Brien").Int32("Posted", 60).Take()});
  const std::string values[] = {"VALUES ('1000','2022-03-05','2007-03-15')",
                                "VALUES ('O''Brien',NULL,'2007-03-15')"};
  struct Case {
    int type;
    const char* dest;
    const char* create;
  } cases[] = {
      {kExcel, "/x/t.xls", "CREATE TABLE KVTdatatool ('ACCOUNT' TEXT,'POSTED' DATE,'TODAY' DATE)"},
      {kDBase, "/x/t.dbf", "CREATE TABLE t.dbf ('ACCOUNT' TEXT(10),'POSTED' DATE,'TODAY' DATE)"},
      {kAccess, "/x/t.mdb", "CREATE TABLE KVTdatatool ('ACCOUNT' TEXT,'POSTED' DATE,'TODAY' DATE)"},
  };
  for (const auto& c : cases) {
    Log log;
    ExportHarness h(inst);
    h.opener = FakeOpener(&log);
    h.options.typed = true;
    auto r = h.Run(c.type, {"Account=ACCOUNT", "Posted=POSTED", "Today's Date=TODAY"}, c.dest);
    ASSERT_EQ(r.outcome.kind, ExportOutcome::Kind::kCompleted) << r.outcome.error.ToString();
    ASSERT_EQ(log.statements.size(), 3u) << c.type;
    EXPECT_EQ(log.statements[0], c.create);
    for (int i = 1; i <= 2; ++i) EXPECT_TRUE(log.statements[i].ends_with(values[i - 1])) << log.statements[i];
  }
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

// Texts longer than the target's text column: an Access memo, a dBase text
// cut to 254 bytes and counted; Excel cells take them whole.
TEST(TableWriterLongTexts, TypeWordsValuesAndWarnings) {
  Installation inst({{"Short", 'T', 255}, {"Notes", 'T', 300}, {"Name", 'T', 10}});
  auto b = inst.Builder();
  const std::string quoted = "'" + std::string(299, 'n');
  inst.SetRecords(2, {b.Text("Short", std::string(255, 's')).Text("Notes", quoted).Take(),
                      b.Text("Notes", quoted).Take()});
  const char* kCut = " longer than the 254 bytes a dBase field holds and ";
  struct Case {
    int type;
    const char* create;
    std::string notes;  // as the second INSERT sends it
    std::string warning;
  } cases[] = {
      {kAccess, "('Short' TEXT,'Notes' MEMO,'Name' TEXT)", EscapeQuotes(quoted), ""},
      {kExcel, "('Short' TEXT,'Notes' TEXT,'Name' TEXT)", EscapeQuotes(quoted), ""},
      // Cut before the quotes are doubled, so that none is split.
      {kDBase, "('Short' TEXT(255),'Notes' TEXT(300),'Name' TEXT(10))",
       EscapeQuotes(quoted.substr(0, 254)),
       std::string("1 value of the field Short was") + kCut + "was cut to 254.\n" +
           "2 values of the field Notes were" + kCut + "were cut to 254."},
  };
  for (const auto& c : cases) {
    ExportHarness h(inst);
    Log log;
    h.opener = FakeOpener(&log);
    auto r = h.Run(c.type, {"Short", "Notes", "Name"}, inst.dir() / "t.dbf");
    ASSERT_EQ(r.outcome.kind, ExportOutcome::Kind::kCompleted) << r.outcome.error.ToString();
    ASSERT_EQ(log.statements.size(), 3u);
    EXPECT_NE(log.statements[0].find(c.create), std::string::npos) << log.statements[0];
    EXPECT_NE(log.statements[2].find("VALUES ('','" + c.notes + "','')"), std::string::npos);
    EXPECT_EQ(r.outcome.warnings.empty() ? "" : JoinWarnings(r.outcome.warnings).ToString(),
              c.warning.empty() ? "" : "Warning: " + c.warning);
  }
}

// A D value the target cannot hold stops the run before its INSERT, naming
// the record and the field; every other value goes through as "%.6f".
TEST(TableWriterSpecialValues, StopTheRunNamingRecordAndField) {
  struct Case {
    int type;
    double value;
    const char* message;  // after the target's text; nullptr: stored
  } cases[] = {
      {kExcel, std::nan(""), "Record 3, field BAL: NaN cannot be stored in a table."},
      {kDBase, std::nan(""), "Record 3, field BAL: NaN cannot be stored in a table."},
      {kAccess, -std::nan(""), "Record 3, field BAL: NaN cannot be stored in a table."},
      {kExcel, HUGE_VAL, "Record 3, field BAL: infinity cannot be stored in a table."},
      {kDBase, -HUGE_VAL, "Record 3, field BAL: -infinity cannot be stored in a table."},
      {kAccess, HUGE_VAL, "Record 3, field BAL: infinity cannot be stored in a table."},
      {kDBase, 1e19,
       "Record 3, field BAL: 1e+19 does not fit the 19 characters of a dBase number."},
      {kDBase, -1.5e18,
       "Record 3, field BAL: -1.5e+18 does not fit the 19 characters of a dBase number."},
      {kDBase, 1e15, nullptr},
      {kDBase, 9.5e18, nullptr},
      {kAccess, 1e300, nullptr},
      {kExcel, -1e300, nullptr},
  };
  static constexpr const char* kTexts[] = {"Error Insetrting to Excel Table.",
                                           "Error Inserting to DBase Table.",
                                           "Error Inserting to Access Table."};
  Installation inst({{"Name", 'T', 10}, {"Balance", 'D', 8}});
  for (const auto& c : cases) {
    auto b = inst.Builder();
    inst.SetRecords(3, {b.Real("Balance", 1.5).Take(), b.Deleted(),
                        b.Real("Balance", c.value).Take()});
    ExportHarness h(inst);
    Log log;
    h.opener = FakeOpener(&log);
    auto r = h.Run(c.type, {"Name", "Balance=BAL"}, inst.dir() / "t.dbf");
    if (c.message == nullptr) {
      EXPECT_EQ(r.outcome.kind, ExportOutcome::Kind::kCompleted) << c.value;
      ASSERT_EQ(log.statements.size(), 3u);
      std::string formatted;
      AppendReal(&formatted, c.value);
      EXPECT_NE(log.statements[2].find("'," + formatted + ")"), std::string::npos);
      continue;
    }
    EXPECT_EQ(r.outcome.kind, ExportOutcome::Kind::kFailed) << c.message;
    EXPECT_EQ(r.outcome.error.caption(), "Error #10");
    EXPECT_EQ(r.outcome.error.message(), kTexts[c.type - kExcel]);
    EXPECT_EQ(r.outcome.error.detail(), c.message);
    EXPECT_TRUE(r.outcome.error.fatal());
    EXPECT_EQ(log.statements.size(), 2u) << "no INSERT for the record";
  }
}

TEST_F(TableExportTest, RealAccessDatabase) {
  const std::string path = inst_.dir() / "real.mdb";
  auto r = h_.Run(kAccess, {"Account", "Balance", "Count", "Rate", "Flag", "Total", "Posted"},
                  path);
  ASSERT_EQ(r.outcome.kind, ExportOutcome::Kind::kCompleted) << r.outcome.error.ToString();
  EXPECT_EQ(r.outcome.exported, 2);
  EXPECT_EQ(r.written.substr(4, 15), "Standard Jet DB");
}

// Texts of the lengths around the eight-byte words, each with a NUL or a
// quote at one place, or neither: the INSERT holds the text up to its NUL,
// each quote doubled, between quotes.
TEST(TableWriterTexts, NulsAndQuotesAtEveryPlace) {
  for (int16_t n : {8, 9, 15, 16, 17, 30}) {
    SCOPED_TRACE("a text field of " + std::to_string(n));
    // Another field: a record has 12 bytes at least.
    Installation inst({{"Name", 'T', n}, {"Total", 'L', 4}, {"Count", 'L', 4}});
    std::string plain;
    for (int k = 0; k < n; ++k) plain += static_cast<char>('a' + k % 26);
    std::vector<std::string> texts = {plain};
    for (int at = 0; at < n; ++at) {
      for (char c : {'\0', '\''}) {
        texts.push_back(plain);
        texts.back()[static_cast<size_t>(at)] = c;
      }
    }
    std::vector<std::string> records;
    for (const std::string& t : texts) records.push_back(inst.Builder().Text("Name", t).Take());
    inst.SetRecords(static_cast<int32_t>(records.size()), records);
    ExportHarness h(inst);
    Log log;
    h.opener = FakeOpener(&log);
    auto r = h.Run(kAccess, {"Name"}, inst.dir() / "t.mdb");
    ASSERT_EQ(r.outcome.kind, ExportOutcome::Kind::kCompleted) << r.outcome.error.ToString();
    ASSERT_EQ(log.statements.size(), texts.size() + 1);
    for (size_t i = 0; i < texts.size(); ++i) {
      const std::string up_to_nul = texts[i].substr(0, texts[i].find('\0'));
      const std::string want = "VALUES ('" + EscapeQuotes(up_to_nul) + "')";
      const std::string& got = log.statements[i + 1];
      EXPECT_EQ(got.substr(got.size() - std::min(got.size(), want.size())), want) << i;
    }
  }
}

// 400 records of random values in the fields Name, Balance, Count, Posted
// and Rate, one in about 17 deleted; a name has up to `longest` bytes, two
// in three of them from `chars`, the rest blanks.
std::vector<std::string> RandomRecords(Installation& inst, uint32_t seed, int longest,
                                       std::string_view chars) {
  std::mt19937 rng(seed);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); };
  std::vector<std::string> records;
  for (int i = 1; i <= 400; ++i) {
    auto b = inst.Builder();
    if (pick(17) == 0) {
      records.push_back(b.Deleted());
      continue;
    }
    std::string name(static_cast<size_t>(pick(longest)), ' ');
    for (char& c : name)
      if (pick(3) != 0) c = chars[static_cast<size_t>(pick(static_cast<int>(chars.size())))];
    records.push_back(b.Text("Name", name).Real("Balance", pick(1000000) / 64.0)
                          .Int16("Count", static_cast<int16_t>(rng()))
                          .Int32("Posted", pick(80000) - 2000)
                          .Fixed("Rate", static_cast<int32_t>(rng())).Take());
  }
  return records;
}

// What a table export did: its statements, how it ended and what it said.
struct TableRun {
  std::vector<std::string> statements;
  ExportOutcome::Kind kind;
  std::string said;  // the error or the warnings
  int closes;
};

// INSERT statements built on several threads are executed in record order:
// the statements, the failure and the warnings of the export that builds
// every INSERT in turn, with values that cannot be stored, dBase texts cut
// to fit, an INSERT refused part way and a data file that cannot be read.
TEST(TableWriterThreads, SameStatementsFailuresAndWarningsAtAnyThreadCount) {
  Installation inst({{"Name", 'T', 300}, {"Balance", 'D', 8}, {"Count", 'I', 2},
                     {"Posted", 'J', 4}, {"Rate", 'F', 4}});
  const std::vector<std::string> rows = {"Current Record", "Name", "Balance", "Count",
                                         "Posted", "Rate", "Today's Date"};
  const double nan = std::nan("");
  const struct Case {
    const char* name;
    int type;
    bool typed;
    int fail_execute;  // the nth statement, CREATE TABLE first; 0: none
    double bad;        // the Balance of record 250
    int fail_read;     // the nth read of the data file fails; 0: none (threaded only:
                       // in turn the file is read in larger pieces)
  } cases[] = {
      {"dBase", kDBase, false, 0, 1.5, 0},
      {"dBase, typed", kDBase, true, 0, 1.5, 0},
      {"Access", kAccess, false, 0, 1.5, 0},
      {"Excel, typed", kExcel, true, 0, 1.5, 0},
      {"dBase, NaN at record 250", kDBase, false, 0, nan, 0},
      {"Access, infinity at record 250", kAccess, false, 0, HUGE_VAL, 0},
      {"dBase, too wide at record 250", kDBase, false, 0, 1e19, 0},
      {"dBase, INSERT 120 refused", kDBase, false, 120, 1.5, 0},
      {"Access, the first INSERT refused", kAccess, false, 2, 1.5, 0},
      {"Excel, INSERT 5 refused before a read fails", kExcel, false, 5, 1.5, 3},
      {"dBase, a read fails", kDBase, false, 0, 1.5, 3},
  };
  // Some names longer than a dBase field, with blanks or more after byte 254.
  const std::vector<std::string> records = RandomRecords(inst, 5, 300, "ab'Z ");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> data = records;
    data[249] = inst.Builder().Text("Name", "bad").Real("Balance", c.bad).Take();
    inst.SetRecords(400, data);
    auto run = [&](int threads, size_t block, int fail_read) {
      ExportHarness h(inst);
      Log log;
      log.fail_execute = c.fail_execute;
      h.opener = FakeOpener(&log);
      h.options.typed = c.typed;
      h.options.threads = threads;
      h.options.records_per_block = block;
      test::FaultEnv env;
      if (fail_read != 0) env.FailAt(test::Op::kRead, fail_read, "QZGL0101");
      auto r = h.Run(c.type, rows, inst.dir() / "t.dbf", &env);
      return TableRun{log.statements, r.outcome.kind,
                      r.outcome.kind == ExportOutcome::Kind::kFailed
                          ? r.outcome.error.ToString()
                          : (r.outcome.warnings.empty() ? ""
                                                        : JoinWarnings(r.outcome.warnings).ToString()),
                      log.closes};
    };
    const TableRun in_turn = run(1, 0, 0);
    for (int threads : {2, 3}) {
      for (size_t block : {size_t{1}, size_t{7}, size_t{0}}) {
        // Header, records 1-7, then the failed read: INSERT 5 comes before it.
        if (c.fail_read != 0 && block != 7) continue;
        SCOPED_TRACE(std::to_string(threads) + " threads, blocks of " + std::to_string(block));
        const TableRun threaded = run(threads, block, c.fail_read);
        if (c.fail_read != 0 && c.fail_execute == 0) {
          EXPECT_EQ(threaded.said, "Error: The data file " + inst.DataPath() +
                                       " could not be read. Nothing was exported.");
          continue;
        }
        EXPECT_EQ(threaded.kind, in_turn.kind);
        EXPECT_EQ(threaded.said, in_turn.said);
        EXPECT_EQ(threaded.closes, in_turn.closes);
        EXPECT_TRUE(threaded.statements == in_turn.statements)
            << threaded.statements.size() << " statements, in turn " << in_turn.statements.size();
      }
    }
  }
}

// The Access engine works rows out on the formatting threads and only adds
// them in turn: the file is the one the export makes in turn, byte for byte
// (the engine's clock fixed), and a value it cannot store ends the run at
// the same record.
TEST(TableWriterThreads, AccessRowsWorkedOutOnTheThreadsMakeTheSameFile) {
  Installation inst({{"Name", 'T', 60}, {"Balance", 'D', 8}, {"Count", 'I', 2},
                     {"Posted", 'J', 4}, {"Rate", 'F', 4}});
  const std::vector<std::string> rows = {"Current Record", "Name", "Balance", "Count",
                                         "Posted", "Rate"};
  const std::vector<std::string> records = RandomRecords(inst, 7, 60, "ab'Z \xE9");
  const ConnectionOpener fixed_clock = [](const TableOpenRequest& r)
      -> Result<std::unique_ptr<TableConnection>> {
    mdb::EngineOptions options;
    options.creation_date = 46000.5;
    auto db = mdb::Workspace(options).CreateDatabase(r.path, r.locale, 0);
    if (!db.ok()) return db.status();
    return MakeAccessConnection(std::move(db).value());
  };
  for (double bad : {1.5, HUGE_VAL}) {
    SCOPED_TRACE(bad);
    std::vector<std::string> data = records;
    data[249] = inst.Builder().Text("Name", "bad").Real("Balance", bad).Take();
    inst.SetRecords(400, data);
    auto run = [&](int threads, size_t block) {
      ExportHarness h(inst);
      h.opener = fixed_clock;
      h.options.threads = threads;
      h.options.records_per_block = block;
      auto r = h.Run(kAccess, rows, inst.dir() / "t.mdb");
      return std::make_pair(r.outcome.error.ToString() + std::to_string(r.outcome.exported),
                            r.written);
    };
    const auto in_turn = run(1, 0);
    ASSERT_GT(in_turn.second.size(), 20u);  // with the rows before a failed one
    EXPECT_EQ(in_turn.second.substr(4, 15), "Standard Jet DB");
    for (int threads : {2, 3}) {
      for (size_t block : {size_t{1}, size_t{7}, size_t{0}}) {
        SCOPED_TRACE(std::to_string(threads) + " threads, blocks of " + std::to_string(block));
        const auto threaded = run(threads, block);
        EXPECT_EQ(threaded.first, in_turn.first);
        EXPECT_TRUE(threaded.second == in_turn.second) << threaded.second.size() << " bytes";
      }
    }
  }
}

}  // namespace
}  // namespace rh
