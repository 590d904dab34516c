#include <gtest/gtest.h>

#include <algorithm>

#include "sample/sample_data.h"
#include "selection/export_template.h"
#include "tests/cli/cli_test_util.h"
#include "tests/test_util.h"

namespace rh {
namespace {

class TemplateVerbsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempDir;
    auto r = test::RunCli({"sample", dir_->path(), "--records", "30"});
    ASSERT_EQ(r.code, 0) << r.err;
  }
  static void TearDownTestSuite() { delete dir_; }
  static std::vector<std::string> Dirs() {
    return {"--data", *dir_ / "data", "--system", *dir_ / "sys", "--programs", *dir_ / "progs"};
  }
  static std::vector<std::string> With(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  }
  static test::TempDir* dir_;
};
test::TempDir* TemplateVerbsTest::dir_ = nullptr;

TEST_F(TemplateVerbsTest, EverySampleTemplateRuns) {
  for (const auto& e : std::filesystem::directory_iterator(*dir_ / "templates")) {
    const std::string name = e.path().stem().string();
    auto r = test::RunCli(With({"run", e.path().string(), "--overwrite"}, Dirs()));
    EXPECT_EQ(r.code, 0) << name << ": " << r.err;
    EXPECT_EQ(r.out, "Records Exported:  30\n") << name;
  }
  EXPECT_EQ(test::CountEntries(*dir_ / "exports"), 11u);
}

TEST_F(TemplateVerbsTest, RunWithAnotherDestination) {
  const std::string dest = *dir_ / "elsewhere.csv";
  auto r = test::RunCli(With({"run", *dir_ / "templates/03-ar-contract-prices.xdf", "--dest", dest}, Dirs()));
  EXPECT_EQ(r.code, 0) << r.err;
  const std::string written = test::ReadFile(dest);  // type 3: no title line
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 30);
  EXPECT_NE(written.find(",\"QZAR\",\"29\","), std::string::npos);
  // Existing now: refused without --overwrite/--append, file untouched.
  const std::string before = test::ReadFile(dest);
  auto again = test::RunCli(With({"run", *dir_ / "templates/03-ar-contract-prices.xdf", "--dest", dest}, Dirs()));
  EXPECT_EQ(again.code, 1);
  EXPECT_EQ(test::ReadFile(dest), before);
}

// --typed makes a table's dates date columns, for export and run alike.
TEST_F(TemplateVerbsTest, TypedColumnsOnRequest) {
  const std::string xdf = *dir_ / "sales.xdf", dest = *dir_ / "sales.dbf";
  const std::vector<std::string> choices = {"--module", "QZAR", "--company", "01", "--file", "1",
                                            "--type", "9", "--dest", dest,
                                            "--field", "Last Sale=LAST_SALE"};
  auto created = test::RunCli(With(With({"template", "create", xdf}, choices), Dirs()));
  ASSERT_EQ(created.code, 0) << created.err;
  struct Case {
    std::vector<std::string> args;
    char field_type;  // of the first dBase field
  } cases[] = {
      {{"run", xdf, "--overwrite"}, 'C'},
      {{"run", xdf, "--overwrite", "--typed"}, 'D'},
      {With({"export", "--overwrite"}, choices), 'C'},
      {With({"export", "--overwrite", "--typed"}, choices), 'D'},
  };
  for (const auto& c : cases) {
    auto r = test::RunCli(With(c.args, Dirs()));
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string dbf = test::ReadFile(dest);
    ASSERT_GT(dbf.size(), 43u);
    EXPECT_EQ(dbf[32 + 11], c.field_type) << c.args[0] << " " << c.args.back();
  }
}

TEST_F(TemplateVerbsTest, CreateThenShowThenRun) {
  const std::string path = *dir_ / "mine.xdf";
  const std::string dest = *dir_ / "mine.txt";
  auto created = test::RunCli(With({"template", "create", path, "--module", "QZGL", "--company",
                                    "02", "--file", "1", "--type", "5", "--dest", dest, "--field",
                                    "Description=Desc", "--field", "Current Record"},
                                   Dirs()));
  ASSERT_EQ(created.code, 0) << created.err;
  EXPECT_EQ(test::ReadFile(path).size(), 16348u);
  auto shown = test::RunCli(With({"template", "show", path}, Dirs()));
  EXPECT_EQ(shown.code, 0);
  EXPECT_EQ(shown.out,
            "Module:       QZGL  General Ledger\n"
            "Data file:    1  Chart of Accounts Master\n"
            "Company:      02\n"
            "Export type:  5  Text - Tab delimited w/out titles (*.txt)\n"
            "Destination:  " + dest + "\n"
            "Fields:       2\n"
            "  Description\tDesc\n"
            "  Current Record\tCurrent Record\n");
  auto ran = test::RunCli(With({"run", path}, Dirs()));
  EXPECT_EQ(ran.code, 0) << ran.err;
  EXPECT_TRUE(test::ReadFile(dest).find("\t1\r\n") != std::string::npos);
  // An existing template is replaced only with --overwrite.
  auto refused = test::RunCli(With({"template", "create", path, "--module", "QZGL", "--company",
                                    "01", "--file", "1"}, Dirs()));
  EXPECT_EQ(refused.code, 1);
}

TEST_F(TemplateVerbsTest, ShowFlagsFieldsTheDictionaryNoLongerLists) {
  TemplateRecord r;
  r.file_number = 1;
  r.company = "01";
  r.positions = {0, 999};
  r.names = {"A", "B"};
  ASSERT_TRUE(WriteTemplateFile(Env::Default(), *dir_ / "odd.xdf", r, false).ok());
  auto shown = test::RunCli(With({"template", "show", *dir_ / "odd.xdf"}, Dirs()));
  EXPECT_NE(shown.out.find("  Account Number\tA\n"), std::string::npos);
  EXPECT_NE(shown.out.find("  #999 (no longer in the field list)\tB\n"), std::string::npos);
  auto bare = test::RunCli({"template", "show", *dir_ / "odd.xdf"});
  EXPECT_NE(bare.out.find("  #0\tA\n"), std::string::npos);
  auto missing = test::RunCli({"template", "show", *dir_ / "nope.xdf"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err, "recordhaul: " + (*dir_ / "nope.xdf") + " was not found.\n");
}

TEST(DirsVerb, ShowSaveAndRunWithSavedDirectories) {
  MemorySettings settings;
  auto none = test::RunCli({"run", "x.xdf"}, &settings);
  EXPECT_EQ(none.code, 2);
  EXPECT_NE(none.err.find("recordhaul dirs --data DIR"), std::string::npos);

  auto saved = test::RunCli({"dirs", "--data", "/d", "--system", "/s", "--programs", "/p"}, &settings);
  EXPECT_EQ(saved.code, 0);
  EXPECT_EQ(saved.out, "Data files:     /d\nSystem files:   /s\nProgram files:  /p\n");
  EXPECT_EQ(settings.Read("dirs", "AUSER"), "/d");
  auto kept = test::RunCli({"dirs", "--data", "/other", "--if-unset"}, &settings);
  EXPECT_EQ(settings.Read("dirs", "AUSER"), "/d");
  auto partial = test::RunCli({"dirs", "--programs", "/p2"}, &settings);
  EXPECT_EQ(partial.out, "Data files:     /d\nSystem files:   /s\nProgram files:  /p2\n");
  auto run = test::RunCli({"run", "/nonexistent.xdf"}, &settings);
  EXPECT_EQ(run.code, 1);  // directories found; the template is not
}

}  // namespace
}  // namespace rh
