#include "app/migrate_installation.h"

#include <gtest/gtest.h>

#include "tests/fake_platform.h"
#include "tests/fixture.h"

namespace rh {
namespace {

class Quiet : public MigrationObserver {
 public:
  void Progress(const MigrationProgress&) override {}
};

TEST(MigrateInstallation, RequestsThatCannotRunAreRefused) {
  test::Installation inst;
  const Directories dirs{inst.data(), inst.system(), inst.programs()};
  const struct {
    Directories dirs;
    std::string destination;
    std::vector<std::string> modules;
    MessageId refusal;
  } cases[] = {
      {{inst.data(), "", inst.programs()}, "a.db", {"QZGL"}, MessageId::kSetDefaults},
      {dirs, "a.db", {}, MessageId::kMigrateNoModules},
      {dirs, "a.db", {"NONE"}, MessageId::kMigrateNoModules},
      {dirs, "", {"QZGL"}, MessageId::kMigrateNoDestination},
      {dirs, "a.mdb", {"QZGL"}, MessageId::kMigrateUnknownDestination},
  };
  for (const auto& c : cases) {
    Quiet quiet;
    MigrateRequest request{c.dirs, c.destination, inst.dir().path(), c.modules, {}};
    EXPECT_TRUE(MigrateInstallation(Env::Default(), request, quiet).error.Is(c.refusal))
        << c.destination;
  }
}

TEST(MigrateInstallation, ARelativeFileGoesWhereTheRequestSaysAndCodesIgnoreLetterCase) {
  test::Installation inst;
  inst.SetRecords(1, {inst.Builder().Take()});
  Quiet quiet;
  MigrateRequest request{{inst.data(), inst.system(), inst.programs()},
                         "out.SQLITE",
                         inst.dir().path(),
                         {"qzgl", "QZGL"},
                         {"01"}};
  MigrationOutcome out = MigrateInstallation(Env::Default(), request, quiet);
  ASSERT_TRUE(out.error.ok()) << out.error.ToString();
  EXPECT_EQ(out.database, inst.dir() / "out.SQLITE");
  EXPECT_TRUE(std::filesystem::exists(out.database));
  EXPECT_EQ(out.summary.tables.size(), 1u);
}

TEST(PlatformMigrationObserver, OnePercentageOverTheFilesAndTheirRecords) {
  test::FakePlatform ui;
  {
    PlatformMigrationObserver observer(ui);
    const struct {
      int file, files;
      int32_t record, records;
    } steps[] = {{1, 4, 0, 0}, {1, 4, 50, 100}, {2, 4, 0, 0}, {4, 4, 100, 100}};
    for (const auto& s : steps)
      observer.Progress({"t", "01", s.file, s.files, s.record, s.records});
    EXPECT_TRUE(ui.progress_open);
  }
  EXPECT_EQ(ui.percents, (std::vector<int>{0, 0, 12, 25, 100}));
  EXPECT_FALSE(ui.progress_open);
}

}  // namespace
}  // namespace rh
