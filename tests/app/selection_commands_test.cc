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

std::vector<std::string> Names(size_t n) {
  std::vector<std::string> a;
  for (size_t i = 0; i < n; ++i) a.push_back(std::string(1, 'F').append(std::to_string(i)));
  return a;
}

// Commands over a bare state: no module chosen, so no layout check fails.
struct BareState {
  test::FakePlatform ui;
  ExportState s;
  void Offer(std::vector<std::string> names) { s.available.Assign(std::move(names)); }
  void Pick(std::initializer_list<size_t> picked) {
    s.available.ClearSelection();
    for (size_t i : picked) s.available.selected[i] = true;
  }
};

TEST(SelectionLimits, ThreeHundredRows) {
  struct Case {
    size_t existing;
    size_t picked;
    bool all;
    size_t available;
    size_t rows_after;
    const char* message;
  } cases[] = {
      {299, 2, false, 400, 299, "You can only export 300 fields"},
      {298, 2, false, 400, 300, nullptr},
      {0, 0, true, 300, 300, nullptr},
      {0, 0, true, 301, 0, "You can export a maximum of 300 fields"},
      // 200 rows, 150 entries of which 100 are selected already: refused.
      {200, 0, true, 150, 200, "You can export a maximum of 300 fields"},
  };
  for (const auto& c : cases) {
    BareState b;
    auto big = Names(c.available + c.existing);
    b.Offer(std::vector<std::string>(big.begin() + static_cast<long>(c.available), big.end()));
    AddAllFieldsCommand(b.s, b.ui);
    ASSERT_EQ(b.s.selection.size(), c.existing);
    b.Offer(Names(c.available));
    for (size_t i = 0; i < c.picked; ++i) b.s.available.selected[i] = true;
    if (c.all) AddAllFieldsCommand(b.s, b.ui);
    else AddFieldsCommand(b.s, b.ui);
    EXPECT_EQ(b.s.selection.size(), c.rows_after);
    std::vector<std::string> errors;
    for (const auto& m : b.ui.messages)
      if (m.caption == "Error #1") errors.push_back(m.text);
    if (c.message) {
      EXPECT_EQ(errors, std::vector<std::string>{c.message});
    } else {
      EXPECT_TRUE(errors.empty());
    }
  }
}

TEST(SelectionLimits, AddingAgainAsksAndNamesBecomeUnique) {
  BareState b;
  b.Offer({"Salary", "Name"});
  b.Pick({0});
  AddFieldsCommand(b.s, b.ui);
  b.ui.answers = {Answer::kYes};
  b.Pick({0, 1});
  AddFieldsCommand(b.s, b.ui);  // Salary asked, Name added
  b.ui.answers = {Answer::kYes};
  b.Pick({0});
  AddFieldsCommand(b.s, b.ui);
  b.ui.answers = {Answer::kNo};
  AddFieldsCommand(b.s, b.ui);
  const auto& rows = b.s.selection.rows();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].export_name, "Salary");
  EXPECT_EQ(rows[1].export_name, "Salar1");
  EXPECT_EQ(rows[2].export_name, "Name");
  EXPECT_EQ(rows[3].export_name, "Salar2");
  EXPECT_EQ(rows[3].source_position, 0);
  ASSERT_EQ(b.ui.messages.size(), 3u);
  EXPECT_EQ(b.ui.messages[0].text, "Warning, Salary already exported\n\tExport Again?");
  EXPECT_EQ(b.ui.messages[0].caption, "recordhaul");
  EXPECT_EQ(b.ui.messages[0].style, MessageStyle::kYesNo);
  // Add All skips what is there without asking.
  AddAllFieldsCommand(b.s, b.ui);
  EXPECT_EQ(b.s.selection.size(), 4u);
  EXPECT_EQ(b.ui.messages.size(), 3u);
}

TEST_F(SelectionCommands, LayoutWarningDoesNotStopAdding) {
  inst.SetRegister(999);
  CompanyEntryChanged(s, 0);
  s.available.ClearSelection();  // nothing selected: still warned
  AddFieldsCommand(s, ui);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Incompatible Versions - You Will Be Unable To Export");
  EXPECT_EQ(ui.messages[0].style, MessageStyle::kOkExclamation);
  AddAllFieldsCommand(s, ui);
  EXPECT_EQ(s.selection.size(), s.available.entries.size());
}

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
