#include "selection/field_selection.h"

#include <gtest/gtest.h>

#include "selection/export_type.h"
#include "tests/fake_platform.h"

namespace rh {
namespace {

std::vector<std::string> Available(size_t n) {
  std::vector<std::string> a;
  for (size_t i = 0; i < n; ++i) a.push_back(std::string(1, 'F').append(std::to_string(i)));
  return a;
}

std::vector<bool> Select(size_t n, std::initializer_list<size_t> picked) {
  std::vector<bool> s(n, false);
  for (size_t i : picked) s[i] = true;
  return s;
}

const FieldSelection::LayoutCheck kLayoutOk = [] { return true; };

TEST(FieldSelection, RowLimits) {
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
    test::FakePlatform ui;
    FieldSelection sel;
    auto big = Available(c.available + c.existing);
    sel.AddAllFields(std::vector<std::string>(big.begin() + static_cast<long>(c.available),
                                              big.end()),
                     kLayoutOk, ui, 49);
    ASSERT_EQ(sel.size(), c.existing);
    auto avail = Available(c.available);
    std::vector<bool> picked(c.available, false);
    for (size_t i = 0; i < c.picked; ++i) picked[i] = true;
    if (c.all) sel.AddAllFields(avail, kLayoutOk, ui, 49);
    else sel.AddFields(avail, picked, kLayoutOk, ui, 49);
    EXPECT_EQ(sel.size(), c.rows_after);
    std::vector<std::string> errors;
    for (const auto& m : ui.messages)
      if (m.caption == "Error #1") errors.push_back(m.text);
    if (c.message) {
      EXPECT_EQ(errors, std::vector<std::string>{c.message});
    } else {
      EXPECT_TRUE(errors.empty());
    }
  }
}

TEST(FieldSelection, AddingAgainAsksAndNamesBecomeUnique) {
  test::FakePlatform ui;
  FieldSelection sel;
  std::vector<std::string> avail = {"Salary", "Name"};
  sel.AddFields(avail, Select(2, {0}), kLayoutOk, ui, 49);
  ui.answers = {Answer::kYes};
  sel.AddFields(avail, Select(2, {0, 1}), kLayoutOk, ui, 49);  // Salary asked, Name added
  ui.answers = {Answer::kYes};
  sel.AddFields(avail, Select(2, {0}), kLayoutOk, ui, 49);
  ui.answers = {Answer::kNo};
  sel.AddFields(avail, Select(2, {0}), kLayoutOk, ui, 49);
  ASSERT_EQ(sel.size(), 4u);
  EXPECT_EQ(sel.rows()[0].export_name, "Salary");
  EXPECT_EQ(sel.rows()[1].export_name, "Salar1");
  EXPECT_EQ(sel.rows()[2].export_name, "Name");
  EXPECT_EQ(sel.rows()[3].export_name, "Salar2");
  EXPECT_EQ(sel.rows()[3].source_position, 0);
  ASSERT_EQ(ui.messages.size(), 3u);
  EXPECT_EQ(ui.messages[0].text, "Warning, Salary already exported\n\tExport Again?");
  EXPECT_EQ(ui.messages[0].caption, "recordhaul");
  EXPECT_EQ(ui.messages[0].style, MessageStyle::kYesNo);
  // Add All skips what is there without asking.
  sel.AddAllFields(avail, kLayoutOk, ui, 49);
  EXPECT_EQ(sel.size(), 4u);
  EXPECT_EQ(ui.messages.size(), 3u);
}

TEST(FieldSelection, LayoutWarningDoesNotStopAdding) {
  test::FakePlatform ui;
  FieldSelection sel;
  sel.AddFields({"A"}, {false}, [] { return false; }, ui, 49);  // nothing selected
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Incompatible Versions - You Will Be Unable To Export");
  EXPECT_EQ(ui.messages[0].style, MessageStyle::kOkExclamation);
  sel.AddAllFields({"A"}, [] { return false; }, ui, 49);
  EXPECT_EQ(sel.size(), 1u);
}

TEST(FieldSelection, RenameApplyAndEnd) {
  test::FakePlatform ui;
  FieldSelection sel;
  sel.AddAllFields({"Total", "Other", "Third"}, kLayoutOk, ui, 49);
  EXPECT_FALSE(sel.renaming());
  sel.Click(1);
  EXPECT_EQ(sel.rename_row(), 1);
  EXPECT_EQ(sel.new_name(), "Other");
  sel.set_new_name("Total");
  sel.ApplyRename(49);
  // The later of two equal names gives way.
  EXPECT_EQ(sel.rows()[0].export_name, "Total");
  EXPECT_EQ(sel.rows()[1].export_name, "Tota1");
  EXPECT_FALSE(sel.renaming());
  EXPECT_EQ(sel.new_name(), "");
  EXPECT_EQ(sel.selected_row(), -1);
  // Empty and all-space texts change nothing.
  for (const char* text : {"", "    "}) {
    sel.Click(2);
    sel.set_new_name(text);
    sel.ApplyRename(49);
    EXPECT_EQ(sel.rows()[2].export_name, "Third");
  }
  // Up and Down move the rename row and stop at the ends.
  sel.Click(0);
  sel.Step(-1);
  EXPECT_EQ(sel.rename_row(), 0);
  sel.Step(+1);
  sel.Step(+1);
  sel.Step(+1);
  EXPECT_EQ(sel.rename_row(), 2);
  EXPECT_EQ(sel.new_name(), "Third");
  // Only 49 characters are taken from the box.
  sel.set_new_name(std::string(60, 'x'));
  sel.ApplyRename(49);
  EXPECT_EQ(sel.rows()[2].export_name, std::string(49, 'x'));
}

TEST(FieldSelection, ClickOnAnEmptyListOrNoRowMarksRowZero) {
  test::FakePlatform ui;
  FieldSelection sel;
  sel.Click(-1);
  EXPECT_FALSE(sel.renaming());
  sel.AddAllFields({"A", "B"}, kLayoutOk, ui, 49);
  sel.Click(-1);  // a click beside the rows with no mark yet
  EXPECT_EQ(sel.rename_row(), 0);
}

TEST(FieldSelection, RemoveOneAndAll) {
  test::FakePlatform ui;
  FieldSelection sel;
  sel.AddAllFields({"A", "B", "C"}, kLayoutOk, ui, 49);
  sel.RemoveField();  // no selected row
  EXPECT_EQ(sel.size(), 3u);
  sel.Click(1);
  sel.RemoveField();
  ASSERT_EQ(sel.size(), 2u);
  EXPECT_EQ(sel.rows()[1].field_name, "C");
  EXPECT_EQ(sel.rows()[1].source_position, 2);
  EXPECT_FALSE(sel.renaming());
  sel.Click(0);
  sel.RemoveAllFields();
  EXPECT_TRUE(sel.empty());
  EXPECT_FALSE(sel.renaming());
  EXPECT_EQ(sel.new_name(), "");
}

TEST(ConfirmExportType, OnlyAChangeToDBaseAsks) {
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
    ui.answers = {c.answer};
    EXPECT_EQ(ConfirmExportType(c.next, c.current, c.loading, ui), c.allowed);
    EXPECT_EQ(ui.messages.size(), c.asked ? 1u : 0u);
    if (c.asked) {
      EXPECT_EQ(ui.messages[0].text, "All titles will be truncated to 9 characters in dBase format.");
      EXPECT_EQ(ui.messages[0].caption, "Warning");
      EXPECT_EQ(ui.messages[0].style, MessageStyle::kOkCancel);
    }
  }
}

}  // namespace
}  // namespace rh
