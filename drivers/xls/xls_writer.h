// An Excel 97-2003 (.xls, BIFF8) workbook with one worksheet holding one
// table: the column names in row 1, one row per added record below, and a
// workbook-level defined name, named like the sheet, that covers the table.
//
// Texts arrive as Windows-1252 bytes and are stored as Unicode in the shared
// string table. The shared string table precedes the sheet in the file, so
// rows are kept in memory, already encoded, until Write(); a sheet holds at
// most 65536 rows, which bounds that memory.
//
// Errors carry an SQLSTATE as caption, as the driver reports them.
#ifndef RECORDHAUL_DRIVERS_XLS_XLS_WRITER_H_
#define RECORDHAUL_DRIVERS_XLS_XLS_WRITER_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/env.h"
#include "base/status.h"

namespace rh::xls {

inline constexpr int kMaxColumns = 256;
inline constexpr int kMaxSheetRows = 65536;    // the name row included
inline constexpr size_t kMaxTextLength = 32767;  // characters in one cell

struct Cell {
  enum class Kind { kEmpty, kNumber, kText, kDate };
  Kind kind = Kind::kEmpty;
  double number = 0;      // kDate: the serial number, days from 1899-12-30
  std::string_view text;  // Windows-1252

  static Cell Number(double v) { return {Kind::kNumber, v, {}}; }
  static Cell Text(std::string_view t) { return {Kind::kText, 0, t}; }
  static Cell Date(double serial) { return {Kind::kDate, serial, {}}; }
};

// Whether `name` can be both the sheet's name and a defined name: a letter
// or "_" first, then letters, digits, "_" or ".", at most 31 characters, and
// not a cell reference such as A1.
bool IsValidTableName(std::string_view name);

class SheetWriter {
 public:
  // Names are Windows-1252. Fails for an invalid table name, no columns,
  // more than kMaxColumns columns, or a column name longer than
  // kMaxTextLength. With `date_style` the workbook has a cell style that
  // shows numbers as mm/dd/yyyy, which date cells use; without it date
  // cells are refused and the workbook is as it always was.
  static Result<std::unique_ptr<SheetWriter>> Create(
      std::string table_name, const std::vector<std::string>& column_names,
      bool date_style = false);

  // Appends one data row; cells past the last given one stay empty. Fails,
  // changing nothing, when the row would lie past sheet row kMaxSheetRows,
  // holds more cells than columns or a text longer than kMaxTextLength.
  Status AddRow(std::span<const Cell> cells);

  // Writes the whole workbook to `file` (not closed).
  Status Write(WritableFile* file) const;

  int column_count() const { return column_count_; }
  int data_rows() const { return rows_ - 1; }

 private:
  SheetWriter(std::string table_name, int column_count);

  uint32_t StringIndex(std::string_view text);
  void PutTextCell(int row, int col, std::string_view text);
  void PutNumberCell(int row, int col, double v, uint16_t xf);

  std::string table_name_;
  int column_count_;
  bool date_style_ = false;
  int rows_ = 0;             // rows used, the name row included
  uint32_t string_refs_ = 0;  // text cells, for the shared string table
  // Looks texts up without copying them into a std::string first.
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view t) const { return std::hash<std::string_view>()(t); }
  };
  // Unique texts, in order of first use; the map gives their index.
  std::unordered_map<std::string, uint32_t, TextHash, std::equal_to<>> string_index_;
  std::vector<const std::string*> strings_;
  std::string cells_;        // the sheet's cell records
};

}  // namespace rh::xls

#endif  // RECORDHAUL_DRIVERS_XLS_XLS_WRITER_H_
