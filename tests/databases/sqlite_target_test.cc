#include "databases/sqlite_target.h"

#include <gtest/gtest.h>

#include "data/catalog.h"
#include "databases/migration_targets.h"
#include "databases/odbc_target.h"
#include "migrate/migration.h"
#include "tests/databases/sqlite_read.h"
#include "tests/fault_env.h"
#include "tests/fixture.h"

namespace rh {
namespace {

using test::Query;
using test::Value;

class Quiet : public MigrationObserver {
 public:
  void Progress(const MigrationProgress&) override {}
};

class SqliteMigration : public ::testing::Test {
 protected:
  SqliteMigration() {
    sample::SampleOptions options;
    options.records = 12;
    EXPECT_TRUE(sample::WriteSampleInstallation(Env::Default(), dir_ / "acct", options).ok());
  }

  MigrationOutcome Run(std::vector<std::string> modules = {},
                       std::vector<std::string> companies = {}, Env* env = Env::Default()) {
    if (modules.empty())
      for (const ModuleInfo& m : Modules()) modules.emplace_back(m.code);
    MigrationScope scope{dir_ / "acct/data", dir_ / "acct/sys", modules, companies};
    auto target = MakeSqliteTarget(env, db_);
    Quiet quiet;
    return Migrate(env, scope, *target, quiet);
  }

  test::TempDir dir_;
  const std::string db_ = dir_ / "acct.sqlite";
};

TEST_F(SqliteMigration, OneTypedTablePerDataFile) {
  MigrationOutcome out = Run();
  ASSERT_TRUE(out.error.ok()) << out.error.ToString();
  EXPECT_EQ(Value(db_, "SELECT count(*) FROM sqlite_master WHERE type = 'table'"), "44");
  EXPECT_EQ(Value(db_, "SELECT count(*) FROM qzar_customer_master"), "36");
  EXPECT_EQ(Value(db_, "SELECT count(*) FROM qzpr_pay_totals WHERE company = '0A'"), "12");
  EXPECT_EQ(Value(db_, "SELECT group_concat(type, ',') FROM "
                       "pragma_table_info('qzgl_chart_of_accounts_master')"),
            "TEXT,INTEGER,TEXT,TEXT,SMALLINT,SMALLINT,DOUBLE PRECISION,NUMERIC(10,4),DATE,"
            "INTEGER");
  EXPECT_EQ(Value(db_, "SELECT typeof(company), typeof(record_number), typeof(customer_name), "
                       "typeof(credit_limit), typeof(balance), typeof(last_sale), "
                       "typeof(sales_rep) FROM qzar_customer_master LIMIT 1"),
            "text|integer|text|real|real|text|integer");
  EXPECT_EQ(Value(db_, "SELECT count(*) FROM qzar_customer_master "
                       "WHERE last_sale GLOB '[12][09][0-9][0-9]-[01][0-9]-[0-3][0-9]'"),
            "36");
  EXPECT_EQ(Value(db_, "SELECT name FROM companies WHERE module = 'QZAR' AND company = '02'"),
            "Soci\xc3\xa9t\xc3\xa9 Lumi\xc3\xa8re Lt\xc3\xa9" "e");
  EXPECT_EQ(Value(db_, "SELECT count(*) FROM sources WHERE records_loaded = 12 AND loaded_at "
                       "GLOB '20[0-9][0-9]-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]'"),
            "126");
}

TEST(SqliteValues, EveryTypeReadsBackExactly) {
  test::Installation inst;
  auto rb = inst.Builder();
  inst.SetRecords(3, {rb.Text("Name", "Caf\xe9  ").Int16("Count", -5).Int32("Total", 70000)
                          .Fixed("Rate", 123456).Real("Balance", -2.5).Byte("Flag", 255)
                          .Int32("Posted", 39156).Take(),
                      rb.Deleted(),
                      rb.Raw(0, std::string("AB\0CD", 5)).Fixed("Rate", -1).Int32("Posted", 60)
                          .Take()});
  const std::string db = inst.dir() / "v.db";
  auto target = MakeSqliteTarget(Env::Default(), db);
  Quiet quiet;
  MigrationScope scope{inst.data(), inst.system(), {"QZGL"}, {}};
  ASSERT_TRUE(Migrate(Env::Default(), scope, *target, quiet).error.ok());
  EXPECT_EQ(Query(db, "SELECT *, typeof(posted), typeof(odd) FROM qzgl_chart_of_accounts_master"),
            (std::vector<std::string>{
                "01|1|Caf\xc3\xa9|-5|70000|12.3456|-2.5|255|2007-03-15||text|null",
                "01|3|AB|0|0|-0.0001|0.0|0|||null|null"}));
}

TEST_F(SqliteMigration, ASecondRunReplacesTheTablesItLoadsAndLeavesOthersAlone) {
  ASSERT_TRUE(Run().error.ok());
  {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(db_.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE my_notes (t TEXT); INSERT INTO my_notes VALUES ('x')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
  }
  MigrationOutcome out = Run({"QZGL"}, {"01"});
  ASSERT_TRUE(out.error.ok()) << out.error.ToString();
  EXPECT_EQ(Value(db_, "SELECT count(*), min(company), max(company) FROM qzgl_postings_file"),
            "12|01|01");
  EXPECT_EQ(Value(db_, "SELECT count(*) FROM qzar_customer_master"), "36");
  EXPECT_EQ(Value(db_, "SELECT t FROM my_notes"), "x");
  EXPECT_EQ(Value(db_, "SELECT count(*) FROM sources WHERE module = 'QZGL'"), "8");
  EXPECT_EQ(Value(db_, "SELECT count(*) FROM sources WHERE module = 'QZAR'"), "48");
  EXPECT_EQ(Value(db_, "SELECT count(*) FROM companies WHERE module = 'QZGL'"), "1");
  EXPECT_EQ(Value(db_, "SELECT count(*) FROM companies WHERE module = 'QZAR'"), "3");
}

TEST_F(SqliteMigration, AFailurePartWayLeavesTheDatabaseAsItWas) {
  const struct {
    const char* name;
    bool existing;
  } cases[] = {{"an existing database", true}, {"a new database", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove(db_);
    if (c.existing) {
      ASSERT_TRUE(Run({"QZAP"}).error.ok());
    }
    const std::string before = test::ReadFile(db_);
    test::FaultEnv env;
    // The second company's data file of the third table of the run.
    // (The first read is its header, the second its records.)
    env.FailAt(test::Op::kRead, 2, "QZAP0204.dat");
    MigrationOutcome out = Run({"QZAP", "QZAR"}, {}, &env);
    EXPECT_TRUE(out.error.Is(MessageId::kMigrateTableFail)) << out.error.ToString();
    EXPECT_NE(out.error.message().find("qzap_check_master"), std::string::npos);
    EXPECT_NE(out.error.detail().find("Record 1: "), std::string::npos) << out.error.detail();
    EXPECT_EQ(std::filesystem::exists(db_), c.existing);
    EXPECT_TRUE(test::ReadFile(db_) == before);
    EXPECT_FALSE(std::filesystem::exists(db_ + "-journal"));
  }
}

TEST_F(SqliteMigration, AFileThatIsNoDatabaseIsLeftAlone) {
  test::WriteFile(db_, "just some text, not a database\n");
  MigrationOutcome out = Run({"QZGL"});
  EXPECT_TRUE(out.error.Is(MessageId::kMigrateDatabaseOpenFail));
  EXPECT_EQ(out.error.detail(), "file is not a database");
  EXPECT_EQ(test::ReadFile(db_), "just some text, not a database\n");
}

TEST(MigrationTargets, TheDestinationNamesTheDatabase) {
  const struct {
    const char* destination;
    const char* described;  // nullptr: refused
    MessageId refusal;
  } cases[] = {
      {"/tmp/a.sqlite", "/tmp/a.sqlite", MessageId::kNone},
      {"b.SQLite3", "b.SQLite3", MessageId::kNone},
      {"dir.db/c.DB", "dir.db/c.DB", MessageId::kNone},
      {"odbc:DSN=acct;UID=me;PWD=secret", "odbc:DSN=acct;UID=me;PWD=***", MessageId::kNone},
      {"ODBC:Driver={X};Password = p;Server=s", "odbc:Driver={X};Password =***;Server=s",
       MessageId::kNone},
      {"", nullptr, MessageId::kMigrateNoDestination},
      {"out.csv", nullptr, MessageId::kMigrateUnknownDestination},
      {"dir/.db", nullptr, MessageId::kMigrateUnknownDestination},
      {"odbc:", nullptr, MessageId::kMigrateUnknownDestination},
      {"dir.db/", nullptr, MessageId::kMigrateUnknownDestination},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.destination);
    auto target = MakeMigrationTarget(Env::Default(), c.destination);
    if (c.described == nullptr) {
      EXPECT_TRUE(target.status().Is(c.refusal)) << target.status().ToString();
      continue;
    }
    ASSERT_TRUE(target.ok());
    EXPECT_EQ((*target)->Describe(), c.described);
  }
}

}  // namespace
}  // namespace rh
