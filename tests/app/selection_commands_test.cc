#include "app/selection_commands.h"

#include <gtest/gtest.h>

#include "app/choice_cascade.h"
#include "tests/fake_platform.h"
#include "tests/fixture.h"

namespace rh {
namespace {

// The sample module chosen, its first data file's fields available.
class SelectionCommands : public ::testing::Test {
 protected:
  SelectionCommands() {
    inst.SetRecords(0, {});
    s.dirs = {inst.data(), inst.system(), inst.programs()};
    ChooseModule(s, ui, 0);
  }
  test::Installation inst;
  test::FakePlatform ui;
  ExportState s;
};

TEST_F(SelectionCommands, SetTheFlagAndFollowTheLoadingRule) {

  struct Step {
    const char* name;
    std::function<void()> run;
  } steps[] = {
      {"add", [&] { AddFieldsCommand(s, ui); }},
      {"add all", [&] { AddAllFieldsCommand(s, ui); }},
      {"remove", [&] { RemoveFieldCommand(s); }},
      {"remove all", [&] { RemoveAllFieldsCommand(s); }},
  };
  for (const auto& step : steps) {
    s.modified = false;
    step.run();
    EXPECT_TRUE(s.modified) << step.name;  // also when nothing changes
  }

  AddAllFieldsCommand(s, ui);
  s.available.selected[0] = true;
  ClickSelectionRow(s, 1);
  EXPECT_FALSE(s.available.selected[0]);  // a rename clears the available selection
  s.selection.set_new_name("Renamed");
  s.loading = true;
  s.modified = false;
  ApplyRenameCommand(s);  // nothing at all while a template loads
  EXPECT_TRUE(s.selection.renaming());
  EXPECT_FALSE(s.modified);
  s.loading = false;
  ApplyRenameCommand(s);
  EXPECT_EQ(s.selection.rows()[1].export_name, "Renamed");
  EXPECT_TRUE(s.modified);

  StepSelectionRow(s, +1);
  EXPECT_EQ(s.selection.rename_row(), 2);
  AvailableListFocused(s);
  EXPECT_FALSE(s.selection.renaming());
}

TEST_F(SelectionCommands, DBaseWidthComesFromTheExportType) {
  ui.answers = {Answer::kOk};
  ChooseExportType(s, ui, kDBase);
  AddAllFieldsCommand(s, ui);
  for (const auto& row : s.selection.rows()) EXPECT_LE(row.export_name.size(), 9u);
  EXPECT_EQ(s.selection.rows().back().export_name, "COMPANY_N");
}

}  // namespace
}  // namespace rh
