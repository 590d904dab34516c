#include "app/choice_cascade.h"

#include <gtest/gtest.h>

#include "app/selection_commands.h"
#include "data/catalog.h"
#include "tests/fake_platform.h"
#include "tests/fixture.h"

namespace rh {
namespace {

class CascadeTest : public ::testing::Test {
 protected:
  CascadeTest() {
    s_.dirs = {inst_.data(), inst_.system(), inst_.programs()};
    inst_.SetRecords(0, {});
  }
  void ChooseGl() { ChooseModule(s_, ui_, 0); }
  void AddAll() { AddAllFieldsCommand(s_, ui_); }

  test::Installation inst_;
  test::FakePlatform ui_;
  ExportState s_;
};

TEST_F(CascadeTest, ChoosingAModuleChoosesItsFirstFile) {
  ChooseGl();
  EXPECT_EQ(s_.module_code, "QZGL");
  EXPECT_EQ(s_.file_list.entries.size(), DataFilesOf(0).size());
  EXPECT_EQ(s_.file_list.current, 0);
  EXPECT_EQ(s_.file_number, 1);
  EXPECT_EQ(s_.record.file_number, 1);
  EXPECT_EQ(s_.record.module_index, 0);
  EXPECT_EQ(s_.company_list.entries, std::vector<std::string>{"01 - Test Co"});
  EXPECT_FALSE(s_.company_list.HasCurrent());
  // Eight listed (the X field takes the size of the J before it), five pseudo.
  ASSERT_EQ(s_.available.entries.size(), 13u);
  EXPECT_EQ(s_.available.entries[0], "Name");
  EXPECT_EQ(s_.available.entries[7], "Odd");
  EXPECT_EQ(s_.available.entries[8], "Current Record");
  EXPECT_TRUE(s_.modified);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(CascadeTest, ChoosingAFileAgainEmptiesTheSelection) {
  ChooseGl();
  AddAll();
  ASSERT_EQ(s_.selection.size(), 13u);
  s_.selection.Click(2);
  ChooseDataFile(s_, ui_, 0);
  EXPECT_TRUE(s_.selection.empty());
  EXPECT_FALSE(s_.selection.renaming());
  ChooseDataFile(s_, ui_, 1);
  EXPECT_EQ(s_.file_number, 2);
  EXPECT_EQ(s_.record.file_number, 2);
}

TEST(ChooseExportType, OnlyAChangeToDBaseAsks) {
  struct Case {
    int next, current;
    bool loading;
    Answer answer;
    bool asked, allowed;
  } cases[] = {
      {kDBase, kCommaWithTitles, false, Answer::kOk, true, true},
      {kDBase, kCommaWithTitles, false, Answer::kCancel, true, false},
      {kDBase, kDBase, false, Answer::kCancel, false, true},
      {kDBase, kExcel, true, Answer::kCancel, false, true},
      {kExcel, kDBase, false, Answer::kCancel, false, true},
  };
  for (const auto& c : cases) {
    test::FakePlatform ui;
    ExportState s;
    s.SetExportType(c.current);
    s.loading = c.loading;
    ui.answers = {c.answer};
    ChooseExportType(s, ui, c.next);
    EXPECT_EQ(s.export_type(), c.allowed ? c.next : c.current);
    EXPECT_EQ(ui.messages.size(), c.asked ? 1u : 0u);
    if (c.asked) {
      EXPECT_EQ(ui.messages[0].text, "All titles will be truncated to 9 characters in dBase format.");
      EXPECT_EQ(ui.messages[0].caption, "Warning");
      EXPECT_EQ(ui.messages[0].style, MessageStyle::kOkCancel);
    }
  }
}

TEST_F(CascadeTest, ExportTypeChoicesAndTheDBaseQuestion) {
  ChooseGl();
  AddAll();
  s_.destination_box = "kept.txt";
  ui_.answers = {Answer::kCancel};
  ChooseExportType(s_, ui_, kDBase);
  EXPECT_EQ(s_.export_type(), kCommaWithTitles);
  EXPECT_EQ(s_.export_type_list.current, kCommaWithTitles);
  EXPECT_EQ(s_.destination_box, "kept.txt");
  EXPECT_EQ(s_.selection.rows()[8].export_name, "Current Record");

  ui_.answers = {Answer::kOk};
  ChooseExportType(s_, ui_, kDBase);
  EXPECT_EQ(s_.export_type(), kDBase);
  EXPECT_EQ(s_.destination_box, "");
  EXPECT_EQ(s_.selection.rows()[8].export_name, "CURRENT_R");
  EXPECT_EQ(s_.default_extension(), "dbf");
  EXPECT_EQ(s_.destination_filter(), "dBase |*.dbf||");

  // Back to text: names stay short; the same type again still empties the box.
  ChooseExportType(s_, ui_, kCommaWithTitles);
  EXPECT_EQ(s_.selection.rows()[8].export_name, "CURRENT_R");
  s_.destination_box = "x";
  ChooseExportType(s_, ui_, kCommaWithTitles);
  EXPECT_EQ(s_.destination_box, "");
  EXPECT_EQ(ui_.messages.size(), 2u);  // the two dBase questions only
}

TEST_F(CascadeTest, CompanyChoiceChecksTheRecordLayout) {
  ChooseGl();
  CompanyEntryChanged(s_, 0);
  EXPECT_EQ(s_.company_number, "01");
  EXPECT_EQ(s_.record.company, "01");
  ConfirmCompany(s_, ui_);
  EXPECT_TRUE(ui_.messages.empty());

  inst_.SetRegister(inst_.RecordLength() + 1);
  ConfirmCompany(s_, ui_);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "Incompatible Versions");
  EXPECT_EQ(ui_.messages[0].caption, "Warning");
  EXPECT_EQ(ui_.messages[0].style, MessageStyle::kOkExclamation);
  EXPECT_TRUE(s_.company_list.HasCurrent());
  // Choosing a data file checks again, and so does adding fields.
  ChooseDataFile(s_, ui_, 0);
  EXPECT_EQ(ui_.messages.size(), 2u);
  AddAll();
  EXPECT_EQ(ui_.messages.back().text, "Incompatible Versions - You Will Be Unable To Export");
}

TEST_F(CascadeTest, DictionaryFailures) {
  std::filesystem::remove(inst_.system() + "/QZFMDATA.DAT");
  ChooseGl();
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].caption, "Error #2");
  EXPECT_EQ(ui_.messages[0].text, "Error - File could not be opened.");
  EXPECT_TRUE(s_.available.entries.empty());
  EXPECT_FALSE(s_.window_closed);

  test::WriteFile(inst_.system() + "/QZFMDATA.DAT",
                  sample::BuildDictionary("3a01", sample::SampleSchema()));
  ui_.messages.clear();
  ChooseGl();
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].caption, "Error #9");
  EXPECT_EQ(ui_.messages[0].style, MessageStyle::kOkExclamation);
  EXPECT_TRUE(s_.window_closed);
  EXPECT_FALSE(s_.modified);
}

TEST_F(CascadeTest, LoadingChangesNoFlagAndNoStoredSelection) {
  s_.loading = true;
  s_.record.file_number = 2;
  s_.record.positions = {3, 1};
  ChooseModule(s_, ui_, 0);
  EXPECT_FALSE(s_.modified);
  EXPECT_EQ(s_.file_number, 2);  // from the record, not the list's first entry
  EXPECT_EQ(s_.record.positions, (std::vector<int32_t>{3, 1}));
  s_.loading = false;
  ChooseDataFile(s_, ui_, 0);
  EXPECT_TRUE(s_.modified);
  EXPECT_TRUE(s_.record.positions.empty());
}

TEST(CascadeSample, SingleFileModules) {
  test::TempDir dir;
  ASSERT_TRUE(sample::WriteSampleInstallation(Env::Default(), dir.path(), {5}).ok());
  ExportState s;
  s.dirs = {dir / "data", dir / "sys", dir / "progs"};
  test::FakePlatform ui;
  ChooseModule(s, ui, *ModuleIndexByCode("QZFA"));
  EXPECT_EQ(s.file_list.entries, std::vector<std::string>{"Asset Master"});
  EXPECT_EQ(s.file_number, 1);
  EXPECT_FALSE(s.available.entries.empty());
  EXPECT_TRUE(s.company_list.entries.empty());  // no registers for this module
  EXPECT_TRUE(RecordLayoutMatches(s));
}

}  // namespace
}  // namespace rh
