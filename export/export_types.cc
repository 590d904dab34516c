#include "export/export_types.h"

#include <array>

#include "export/table_writer.h"
#include "export/text_writer.h"
#include "export/xlsx_writer.h"

namespace rh {

namespace {

constexpr ExportNameRules kNames{49, false};
constexpr ExportNameRules kDBaseNames{9, true};

using F = ExportFamily;
using L = TextLayout;
using T = TableTarget;
using M = MessageId;

constexpr TableInfo kText{};
constexpr MessageId kTextExists = M::kTextDestinationExists;
constexpr MessageId kTableExists = M::kTableDestinationExists;
constexpr MessageId kTextOpenFail = M::kDataFileOpenFailText;
constexpr MessageId kTableOpenFail = M::kDataFileOpenFailTable;

constexpr std::array<ExportTypeInfo, 12> kExportTypes = {{
    {kCommaWithTitles, "Comma Delimited  with titles (*.txt)", "txt", F::kText, true,
     L::kQuoted, kText, kNames, kTextExists, kTextOpenFail, &MakeTextWriter},
    {kCommaWithoutTitles, "Comma Delimited without titles (*.txt)", "txt", F::kText, false,
     L::kQuoted, kText, kNames, kTextExists, kTextOpenFail, &MakeTextWriter},
    {kCsvWithTitles, "CSV - comma delimited  with titles(*.csv)", "csv", F::kText, true,
     L::kQuoted, kText, kNames, kTextExists, kTextOpenFail, &MakeTextWriter},
    {kCsvWithoutTitles, "CSV - comma delimited w/out titles (*.csv)", "csv", F::kText, false,
     L::kQuoted, kText, kNames, kTextExists, kTextOpenFail, &MakeTextWriter},
    {kTabWithTitles, "Text - Tab delimited with titles(*.txt)", "txt", F::kText, true, L::kTab,
     kText, kNames, kTextExists, kTextOpenFail, &MakeTextWriter},
    {kTabWithoutTitles, "Text - Tab delimited w/out titles (*.txt)", "txt", F::kText, false,
     L::kTab, kText, kNames, kTextExists, kTextOpenFail, &MakeTextWriter},
    {kFixedWithTitles, "Fixed Field Length with titles (*.txt)", "txt", F::kText, true,
     L::kFixed, kText, kNames, kTextExists, kTextOpenFail, &MakeTextWriter},
    {kFixedWithoutTitles, "Fixed Field Length w/out titles (*.txt)", "txt", F::kText, false,
     L::kFixed, kText, kNames, kTextExists, kTextOpenFail, &MakeTextWriter},
    {kExcel, "Excel worksheet (*.xls)", "xls", F::kTable, true, L::kQuoted,
     {T::kExcel, M::kCreateFailExcel, M::kInsertFailExcel}, kNames, kTableExists, kTableOpenFail,
     &MakeTableWriter},
    {kDBase, "dBase (*.dbf)", "dbf", F::kTable, true, L::kQuoted,
     {T::kDBase, M::kCreateFailDBase, M::kInsertFailDBase}, kDBaseNames, kTableExists,
     kTableOpenFail, &MakeTableWriter},
    {kAccess, "Access (*.mdb)", "mdb", F::kTable, true, L::kQuoted,
     {T::kAccess, M::kCreateFailAccess, M::kInsertFailAccess}, kNames, kTableExists,
     kTableOpenFail, &MakeTableWriter},
    {kExcelWorkbook, "Excel workbook (*.xlsx)", "xlsx", F::kTable, true, L::kQuoted,
     {T::kNone, M::kNone, M::kNone}, kNames, kTableExists, kTableOpenFail, &MakeXlsxWriter},
}};

}  // namespace

std::span<const ExportTypeInfo> ExportTypes() { return kExportTypes; }

const ExportTypeInfo* FindExportType(int index) {
  if (index < 0 || static_cast<size_t>(index) >= kExportTypes.size()) return nullptr;
  return &kExportTypes[static_cast<size_t>(index)];
}

std::string DefaultExtension(std::string_view label) {
  size_t star = label.find("*.");
  if (star == std::string_view::npos) return {};
  size_t close = label.find(')', star);
  return std::string(label.substr(star + 2, close == std::string_view::npos ? 3 : close - star - 2));
}

std::string DestinationFilter(std::string_view label) {
  size_t open = label.find('(');
  size_t close = label.find(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open)
    return std::string(label);
  std::string filter(label.substr(0, open));
  filter += '|';
  filter += label.substr(open + 1, close - open - 1);
  filter += "||";
  return filter;
}

}  // namespace rh
