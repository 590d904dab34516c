#include "data/data_dictionary.h"

#include <gtest/gtest.h>

#include "sample/sample_data.h"
#include "tests/test_util.h"

namespace rh {
namespace {

using sample::DictionaryRecord;
using sample::FieldSpec;

class DictionaryTest : public ::testing::Test {
 protected:
  // A dictionary for module QZGL with one data file (number 1) whose
  // records are `body` (the file record is added first).
  void WriteDictionary(const std::string& version, const std::string& body,
                       int file = 1) {
    std::string header(40, '\0');
    header.replace(16, version.size(), version);
    std::string dict = header + DictionaryRecord(0, 2, "QZGL General Ledger") +
                       DictionaryRecord(static_cast<int16_t>(file), 1, "Chart") + body;
    test::WriteFile(dir_ / "QZFMDATA.DAT", dict);
  }
  Result<FieldLayout> Load(int file = 1, std::string_view code = "QZGL") {
    return LoadFieldLayout(Env::Default(), dir_.path(), code, file);
  }
  static std::vector<std::string> WithPseudo(std::vector<std::string> names) {
    for (auto p : kPseudoFields) names.emplace_back(p);
    return names;
  }

  test::TempDir dir_;
};

TEST_F(DictionaryTest, VersionCheck) {
  struct Case {
    std::string version;
    bool accepted;
  } cases[] = {{"3a02", true}, {"3b00", true}, {"4000", true}, {"3a03", true},
               {"3a01", false}, {"3A02", false}, {"2zzz", false}, {"3a0", false},
               {"", false}};
  for (const auto& c : cases) {
    WriteDictionary(c.version, "");
    auto r = Load();
    EXPECT_EQ(r.ok(), c.accepted) << c.version;
    if (!c.accepted) {
      EXPECT_EQ(r.status().caption(), "Error #9");
      EXPECT_EQ(r.status().message(), "Incompatible Versions.\nSee Documentation for more info.");
      EXPECT_TRUE(r.status().fatal());
    }
  }
}

TEST_F(DictionaryTest, ListingRuleAndOffsets) {
  WriteDictionary("3a02", DictionaryRecord(1, 0, "Name", 20, 'T') +
                              DictionaryRecord(1, 0, "Count", 2, 'I') +
                              DictionaryRecord(1, 0, "Short Real", 4, 'D') +
                              DictionaryRecord(1, 0, "Flag", 1, 'Y'));
  auto r = Load();
  ASSERT_TRUE(r.ok()) << r.status().ToString();
  EXPECT_EQ(r->available(), WithPseudo({"Name", "Count", "Flag"}));
  EXPECT_EQ(r->record_length(), 27);
  ASSERT_NE(r->FindField("Flag"), nullptr);
  EXPECT_EQ(r->FindField("Flag")->offset, 26);
  EXPECT_EQ(r->FindField("Short Real")->offset, 22);  // unlisted, still found
  EXPECT_EQ(r->FindField("flag"), nullptr);            // exact case
  EXPECT_EQ(r->FindField("Current Record"), nullptr);  // pseudo-fields are not fields
}

TEST_F(DictionaryTest, UnknownLettersTakeTheLastKnownSize) {
  struct Case {
    std::string body;
    std::vector<std::string> listed;
  } cases[] = {
      {DictionaryRecord(1, 0, "I", 2, 'I') + DictionaryRecord(1, 0, "X", 2, 'X'), {"I", "X"}},
      {DictionaryRecord(1, 0, "X", 2, 'X'), {}},
      {DictionaryRecord(1, 0, "X", 0, 'X'), {"X"}},
      {DictionaryRecord(1, 0, "T", 7, 'T') + DictionaryRecord(1, 0, "X", 7, '?'), {"T", "X"}},
      {DictionaryRecord(1, 0, "lower d", 8, 'd') + DictionaryRecord(1, 0, "lower t", 3, 't'),
       {"lower d", "lower t"}},
      {DictionaryRecord(1, 0, "L5", 5, 'L') + DictionaryRecord(1, 0, "F", 4, 'F') +
           DictionaryRecord(1, 0, "J", 4, 'J') + DictionaryRecord(1, 0, "Y2", 2, 'Y'),
       {"F", "J"}},
  };
  for (const auto& c : cases) {
    WriteDictionary("3a02", c.body);
    auto r = Load();
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->available(), WithPseudo(c.listed));
  }
}

TEST_F(DictionaryTest, DuplicateNamesFindTheFirst) {
  WriteDictionary("3a02", DictionaryRecord(1, 0, "Amount", 4, 'L') +
                              DictionaryRecord(1, 0, "Amount", 8, 'D'));
  auto r = Load();
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->available(), WithPseudo({"Amount", "Amount"}));
  EXPECT_EQ(r->FindField("Amount")->type, 'L');
  EXPECT_EQ(r->FindField("Amount")->offset, 0);
  EXPECT_EQ(r->FindField("Amount")->length, 4);
}

TEST_F(DictionaryTest, SectionEndsAtTheNextFileAndPseudoFieldsAlwaysFollow) {
  // File 1 has no fields; file 2 follows directly.
  WriteDictionary("3a02", DictionaryRecord(2, 1, "Other") + DictionaryRecord(2, 0, "B", 4, 'L'));
  auto r = Load(1);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->available(), WithPseudo({}));
  EXPECT_EQ(r->record_length(), 0);
  auto two = Load(2);
  ASSERT_TRUE(two.ok());
  EXPECT_EQ(two->available(), WithPseudo({"B"}));
}

TEST_F(DictionaryTest, RefusalsAreErrorsNotCrashes) {
  // Missing dictionary.
  auto missing = Load();
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.status().caption(), "Error #2");
  EXPECT_EQ(missing.status().message(), "Error - File could not be opened.");
  // Shorter than one record.
  test::WriteFile(dir_ / "QZFMDATA.DAT", "3a02");
  EXPECT_EQ(Load().status().caption(), "Error #2");
  // No module record / no section for the file / section start past the end.
  WriteDictionary("3a02", DictionaryRecord(1, 0, "A", 4, 'L'));
  EXPECT_FALSE(Load(1, "QZAP").ok());
  EXPECT_FALSE(Load(9).ok());
  std::string header(40, '\0');
  header.replace(16, 4, "3a02");
  test::WriteFile(dir_ / "QZFMDATA.DAT", header + DictionaryRecord(0, 999, "QZGL") +
                                             DictionaryRecord(0, -4, "QZAP"));
  EXPECT_FALSE(Load(1, "QZGL").ok());
  EXPECT_FALSE(Load(1, "QZAP").ok());
  // A directory where the dictionary should be.
  std::filesystem::remove(dir_ / "QZFMDATA.DAT");
  std::filesystem::create_directory(dir_ / "QZFMDATA.DAT");
  EXPECT_EQ(Load().status().caption(), "Error #2");
}

TEST_F(DictionaryTest, TruncatedLastRecordIsIgnoredAndNamesMatchInAnyCase) {
  std::string body = DictionaryRecord(1, 0, "A", 4, 'L') + DictionaryRecord(1, 0, "B", 2, 'I');
  WriteDictionary("3a02", body.substr(0, body.size() - 5));
  std::filesystem::rename(dir_ / "QZFMDATA.DAT", dir_ / "qzfmdata.dat");
  auto r = Load();
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->available(), WithPseudo({"A"}));
}

TEST_F(DictionaryTest, NamesAreCutAtTwentyNineBytes) {
  std::string rec = DictionaryRecord(1, 0, "", 4, 'L');
  rec.replace(6, 30, std::string(30, 'N'));  // no NUL at all
  WriteDictionary("3a02", rec);
  auto r = Load();
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r->available()[0], std::string(29, 'N'));
}

}  // namespace
}  // namespace rh
