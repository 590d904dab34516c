#include "app/export_state.h"

#include <gtest/gtest.h>

namespace rh {
namespace {

TEST(ExportTypes, ExtensionAndFilterFromEachLabel) {
  struct Case {
    int type;
    const char* extension;
    const char* filter;
  } cases[] = {
      {0, "txt", "Comma Delimited  with titles |*.txt||"},
      {1, "txt", "Comma Delimited without titles |*.txt||"},
      {2, "csv", "CSV - comma delimited  with titles|*.csv||"},
      {3, "csv", "CSV - comma delimited w/out titles |*.csv||"},
      {4, "txt", "Text - Tab delimited with titles|*.txt||"},
      {5, "txt", "Text - Tab delimited w/out titles |*.txt||"},
      {6, "txt", "Fixed Field Length with titles |*.txt||"},
      {7, "txt", "Fixed Field Length w/out titles |*.txt||"},
      {8, "xls", "Excel worksheet |*.xls||"},
      {9, "dbf", "dBase |*.dbf||"},
      {10, "mdb", "Access |*.mdb||"},
      {11, "xlsx", "Excel workbook |*.xlsx||"},
  };
  for (const auto& c : cases) {
    const ExportTypeInfo& t = *FindExportType(c.type);
    EXPECT_EQ(DefaultExtension(t.label), c.extension) << c.type;
    EXPECT_EQ(t.extension, c.extension) << c.type;
    EXPECT_EQ(DestinationFilter(t.label), c.filter) << c.type;
  }
  auto titles = [](int type) { return FindExportType(type)->titles; };
  EXPECT_TRUE(titles(0) && !titles(1) && titles(6) && !titles(7));
  EXPECT_TRUE(titles(8) && titles(9) && titles(10));
  EXPECT_EQ(FindExportType(kDBase)->names.width, 9);
  EXPECT_EQ(FindExportType(kAccess)->names.width, 49);
  EXPECT_EQ(FindExportType(12), nullptr);
  EXPECT_EQ(FindExportType(-1), nullptr);
}

TEST(ExportState, StartsWithFixedListsAndClearFlags) {
  ExportState state;
  ASSERT_EQ(state.module_list.entries.size(), 17u);
  EXPECT_EQ(state.module_list.entries[16], "Fixed Assets");
  EXPECT_FALSE(state.module_list.HasCurrent());
  ASSERT_EQ(state.export_type_list.entries.size(), 12u);
  EXPECT_EQ(state.export_type_list.current, 0);
  EXPECT_EQ(state.default_extension(), "txt");
  EXPECT_FALSE(state.modified);
  state.loading = true;
  state.MarkModified();
  EXPECT_FALSE(state.modified);
  state.loading = false;
  state.MarkModified();
  EXPECT_TRUE(state.modified);
}

}  // namespace
}  // namespace rh
