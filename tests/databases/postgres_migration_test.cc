// The migration into a real PostgreSQL 15 server through psqlODBC, read
// back with psql.
#include <gtest/gtest.h>

#include <memory>

#include "data/catalog.h"
#include "databases/odbc_target.h"
#include "migrate/migration.h"
#include "tests/databases/postgres_cluster.h"
#include "tests/fault_env.h"
#include "tests/fixture.h"
#include "tests/readers.h"

namespace rh {
namespace {

class Quiet : public MigrationObserver {
 public:
  void Progress(const MigrationProgress&) override {}
};

class PostgresMigration : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string missing = test::PostgresCluster::Missing(); !missing.empty())
      return test::ReaderMissing(missing);
    ASSERT_TRUE(cluster_.Start()) << cluster_.error();
  }

  // A sample installation with `records` records per data file.
  std::string Sample(const std::string& name, int records) {
    sample::SampleOptions options;
    options.records = records;
    EXPECT_TRUE(sample::WriteSampleInstallation(Env::Default(), dir_ / name, options).ok());
    return dir_ / name;
  }

  MigrationOutcome Run(const std::string& installation, std::vector<std::string> modules,
                       std::vector<std::string> companies = {}, Env* env = Env::Default()) {
    MigrationScope scope{installation + "/data", installation + "/sys", modules, companies};
    auto target = MakeOdbcTarget(cluster_.ConnectionString());
    Quiet quiet;
    return Migrate(env, scope, *target, quiet);
  }
  std::string Psql(const std::string& sql) { return cluster_.Psql(sql); }

  test::TempDir dir_;
  test::PostgresCluster cluster_;
};

TEST_F(PostgresMigration, TypedTablesWithTheirCountsAndExactValues) {
  const std::string acct = Sample("acct", 12);
  MigrationOutcome out = Run(acct, {"QZGL", "QZAR"});
  ASSERT_TRUE(out.error.ok()) << out.error.ToString();
  EXPECT_EQ(Psql("SELECT count(*) FROM information_schema.tables WHERE table_schema = 'public'"),
            "26");
  EXPECT_EQ(Psql("SELECT count(*), count(DISTINCT company) FROM qzar_customer_master"), "36|3");
  EXPECT_EQ(Psql("SELECT sum(records_loaded) FROM sources"), "864");
  EXPECT_EQ(Psql("SELECT string_agg(data_type || coalesce('(' || character_maximum_length || ')', "
                 "''), ',' ORDER BY ordinal_position) FROM information_schema.columns "
                 "WHERE table_name = 'qzgl_chart_of_accounts_master'"),
            "character varying(2),integer,character varying(10),character varying(30),"
            "smallint,smallint,double precision,numeric,date,integer");
  EXPECT_EQ(Psql("SELECT numeric_precision || ',' || numeric_scale FROM information_schema.columns "
                 "WHERE column_name = 'budget_amount'"),
            "10,4");
  EXPECT_EQ(Psql("SELECT name FROM companies WHERE module = 'QZAR' AND company = '02'"),
            "Soci\xc3\xa9t\xc3\xa9 Lumi\xc3\xa8re Lt\xc3\xa9" "e");

  // Every type, a day without a date, a text cut at its NUL, a deleted record.
  test::Installation inst;
  auto rb = inst.Builder();
  inst.SetRecords(3, {rb.Text("Name", "Caf\xe9  ").Int16("Count", -5).Int32("Total", 70000)
                          .Fixed("Rate", 123456).Real("Balance", -2.5).Byte("Flag", 255)
                          .Int32("Posted", 39156).Take(),
                      rb.Deleted(),
                      rb.Raw(0, std::string("AB\0CD", 5)).Fixed("Rate", INT32_MIN)
                          .Int32("Posted", 0).Take()});
  MigrationScope scope{inst.data(), inst.system(), {"QZGL"}, {}};
  auto target = MakeOdbcTarget(cluster_.ConnectionString());
  Quiet quiet;
  ASSERT_TRUE(Migrate(Env::Default(), scope, *target, quiet).error.ok());
  EXPECT_EQ(Psql("SELECT *, posted IS NULL, odd IS NULL FROM qzgl_chart_of_accounts_master "
                 "ORDER BY record_number"),
            "01|1|Caf\xc3\xa9|-5|70000|12.3456|-2.5|255|2007-03-15||f|t\n"
            "01|3|AB|0|0|-214748.3648|0|0|||t|t");
}

TEST_F(PostgresMigration, ASecondRunReplacesTheTablesItLoadsAndLeavesOthersAlone) {
  const std::string acct = Sample("acct", 12);
  ASSERT_TRUE(Run(acct, {"QZGL", "QZAP"}).error.ok());
  Psql("CREATE TABLE my_notes (t text); INSERT INTO my_notes VALUES ('x')");
  MigrationOutcome out = Run(acct, {"QZGL"}, {"01"});
  ASSERT_TRUE(out.error.ok()) << out.error.ToString();
  EXPECT_EQ(Psql("SELECT count(*), min(company), max(company) FROM qzgl_postings_file"),
            "12|01|01");
  EXPECT_EQ(Psql("SELECT count(*) FROM qzap_vendor_master"), "36");
  EXPECT_EQ(Psql("SELECT t FROM my_notes"), "x");
  EXPECT_EQ(Psql("SELECT module, count(*) FROM sources GROUP BY module ORDER BY module"),
            "QZAP|21\nQZGL|8");
  EXPECT_EQ(Psql("SELECT module, count(*) FROM companies GROUP BY module ORDER BY module"),
            "QZAP|3\nQZGL|1");
}

TEST_F(PostgresMigration, AFailurePartWayKeepsTheTableItWasLoading) {
  ASSERT_TRUE(Run(Sample("old", 12), {"QZAP"}).error.ok());
  const std::string newer = Sample("new", 20);
  test::FaultEnv env;
  // Company 02's data file of the third table, qzap_check_master: its
  // records (the first read is the header).
  env.FailAt(test::Op::kRead, 2, "QZAP0204.dat");
  MigrationOutcome out = Run(newer, {"QZAP"}, {}, &env);
  EXPECT_TRUE(out.error.Is(MessageId::kMigrateTableFailKept)) << out.error.ToString();
  EXPECT_NE(out.error.message().find("qzap_check_master"), std::string::npos);
  EXPECT_NE(out.error.message().find("QZAP0204.dat"), std::string::npos);
  EXPECT_NE(out.error.detail().find("Record 1: "), std::string::npos) << out.error.detail();
  // The tables before it are the new ones, it and those after it the old.
  EXPECT_EQ(Psql("SELECT count(*) FROM qzap_vendor_master"), "60");
  EXPECT_EQ(Psql("SELECT count(*) FROM qzap_invoice_master"), "60");
  EXPECT_EQ(Psql("SELECT count(*) FROM qzap_check_master"), "36");
  EXPECT_EQ(Psql("SELECT count(*) FROM qzap_check_detail"), "36");
  EXPECT_EQ(Psql("SELECT DISTINCT records_loaded FROM sources "
                 "WHERE table_name = 'qzap_check_master'"),
            "12");
  EXPECT_EQ(Psql("SELECT count(*) FROM information_schema.tables WHERE table_name LIKE '%rh_new'"),
            "0");
}

}  // namespace
}  // namespace rh
