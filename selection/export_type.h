// The eleven export types: the index of the export-type list.
#ifndef RECORDHAUL_SELECTION_EXPORT_TYPE_H_
#define RECORDHAUL_SELECTION_EXPORT_TYPE_H_

#include <array>
#include <string>
#include <string_view>

namespace rh {

enum ExportType : int {
  kCommaWithTitles = 0,
  kCommaWithoutTitles = 1,
  kCsvWithTitles = 2,
  kCsvWithoutTitles = 3,
  kTabWithTitles = 4,
  kTabWithoutTitles = 5,
  kFixedWithTitles = 6,
  kFixedWithoutTitles = 7,
  kExcel = 8,
  kDBase = 9,
  kAccess = 10,
};

inline constexpr int kExportTypeCount = 11;

// The list's labels, character for character.
inline constexpr std::array<std::string_view, kExportTypeCount> kExportTypeLabels = {
    "Comma Delimited  with titles (*.txt)",
    "Comma Delimited without titles (*.txt)",
    "CSV - comma delimited  with titles(*.csv)",
    "CSV - comma delimited w/out titles (*.csv)",
    "Text - Tab delimited with titles(*.txt)",
    "Text - Tab delimited w/out titles (*.txt)",
    "Fixed Field Length with titles (*.txt)",
    "Fixed Field Length w/out titles (*.txt)",
    "Excel worksheet (*.xls)",
    "dBase (*.dbf)",
    "Access (*.mdb)",
};

inline bool IsValidExportType(int type) { return type >= 0 && type < kExportTypeCount; }
inline bool IsTextExport(int type) { return type >= 0 && type <= 7; }
inline bool HasTitles(int type) { return type >= 8 || (type >= 0 && type % 2 == 0); }

// The three characters after the label's first "*.".
std::string DefaultExtension(std::string_view label);

// The label with its first "(" made "|" and its first ")" made "||", and
// nothing after that: "dBase |*.dbf||".
std::string DestinationFilter(std::string_view label);

// How long export names may be: 9 for dBase, 49 otherwise.
inline int ExportNameWidth(int type) { return type == kDBase ? 9 : 49; }

}  // namespace rh

#endif  // RECORDHAUL_SELECTION_EXPORT_TYPE_H_
