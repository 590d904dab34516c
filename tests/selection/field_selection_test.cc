#include "selection/field_selection.h"

#include <gtest/gtest.h>

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

TEST(FieldSelection, AddFieldsAsksOnlyForEntriesARowHasAlready) {
  FieldSelection sel;
  const auto avail = Available(3);
  std::vector<std::string> asked;
  const auto again = [&](const std::string& entry) {
    asked.push_back(entry);
    return entry == "F0";
  };
  sel.AddFields(avail, Select(3, {0, 2}), again, ExportNameRules{});
  EXPECT_TRUE(asked.empty());
  sel.AddFields(avail, Select(3, {0, 1, 2}), again, ExportNameRules{});
  EXPECT_EQ(asked, (std::vector<std::string>{"F0", "F2"}));
  std::vector<std::string> fields;
  for (const SelectedField& row : sel.rows()) fields.push_back(row.field_name);
  EXPECT_EQ(fields, (std::vector<std::string>{"F0", "F2", "F0", "F1"}));
  EXPECT_TRUE(sel.HasRoomFor(296));
  EXPECT_FALSE(sel.HasRoomFor(297));
}

TEST(FieldSelection, RenameApplyAndEnd) {
  FieldSelection sel;
  sel.AddAllFields({"Total", "Other", "Third"}, ExportNameRules{});
  EXPECT_FALSE(sel.renaming());
  sel.Click(1);
  EXPECT_EQ(sel.rename_row(), 1);
  EXPECT_EQ(sel.new_name(), "Other");
  sel.set_new_name("Total");
  sel.ApplyRename(ExportNameRules{});
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
    sel.ApplyRename(ExportNameRules{});
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
  sel.ApplyRename(ExportNameRules{});
  EXPECT_EQ(sel.rows()[2].export_name, std::string(49, 'x'));
}

TEST(FieldSelection, ClickOnAnEmptyListOrNoRowMarksRowZero) {
  FieldSelection sel;
  sel.Click(-1);
  EXPECT_FALSE(sel.renaming());
  sel.AddAllFields({"A", "B"}, ExportNameRules{});
  sel.Click(-1);  // a click beside the rows with no mark yet
  EXPECT_EQ(sel.rename_row(), 0);
}

TEST(FieldSelection, RemoveOneAndAll) {
  FieldSelection sel;
  sel.AddAllFields({"A", "B", "C"}, ExportNameRules{});
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

}  // namespace
}  // namespace rh
