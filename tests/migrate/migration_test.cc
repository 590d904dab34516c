#include "migrate/migration.h"

#include <gtest/gtest.h>

#include <functional>

#include "data/catalog.h"
#include "tests/fault_env.h"
#include "tests/fixture.h"
#include "tests/migrate/fake_target.h"

namespace rh {
namespace {

using test::FakeTarget;

class Recorder : public MigrationObserver {
 public:
  void Progress(const MigrationProgress& p) override {
    seen.push_back(p);
    if (stop_after > 0 && static_cast<int>(seen.size()) >= stop_after) stop = true;
  }
  bool StopRequested() override { return stop; }
  std::vector<MigrationProgress> seen;
  int stop_after = 0;
  bool stop = false;
};

std::vector<std::string> AllModules() {
  std::vector<std::string> codes;
  for (const ModuleInfo& m : Modules()) codes.emplace_back(m.code);
  return codes;
}

bool HasWarning(const MigrationSummary& s, MessageId id) {
  for (const Status& w : s.warnings)
    if (w.Is(id)) return true;
  return false;
}

class SampleMigration : public ::testing::Test {
 protected:
  SampleMigration() {
    sample::SampleOptions options;
    options.records = 12;
    EXPECT_TRUE(sample::WriteSampleInstallation(Env::Default(), dir_.path(), options).ok());
    scope_.data_dir = dir_ / "data";
    scope_.system_dir = dir_ / "sys";
    scope_.modules = AllModules();
  }
  MigrationOutcome Run(Env* env = Env::Default()) {
    return Migrate(env, scope_, target_, observer_, [] { return std::time_t{1700000000}; });
  }

  test::TempDir dir_;
  MigrationScope scope_;
  FakeTarget target_;
  Recorder observer_;
};

TEST_F(SampleMigration, OnlyTheChosenModulesAndCompanies) {
  scope_.modules = {"QZAP"};
  scope_.companies = {"02", "07"};
  MigrationOutcome out = Run();
  ASSERT_TRUE(out.error.ok());
  EXPECT_EQ(target_.tables.size(), 7u);
  EXPECT_EQ(target_.tables["qzap_vendor_master"].size(), 12u);
  EXPECT_EQ(target_.tables["qzap_vendor_master"][0], "02/1");
  ASSERT_EQ(target_.companies.size(), 1u);
  EXPECT_EQ(target_.companies["QZAP"].size(), 1u);
  EXPECT_TRUE(HasWarning(out.summary, MessageId::kCompanyHasNoRegister));  // no company 07
}

TEST_F(SampleMigration, FailuresNameTheDataFileTheRecordAndTheReason) {
  const std::string path = dir_ / "data/CO02/QZGL0201.dat";
  const struct {
    const char* name;
    std::function<void(test::FaultEnv&, FakeTarget&, Recorder&)> setup;
    MessageId error;
    const char* detail;
  } cases[] = {
      {"a read fails",
       [](test::FaultEnv& env, FakeTarget&, Recorder&) {
         env.FailAt(test::Op::kRead, 2, "QZGL0201.dat");
       },
       MessageId::kMigrateTableFail, "Record 1: Error: The data file "},
      {"the database refuses a row",
       [](test::FaultEnv&, FakeTarget& t, Recorder&) { t.fail_row = 17; },
       MessageId::kMigrateTableFail, "Record 5: 23000: refused"},
      {"the database keeps tables and refuses a row",
       [](test::FaultEnv&, FakeTarget& t, Recorder&) { t.fail_row = 17, t.keeps = true; },
       MessageId::kMigrateTableFailKept, "Record 5: 23000: refused"},
      {"the user stops the run",
       [](test::FaultEnv&, FakeTarget&, Recorder& r) { r.stop_after = 3; },
       MessageId::kMigrateInterrupted, ""},
      {"the database cannot be opened",
       [](test::FaultEnv&, FakeTarget& t, Recorder&) { t.open_error = Status::Sql("08001", "no"); },
       MessageId::kMigrateDatabaseOpenFail, "08001: no"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::FaultEnv env;
    target_ = FakeTarget();
    observer_ = Recorder();
    c.setup(env, target_, observer_);
    MigrationOutcome out = Run(&env);
    EXPECT_TRUE(out.error.Is(c.error)) << out.error.ToString();
    EXPECT_NE(out.error.detail().find(c.detail), std::string::npos) << out.error.detail();
    if (c.error == MessageId::kMigrateTableFail) {
      EXPECT_NE(out.error.message().find(path), std::string::npos) << out.error.message();
    }
    EXPECT_TRUE(target_.abandoned);
    EXPECT_FALSE(target_.finished);
    EXPECT_FALSE(target_.tables.contains("qzgl_chart_of_accounts_master"));
  }
}

TEST_F(SampleMigration, ADatabaseFileThatIsAnAccountingFileIsRefusedBeforeItIsOpened) {
  target_.file = dir_ / "sys/QZFMDATA.DAT";
  MigrationOutcome out = Run();
  EXPECT_TRUE(out.error.Is(MessageId::kMigrateDatabaseOpenFail));
  EXPECT_EQ(out.error.detail(), MessageText(MessageId::kDetailAccountingFile));
  EXPECT_FALSE(target_.opened);
}

TEST(Migration, WhatIsLeftOutIsSaidInTheSummary) {
  using Setup = std::function<void(test::Installation&)>;
  const struct {
    const char* name;
    Setup setup;
    const char* rows;  // of qzgl_chart_of_accounts_master; nullptr: no table
    MessageId warning;
    size_t missing;  // data files not found
  } cases[] = {
      {"deleted records",
       [](test::Installation& i) {
         auto rb = i.Builder();
         i.SetRecords(3, {rb.Text("Name", "one").Take(), rb.Deleted(),
                          rb.Text("Name", "three").Take()});
       },
       "01/1 01/3", MessageId::kNone, 1},
      {"a register that disagrees with the dictionary",
       [](test::Installation& i) {
         i.SetRecords(1, {i.Builder().Take()});
         i.SetRegister(i.RecordLength() + 2);
       },
       nullptr, MessageId::kMigrateLayoutSkipped, 0},
      {"a data file that ends early",
       [](test::Installation& i) { i.SetRecords(5, {i.Builder().Take()}); }, "01/1",
       MessageId::kMigrateEndedEarly, 1},
      {"no data file", [](test::Installation&) {}, nullptr, MessageId::kNone, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::Installation inst;
    c.setup(inst);
    MigrationScope scope{inst.data(), inst.system(), {"QZGL"}, {}};
    FakeTarget target;
    Recorder observer;
    MigrationOutcome out = Migrate(Env::Default(), scope, target, observer);
    ASSERT_TRUE(out.error.ok()) << out.error.ToString();
    auto table = target.tables.find("qzgl_chart_of_accounts_master");
    ASSERT_EQ(table != target.tables.end(), c.rows != nullptr);
    if (c.rows != nullptr) {
      std::string rows;
      for (const std::string& r : table->second) rows += (rows.empty() ? "" : " ") + r;
      EXPECT_EQ(rows, c.rows);
    }
    if (c.warning != MessageId::kNone) {
      EXPECT_TRUE(HasWarning(out.summary, c.warning));
    }
    // File 2 has a register entry and no data file; the dictionary
    // describes no other file of the module.
    ASSERT_EQ(out.summary.missing.size(), c.missing);
    if (c.missing > 0) {
      EXPECT_EQ(out.summary.missing.back().data_file, "QZGL0102.dat");
      EXPECT_EQ(out.summary.missing.back().company, "01");
    }
    EXPECT_TRUE(HasWarning(out.summary, MessageId::kMigrateFileSkipped));
  }
}

TEST(Migration, ADictionaryThatCannotBeReadStopsTheRun) {
  test::Installation inst;
  std::filesystem::remove(inst.system() + "/QZFMDATA.DAT");
  MigrationScope scope{inst.data(), inst.system(), {"QZGL"}, {}};
  FakeTarget target;
  Recorder observer;
  EXPECT_TRUE(Migrate(Env::Default(), scope, target, observer)
                  .error.Is(MessageId::kDictionaryOpenFail));
  EXPECT_FALSE(target.opened);
}

}  // namespace
}  // namespace rh
