#include "data/companies.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "sample/sample_data.h"
#include "tests/test_util.h"

namespace rh {
namespace {

using sample::BuildPathTable;
using sample::BuildRegister;

class CompaniesTest : public ::testing::Test {
 protected:
  DataFileLocation Where(std::string company, int file) {
    return {dir_ / "data", dir_ / "sys", "QZAR", std::move(company), file};
  }
  test::TempDir dir_;
};

TEST_F(CompaniesTest, RegistersMatchInAnyCaseAndNumbersAreUpperCased) {
  test::WriteFile(dir_ / "data/QZGL01FR.dat", BuildRegister("First", {}));
  test::WriteFile(dir_ / "data/qzgl0aFR.dat", BuildRegister("Second", {}));
  test::WriteFile(dir_ / "data/QZGL7Bfr.DAT", BuildRegister("Third", {}));
  test::WriteFile(dir_ / "data/QZGL123FR.dat", BuildRegister("Not a register", {}));
  test::WriteFile(dir_ / "data/QZAP01FR.dat", BuildRegister("Other module", {}));
  test::WriteFile(dir_ / "data/QZGL02FR.dat", std::string(170, 'x'));  // shorter than 180
  test::WriteFile(dir_ / "data/QZGL03FR.dat", "");
  auto companies = EnumerateCompanies(Env::Default(), dir_ / "data", "QZGL");
  std::vector<std::string> entries;
  for (const auto& c : companies) entries.push_back(CompanyListEntry(c));
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::string>{"01 - First", "02 - xxxxxxxxxxxxxxxxxxxx",
                                               "03 - ", "0A - Second", "7B - Third"}));
  EXPECT_TRUE(EnumerateCompanies(Env::Default(), dir_ / "data", "QZPR").empty());
  EXPECT_TRUE(EnumerateCompanies(Env::Default(), dir_ / "missing", "QZGL").empty());
}

TEST_F(CompaniesTest, RecordLayoutCheck) {
  test::WriteFile(dir_ / "data/QZAR01FR.dat",
                  BuildRegister("Co", {{1, 120, 0}, {29, 57, 0}, {7, -3, 0}}));
  struct Case {
    std::string company;
    int file;
    int32_t length;
    bool ok;
  } cases[] = {
      {"01", 29, 57, true},  {"01", 29, 58, false}, {"01", 29, 56, false},
      {"01", 1, 120, true},  {"01", 7, -3, true},   {"01", 6, 0, false},  // no entry
      {"02", 1, 120, false},                                              // no register
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CheckRecordLayout(Env::Default(), Where(c.company, c.file), c.length), c.ok)
        << c.company << "/" << c.file << "/" << c.length;
  }
}

TEST_F(CompaniesTest, LocatesThroughThePathTableThenTheDataFolder) {
  const std::string elsewhere = dir_ / "acct/DATA/";
  std::string backslashed = elsewhere;
  std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
  test::WriteFile(dir_ / "sys/QZPATHTB.dat", BuildPathTable({"", backslashed}));
  test::WriteFile(dir_ / "data/QZAR01FR.dat",
                  BuildRegister("Co", {{29, 20, 1}, {5, 20, 7}, {6, 20, 1}}));
  test::WriteFile(elsewhere + "qzar0129.DAT", "in the path-table folder");
  test::WriteFile(dir_ / "data/QZAR0129.dat", "in the data folder");
  test::WriteFile(dir_ / "data/QZAR0105.dat", "file five");
  test::WriteFile(dir_ / "data/QZAR0106.dat", "file six, fallback");

  struct Case {
    int file;
    std::string expected;  // the opened file's content; empty: Error #6
  } cases[] = {
      {29, "in the path-table folder"},
      {5, "file five"},  // path index past the table's end: data folder, 2 digits
      {6, "file six, fallback"},
      {8, ""},  // no register entry
  };
  for (const auto& c : cases) {
    auto located = LocateDataFile(Env::Default(), Where("01", c.file), MessageId::kDataFileOpenFailText);
    if (c.expected.empty()) {
      ASSERT_FALSE(located.ok());
      EXPECT_EQ(located.status().caption(), "Error #6");
      EXPECT_EQ(located.status().message(), "Company Data File Open Fail");
      continue;
    }
    ASSERT_TRUE(located.ok()) << c.file;
    EXPECT_EQ(test::ReadFile(located->path), c.expected);
  }
  // No register at all.
  EXPECT_FALSE(LocateDataFile(Env::Default(), Where("02", 29), MessageId::kDataFileOpenFailText).ok());
}

TEST_F(CompaniesTest, EmptyPrefixNeverReadsTheWorkingDirectory) {
  test::WriteFile(dir_ / "sys/QZPATHTB.dat", BuildPathTable({""}));
  test::WriteFile(dir_ / "data/QZAR01FR.dat", BuildRegister("Co", {{1, 20, 0}}));
  test::WriteFile(dir_ / "data/QZAR0101.dat", "right");
  const auto cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  test::WriteFile(dir_ / "QZAR0101.dat", "wrong: working directory");
  auto located = LocateDataFile(Env::Default(), Where("01", 1), MessageId::kDataFileOpenFailText);
  std::filesystem::current_path(cwd);
  ASSERT_TRUE(located.ok());
  EXPECT_EQ(test::ReadFile(located->path), "right");
}

TEST(DataFileName, TwoDigitFileNumbers) {
  EXPECT_EQ(DataFileName({"", "", "QZAR", "01", 29}), "QZAR0129.dat");
  EXPECT_EQ(DataFileName({"", "", "QZGL", "0A", 5}), "QZGL0A05.dat");
}

}  // namespace
}  // namespace rh
