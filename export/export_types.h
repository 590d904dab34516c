// The export types: one row each, in the order of the export-type list.
// Everything that asks what a type is reads its row: its label, extension,
// family, title line, text layout, export-name rules, table target and the
// writer that serves it. A new type is one row and one writer.
#ifndef RECORDHAUL_EXPORT_EXPORT_TYPES_H_
#define RECORDHAUL_EXPORT_EXPORT_TYPES_H_

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "base/env.h"
#include "base/messages.h"
#include "export/export_options.h"
#include "export/record_writer.h"
#include "export/run_observer.h"
#include "export/table_connection.h"
#include "selection/field_selection.h"

namespace rh {

// The indices of the list, for code and tests that name a type.
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
  kExcelWorkbook = 11,
};

enum class ExportFamily {
  kText,   // a text file, written directly; may be appended to
  // A table: one per file, with named columns; always replaced, never
  // appended to. Created through a TableConnection, or (no table target)
  // written by the type's own writer.
  kTable,
};

// How a text type separates its values.
enum class TextLayout {
  kQuoted,  // "value","value": every value in double quotes, quotes doubled
  kTab,     // value<TAB>value
  kFixed,   // fixed-width columns, no separators
};

// What a writer is made from.
struct WriterSetup {
  Env* env = nullptr;
  std::string path;           // the resolved destination
  RunObserver* observer = nullptr;
  ConnectionOpener opener;    // how the table types connect
  ExportOptions options;
};

// What a table type connects to, and the texts of its two failures.
struct TableInfo {
  TableTarget target = TableTarget::kNone;
  MessageId creation_failure = MessageId::kNone;  // "Error #11"
  MessageId insert_failure = MessageId::kNone;    // "Error #10"
};

struct ExportTypeInfo {
  int index;
  std::string_view label;      // the list's text, character for character
  std::string_view extension;  // the characters after the label's "*."
  ExportFamily family;
  bool titles;                 // text: a title line; tables always name columns
  TextLayout layout;           // text types
  TableInfo table;             // table types
  ExportNameRules names;
  MessageId destination_exists;  // the question before an existing one is touched
  MessageId data_file_open_fail; // "Error #6", worded by family
  std::unique_ptr<RecordWriter> (*make_writer)(const ExportTypeInfo& type,
                                               const WriterSetup& setup);
};

std::span<const ExportTypeInfo> ExportTypes();

// The row of an index of the list, or nullptr for an index with none.
const ExportTypeInfo* FindExportType(int index);

// The characters after the label's first "*." up to its ")".
std::string DefaultExtension(std::string_view label);

// The label with its first "(" made "|" and its first ")" made "||", and
// nothing after that: "dBase |*.dbf||".
std::string DestinationFilter(std::string_view label);

}  // namespace rh

#endif  // RECORDHAUL_EXPORT_EXPORT_TYPES_H_
