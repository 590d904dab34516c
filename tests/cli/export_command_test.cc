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
      {{"--dest", Dest(), "--field", "Name", "--threads", "0"}, 2, "recordhaul export: --threads takes"},
      {{"--dest", Dest(), "--field", "Name", "--threads", "2x"}, 2, "recordhaul export: --threads takes"},
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

// The thread count changes how the records are formatted, never the bytes.
TEST_F(ExportVerbTest, SameBytesAtAnyThreadCount) {
  std::string first;
  for (const char* threads : {"1", "2", "7"}) {
    auto r = Export({"--type", "3", "--dest", Dest(), "--all-fields", "--overwrite", "--threads",
                     threads});
    ASSERT_EQ(r.code, 0) << r.err;
    if (first.empty()) first = test::ReadFile(Dest());
    EXPECT_EQ(test::ReadFile(Dest()), first) << threads;
  }
}

TEST_F(ExportVerbTest, AllFieldsInListOrder) {
  auto r = Export({"--type", "5", "--dest", Dest(), "--all-fields"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(test::ReadFile(Dest()).starts_with(
      "Ann\t0\t5\t0.0000\t0.000000\t0\t00/00/1900\t\t1\tQZGL\t1\t"));
}

// Every refusal and failure: the message box's caption and text, then what
// failed and why.
TEST_F(ExportVerbTest, FailuresSayWhatAndWhyOnTheSecondLine) {
  test::WriteFile(inst_.dir() / "old.dbf", "x");
  const std::string empty = inst_.dir() / "empty";
  std::filesystem::create_directory(empty);
  const struct Case {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"--type", "1", "--dest", inst_.dir() / "no/x.txt", "--field", "Name"},
       "Error #8: File could not be opened\n" + (inst_.dir() / "no/x.txt") +
           ": No such file or directory\n"},
      {{"--type", "1", "--dest", "-", "--field", "Name", "--system", empty},
       "Error #2: Error - File could not be opened.\n" + empty +
           "/QZFMDATA.DAT: No such file or directory\n"},
      {{"--type", "1", "--dest", Dest()},
       "Error: No Export Fields Specified\nGive the fields with --field NAME (repeatable) or "
       "--all-fields; 'recordhaul list fields' names them.\n"},
      {{"--dest", inst_.dir() / "old.dbf", "--field", "Name", "--append"},
       "Error: The destination already exists, and an Excel, dBase or Access file cannot be "
       "appended to; nothing was written. Give --overwrite to replace it.\n"},
      {{"--type", "8", "--dest", "-", "--field", "Name"},
       "Error: Only the text types 0 to 7 can be written to standard output; type 8 (Excel "
       "worksheet (*.xls)) makes a file. Give --dest a file name.\n"},
  };
  for (const Case& c : cases) {
    auto r = Export(c.args);
    EXPECT_EQ(r.code, 1) << c.err;
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(test::ReadFile(inst_.dir() / "old.dbf"), "x");

  std::filesystem::remove(inst_.DataPath());
  auto missing = Export({"--type", "1", "--dest", Dest(), "--field", "Name"});
  EXPECT_TRUE(missing.err.starts_with("Error #6: Company Data File Open Fail\n")) << missing.err;
  EXPECT_TRUE(missing.err.ends_with("QZGL0101.dat: No such file or directory\n")) << missing.err;
}

TEST_F(ExportVerbTest, StandardOutputTakesTheDataAndStandardErrorTheCount) {
  auto r = Export({"--type", "5", "--dest", "-", "--field", "Name", "--field", "total"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "Ann\t5\r\nBob\t-7\r\n");
  EXPECT_EQ(r.err, "Records Exported:  2\n");
  auto quiet = Export({"--type", "5", "--dest", "-", "--field", "Name", "--quiet"});
  EXPECT_EQ(quiet.out, "Ann\r\nBob\r\n");
  EXPECT_EQ(quiet.err, "");
}

// Without --type the extension names the type; a --type of another
// extension is obeyed with a warning.
TEST_F(ExportVerbTest, TypeFollowsTheExtension) {
  const struct Case {
    std::string dest;
    std::vector<std::string> type;
    std::string starts;  // the file's first bytes
    std::string warning;
  } cases[] = {
      {"a.csv", {}, "\"Name\"\r\n\"Ann\"", ""},
      {"a.txt", {}, "\"Name\"\r\n\"Ann\"", ""},
      {"a.out", {}, "\"Name\"\r\n\"Ann\"", ""},
      {"b.dbf", {}, "\x03", ""},
      {"c.csv", {"--type", "5"}, "Ann\r\nBob\r\n",
       "Warning: --type 5 writes Text - Tab delimited w/out titles (*.txt), but the destination "
       "ends in .csv; exporting as type 5.\n"},
      {"d.txt", {"--type", "1"}, "\"Ann\"\r\n", ""},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"--dest", inst_.dir() / c.dest, "--field", "Name", "--quiet"};
    args.insert(args.end(), c.type.begin(), c.type.end());
    auto r = Export(args);
    EXPECT_EQ(r.code, 0) << c.dest << r.err;
    EXPECT_EQ(r.err, c.warning) << c.dest;
    EXPECT_TRUE(test::ReadFile(inst_.dir() / c.dest).starts_with(c.starts)) << c.dest;
  }
}

TEST_F(ExportVerbTest, AllFieldsNamesTheFieldsItLeavesOut) {
  auto r = Export({"--type", "5", "--dest", Dest(), "--all-fields", "--quiet"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err,
            "Warning: Some of the data file's fields cannot be exported:\n  Odd: the type letter X "
            "is none of D, F, I, J, L, T, Y, so the field has no value to export.\n");
  auto named = Export({"--type", "5", "--dest", Dest(), "--field", "Name", "--overwrite"});
  EXPECT_EQ(named.err, "");
}

}  // namespace
}  // namespace rh
