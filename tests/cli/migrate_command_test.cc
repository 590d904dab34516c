#include <gtest/gtest.h>

#include "tests/cli/cli_test_util.h"
#include "tests/fixture.h"

namespace rh {
namespace {

class MigrateVerbTest : public ::testing::Test {
 protected:
  MigrateVerbTest() {
    auto b = inst_.Builder();
    inst_.SetRecords(2, {b.Text("Name", "Ann").Take(), b.Text("Name", "Bob").Take()});
  }
  test::CliResult Migrate(std::vector<std::string> extra) {
    std::vector<std::string> args = {"migrate", "--data", inst_.data(), "--system",
                                     inst_.system(), "--programs", inst_.programs()};
    args.insert(args.end(), extra.begin(), extra.end());
    return test::RunCli(args);
  }
  test::Installation inst_;
};

TEST_F(MigrateVerbTest, PrintsTheSummaryAndTheWarnings) {
  const std::string db = inst_.dir() / "acct.sqlite";
  auto r = Migrate({"--to", db, "--module", "qzgl", "--quiet"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "Migration Complete.\n\nTables loaded: 1\nRecords loaded: 2\nDatabase: " + db +
                       "\nqzgl_chart_of_accounts_master: 2 records (companies 01)\n"
                       "Not loaded: qzgl_chart_of_accounts_totals, company 01 has no data file "
                       "QZGL0102.dat\n");
  // The fixture's dictionary describes two files of the module.
  EXPECT_NE(r.err.find("Warning: qzgl_postings_file was not loaded: The data dictionary does not "
                       "describe file 5 of module QZGL."),
            std::string::npos)
      << r.err;
}

TEST_F(MigrateVerbTest, UsageErrorsAndFailures) {
  const struct {
    std::vector<std::string> args;
    int code;
    const char* said;
  } cases[] = {
      {{}, 2, "--to is required"},
      {{"--to", "x.db", "extra"}, 2, "unexpected argument 'extra'"},
      {{"--to", "x.db", "--module", "QZZZ"}, 2, "unknown module 'QZZZ'"},
      {{"--to", "x.db", "--company", "123"}, 2, "a company number has two characters: '123'"},
      {{"--to", "x.csv"}, 2, "x.csv is not a database recordhaul can write"},
      {{"--to", "/no/such/folder/x.db"}, 1,
       "Error: The database /no/such/folder/x.db could not be opened.\nunable to open "
       "database file"},
  };
  for (const auto& c : cases) {
    auto r = Migrate(c.args);
    EXPECT_EQ(r.code, c.code) << r.err;
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

}  // namespace
}  // namespace rh
