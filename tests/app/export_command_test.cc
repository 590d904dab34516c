#include "app/export_command.h"

#include <gtest/gtest.h>

#include "app/choice_cascade.h"
#include "tests/fake_platform.h"
#include "tests/fixture.h"

namespace rh {
namespace {

class ExportCommandTest : public ::testing::Test {
 protected:
  ExportCommandTest() {
    s_.dirs = {inst_.data(), inst_.system(), inst_.programs()};
    inst_.SetRecords(1, {inst_.Builder().Text("Name", "x").Take()});
    ui_.documents = inst_.dir().path();
  }
  void ChooseAll() {
    ChooseModule(s_, ui_, 0);
    CompanyEntryChanged(s_, 0);
    ConfirmCompany(s_, ui_);
    s_.selection.AddAllFields(s_.available.entries, ExportNameRules{});
    s_.destination_box = "out.txt";
  }
  test::Installation inst_;
  test::FakePlatform ui_;
  ExportState s_;
};

TEST_F(ExportCommandTest, ChecksInOrder) {
  ExportCommand(s_, ui_);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "Cannot Export Without Selecting A Module, Company, And File");
  EXPECT_EQ(ui_.messages[0].caption, "Error");

  ChooseAll();
  s_.selection.RemoveAllFields();
  ui_.messages.clear();
  ExportCommand(s_, ui_);
  EXPECT_EQ(ui_.messages.back().text, "No Export Fields Specified");

  ChooseAll();
  ui_.messages.clear();
  auto done = ExportCommand(s_, ui_);
  EXPECT_EQ(done.kind, ExportOutcome::Kind::kCompleted);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "Export Complete.\n\nRecords Exported:  1");
  EXPECT_EQ(ui_.messages[0].caption, "Export Complete");
  EXPECT_FALSE(s_.window_closed);
}

TEST_F(ExportCommandTest, LayoutMismatchEndsTheProgram) {
  ChooseAll();
  inst_.SetRegister(inst_.RecordLength() - 1);
  s_.modified = true;
  ui_.messages.clear();
  ExportCommand(s_, ui_);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].caption, "Error #4");
  EXPECT_EQ(ui_.messages[0].text,
            "Incompatible Versions - Cannot Export\nContact your dealer for more info");
  EXPECT_EQ(ui_.messages[0].style, MessageStyle::kOkStop);
  EXPECT_TRUE(s_.window_closed);
  EXPECT_FALSE(s_.modified);
  EXPECT_FALSE(std::filesystem::exists(inst_.dir() / "out.txt"));
}

TEST_F(ExportCommandTest, EndsARenameAndLeavesTheChoicesAlone) {
  ChooseAll();
  s_.selection.Click(1);
  s_.modified = false;
  ExportCommand(s_, ui_);
  EXPECT_FALSE(s_.selection.renaming());
  EXPECT_FALSE(s_.modified);
  EXPECT_EQ(s_.destination_box, "out.txt");
}

}  // namespace
}  // namespace rh
