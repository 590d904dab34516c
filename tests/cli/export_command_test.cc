#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/cli_test_util.h"
#include "tests/fixture.h"

namespace rh {
namespace {

class ExportVerbTest : public ::testing::Test {
 protected:
  ExportVerbTest() {
    auto b = inst_.Builder();
    inst_.SetRecords(2, {b.Text("Name", "Ann").Int32("Total", 5).Take(),
                         b.Text("Name", "Bob").Int32("Total", -7).Take()});
  }
  test::CliResult Export(std::vector<std::string> extra) {
    std::vector<std::string> args = {"export",   "--module", "qzgl", "--company", "01",
                                     "--file",   "1",        "--data", inst_.data(),
                                     "--system", inst_.system(), "--programs", inst_.programs()};
    args.insert(args.end(), extra.begin(), extra.end());
    return test::RunCli(args);
  }
  std::string Dest() const { return inst_.dir() / "out.txt"; }
  test::Installation inst_;
};

TEST_F(ExportVerbTest, ExportsFieldsUnderTheirNames) {
  auto r = Export({"--type", "5", "--dest", Dest(), "--field", "Name", "--field", "Name",
                   "--field", "Total=Sum", "--quiet"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "Records Exported:  2\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(test::ReadFile(Dest()), "Ann\tAnn\t5\r\nBob\tBob\t-7\r\n");
  auto titles = Export({"--type", "4", "--dest", Dest(), "--field", "Name", "--field", "Name",
                        "--field", "Total=Sum", "--overwrite"});
  EXPECT_EQ(test::ReadFile(Dest()).substr(0, 15), "Name\tNam1\tSum\r\n");
}

TEST_F(ExportVerbTest, ExistingDestinationNeedsOverwriteOrAppend) {
  test::WriteFile(Dest(), "old\r\n");
  auto refused = Export({"--type", "1", "--dest", Dest(), "--field", "Name"});
  EXPECT_EQ(refused.code, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_NE(refused.err.find("--overwrite or --append"), std::string::npos);
  EXPECT_EQ(test::ReadFile(Dest()), "old\r\n");

  auto appended = Export({"--type", "1", "--dest", Dest(), "--field", "Name", "--append"});
  EXPECT_EQ(appended.code, 0);
  EXPECT_EQ(test::ReadFile(Dest()), "old\r\n\"Ann\"\r\n\"Bob\"\r\n");

  auto replaced = Export({"--type", "1", "--dest", Dest(), "--field", "Name", "--overwrite"});
  EXPECT_EQ(replaced.code, 0);
  EXPECT_EQ(test::ReadFile(Dest()), "\"Ann\"\r\n\"Bob\"\r\n");
}

TEST_F(ExportVerbTest, RefusalsAndFailures) {
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string err_start;
  } cases[] = {
      {{"--type", "1", "--dest", Dest()}, 1, "Error: No Export Fields Specified"},
      {{"--type", "1", "--dest", "", "--field", "Name"}, 1, "Error #5: Invalid File Name"},
      {{"--type", "1", "--dest", Dest(), "--field", "Nope"}, 2, "recordhaul export: the data file has no field 'Nope'"},
      {{"--type", "12", "--dest", Dest(), "--field", "Name"}, 2, "recordhaul export: --type must be"},
      {{"--dest", Dest(), "--field", "Name", "--overwrite", "--append"}, 2, "recordhaul export: --overwrite excludes --append"},
      {{"--field", "Name"}, 2, "recordhaul export: --dest is required"},
      {{"--type", "1", "--dest", inst_.dir() / "no/dir/x.txt", "--field", "Name"}, 1,
       "Error #8: File could not be opened"},
  };
  for (const auto& c : cases) {
    auto r = Export(c.args);
    EXPECT_EQ(r.code, c.code) << c.err_start;
    EXPECT_EQ(r.err.substr(0, c.err_start.size()), c.err_start);
  }
  auto wrong_company = test::RunCli({"export", "--module", "QZGL", "--company", "07", "--file", "1",
                                     "--dest", Dest(), "--field", "Name", "--data", inst_.data(),
                                     "--system", inst_.system(), "--programs", inst_.programs()});
  EXPECT_EQ(wrong_company.code, 1);
  EXPECT_NE(wrong_company.err.find("Company 07 has no register"), std::string::npos);
}

// "Invalid File Name" judges the destination as typed, in characters; a
// relative one goes into the current directory.
TEST_F(ExportVerbTest, ShortDestinationsAsTyped) {
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(inst_.dir().path());
  const struct {
    std::string dest;
    int code;
  } cases[] = {{"a.c", 1}, {"\xc3\xa4.c", 1}, {"ab.c", 0}};
  for (const auto& c : cases) {
    auto r = Export({"--type", "1", "--dest", c.dest, "--field", "Name"});
    EXPECT_EQ(r.code, c.code) << c.dest;
    if (c.code != 0) {
      EXPECT_EQ(r.err, "Error #5: Invalid File Name\n");
    }
    EXPECT_EQ(std::filesystem::exists(inst_.dir() / c.dest), c.code == 0) << c.dest;
  }
  std::filesystem::current_path(cwd);
}

TEST_F(ExportVerbTest, ShortDataFileWarnsButSucceeds) {
  inst_.SetRecords(4, {inst_.Builder().Text("Name", "Ann").Take()});
  auto r = Export({"--type", "5", "--dest", Dest(), "--field", "Name"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "Records Exported:  1\n");
  EXPECT_EQ(r.err, "Warning: The data file ended after 1 of the 4 records its header announces.\n");
}

TEST_F(ExportVerbTest, AllFieldsInListOrder) {
  auto r = Export({"--type", "5", "--dest", Dest(), "--all-fields"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(test::ReadFile(Dest()).starts_with(
      "Ann\t0\t5\t0.0000\t0.000000\t0\t00/00/1900\t\t1\tQZGL\t1\t"));
}

}  // namespace
}  // namespace rh
