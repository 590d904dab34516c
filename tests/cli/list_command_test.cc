#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "sample/sample_data.h"
#include "tests/cli/cli_test_util.h"
#include "tests/test_util.h"

namespace rh {
namespace {

class ListCommandTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempDir;
    ASSERT_TRUE(sample::WriteSampleInstallation(Env::Default(), dir_->path(), {20}).ok());
  }
  static void TearDownTestSuite() { delete dir_; }

  static std::vector<std::string> Dirs() {
    return {"--data", *dir_ / "data", "--system", *dir_ / "sys", "--programs", *dir_ / "progs"};
  }
  static std::vector<std::string> With(std::vector<std::string> a, std::vector<std::string> b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  }
  static test::TempDir* dir_;
};
test::TempDir* ListCommandTest::dir_ = nullptr;

TEST_F(ListCommandTest, ListsInCatalogOrder) {
  auto modules = test::RunCli({"list", "modules"});
  EXPECT_EQ(modules.code, 0);
  EXPECT_TRUE(modules.out.starts_with("QZGL\tGeneral Ledger\nQZAP\tAccounts Payable\n"));
  auto files = test::RunCli({"list", "files", "qzar"});
  EXPECT_EQ(files.code, 0);
  EXPECT_NE(files.out.find("15\tShip-to Master\n"), std::string::npos);
  EXPECT_TRUE(files.out.ends_with("\n21\tCommission Audit\n29\tContract Prices\n"));
  auto types = test::RunCli({"list", "types"});
  EXPECT_NE(types.out.find("0\tComma Delimited  with titles (*.txt)\n"), std::string::npos);
  EXPECT_NE(types.out.find("10\tAccess (*.mdb)\n"), std::string::npos);
}

TEST_F(ListCommandTest, CompaniesAndFieldsOfTheSample) {
  auto companies = test::RunCli(With({"list", "companies", "QZGL"}, Dirs()));
  EXPECT_EQ(companies.code, 0) << companies.err;
  EXPECT_EQ(companies.out,
            "01\tQuillmont Hardware Inc.\n02\tSoci\xc3\xa9t\xc3\xa9 Lumi\xc3\xa8re Lt\xc3\xa9" "e\n"
            "0A\tTest Company (do not use)\n");
  auto fields = test::RunCli(With({"list", "fields", "QZGL", "1"}, Dirs()));
  EXPECT_EQ(fields.code, 0) << fields.err;
  EXPECT_TRUE(fields.out.starts_with("Account Number\tT\t10\t0\nDescription\tT\t30\t10\n"));
  EXPECT_NE(fields.out.find("Reserved\tX\t6\t67\nCurrent Record\t-\t-\t-\n"), std::string::npos);
  const std::string tail = "Company Number\t-\t-\t-\nRecord length: 73\n";
  EXPECT_EQ(fields.out.substr(fields.out.size() - tail.size()), tail);
}

// The listing keeps its columns for scripts; what cannot be exported is said
// on standard error, and in JSON beside each field.
TEST_F(ListCommandTest, FieldsThatCannotBeExportedAreNamedWithTheReason) {
  auto fields = test::RunCli(With({"list", "fields", "QZGL", "1"}, Dirs()));
  EXPECT_EQ(fields.err,
            "Warning: Some of the data file's fields cannot be exported:\n"
            "  Old Balance: a type D field takes 8 bytes but this one has 4, so the field list "
            "leaves it out.\n"
            "  Reserved: the type letter X is none of D, F, I, J, L, T, Y, so the field has no "
            "value to export.\n");
  auto json = test::RunCli(With({"list", "fields", "QZGL", "1", "--json"}, Dirs()));
  EXPECT_EQ(json.err, "");
  const auto rows = nlohmann::json::parse(json.out);
  std::vector<std::string> left_out;
  for (const auto& row : rows)
    if (!row["exportable"].get<bool>()) left_out.push_back(row["name"]);
  EXPECT_EQ(left_out, (std::vector<std::string>{"Old Balance", "Reserved"}));
  EXPECT_EQ(rows[0]["name"], "Account Number");
  EXPECT_EQ(rows[0]["length"], 10);
}

TEST_F(ListCommandTest, JsonIsAnArrayOfObjects) {
  const struct Case {
    std::vector<std::string> args;
    std::string first;  // the first object, as JSON
  } cases[] = {
      {{"list", "modules", "--json"}, R"({"code":"QZGL","name":"General Ledger"})"},
      {{"list", "files", "QZAR", "--json"}, R"({"description":"Customer Master","number":1})"},
      {With({"list", "companies", "QZGL", "--json"}, Dirs()),
       R"({"name":"Quillmont Hardware Inc.","number":"01"})"},
      {{"list", "types", "--json"},
       R"j({"extension":"txt","family":"text","index":0,"label":"Comma Delimited  with titles (*.txt)","titles":true})j"},
  };
  for (const Case& c : cases) {
    auto r = test::RunCli(c.args);
    ASSERT_EQ(r.code, 0) << c.args[1] << r.err;
    const auto rows = nlohmann::json::parse(r.out);
    ASSERT_TRUE(rows.is_array());
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].dump(), c.first);
  }
}

TEST_F(ListCommandTest, ErrorsAndUsage) {
  struct Case {
    std::vector<std::string> args;
    int code;
    std::string err_start;
  } cases[] = {
      {{"list"}, 2, "recordhaul list: say what to list"},
      {{"list", "files"}, 2, "recordhaul list: wrong number"},
      {{"list", "files", "QZXX"}, 2, "recordhaul list: unknown module"},
      {{"list", "fields", "QZGL", "3"}, 2, "recordhaul list: module QZGL has no data file '3'"},
      {{"list", "fields", "QZGL", "1"}, 2, "recordhaul list: the Tallyvane directories are not set"},
      {{"list", "fields", "QZGL", "1", "--data", "/nonexistent", "--system", "/nonexistent",
        "--programs", "/x"},
       1, "Error #2: Error - File could not be opened."},
      {{"bogus"}, 2, "recordhaul: unknown verb"},
  };
  for (const auto& c : cases) {
    auto r = test::RunCli(c.args);
    EXPECT_EQ(r.code, c.code) << c.args.back();
    EXPECT_EQ(r.err.substr(0, c.err_start.size()), c.err_start) << c.args.back();
  }
  auto help = test::RunCli({"list", "--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_EQ(help.out.substr(0, 30), "usage: recordhaul list modules");
}

TEST_F(ListCommandTest, OldDictionaryIsAnError) {
  test::TempDir old;
  test::WriteFile(old / "QZFMDATA.DAT", sample::BuildDictionary("3a01", sample::SampleSchema()));
  auto r = test::RunCli({"list", "fields", "QZGL", "1", "--data", old.path(), "--system",
                         old.path(), "--programs", old.path()});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "Error #9: Incompatible Versions.\nSee Documentation for more info.\n");
}

}  // namespace
}  // namespace rh
