// The workbook writer: export type 11, an Excel workbook (.xlsx) written with
// libxlsxwriter in its constant-memory mode (one row in memory at a time).
//
// One worksheet, KVTdatatool, and a defined name of the same name over its
// table. Row 1 holds the export names, bold, frozen and with an autofilter;
// the column widths follow the fields' lengths. Numbers are number cells;
// J fields and "Today's Date" are date cells shown as mm/dd/yyyy; texts
// lose their trailing blanks. Cells a spreadsheet cannot hold as numbers or
// dates keep the text the text exports show:
//   - a day number that shows no date (day 0 or less, 73050 or more, and 60,
//     the 02/29/1900 that never was) is an empty cell;
//   - days 1 to 59 (January and February 1900) are text, as spreadsheet
//     programs disagree about the serial numbers below 61;
//   - a D value of NaN or infinity is its text ("nan", "-inf").
// From day 61 on a day number is the cell's serial number.
//
// The library writes the workbook by path into a scratch file; Finish()
// copies it through the Env into a file beside the destination and renames
// that over the destination, so an existing destination is replaced only by
// a complete workbook. A data file with more records than a worksheet has
// rows stops the run and writes nothing.
#ifndef RECORDHAUL_EXPORT_XLSX_WRITER_H_
#define RECORDHAUL_EXPORT_XLSX_WRITER_H_

#include <memory>
#include <string>
#include <vector>

#include "base/file_replacement.h"
#include "base/scratch_file.h"
#include "export/export_types.h"
#include "export/record_writer.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace rh {

class XlsxWriter : public RecordWriter {
 public:
  // The rows of a worksheet below its names' row.
  static constexpr int64_t kMaxDataRows = 1048575;

  // `max_rows` stands in for kMaxDataRows (tests).
  XlsxWriter(const ExportTypeInfo& type, const WriterSetup& setup,
             int64_t max_rows = kMaxDataRows);
  ~XlsxWriter() override;

  const std::string& file() const override { return path_; }
  bool ConfirmExisting(RunObserver& ui) override;
  Status OpenDestination() override;
  Status Begin(const WriterInput& input) override;
  Status WriteRecord(const uint8_t* record, int32_t record_number, int32_t exported) override;
  Status Finish() override;
  void Abort() override;

 private:
  struct Column {
    size_t row;  // of the input
    int number;  // the sheet's column
  };
  Status Failed(MessageId id, int error) const;
  Status WriteCell(int32_t row, const Column& column, const FieldValue& v);
  Status WriteText(int32_t row, int column, std::string_view cp1252);
  Status CheckScratchSpace() const;
  // The library's temporary files could not be written (`why`: a file
  // error message about the folder).
  Status TemporaryFolderFailed(MessageId why) const;
  Status CompleteWorkbook();
  Status CopyScratch();
  void DropWorkbook();

  Env* env_;
  std::string path_;
  int64_t max_rows_;
  std::unique_ptr<FileReplacement> replacement_;
  std::unique_ptr<ScratchFile> scratch_;
  std::string scratch_folder_;
  lxw_workbook* workbook_ = nullptr;
  lxw_worksheet* sheet_ = nullptr;
  lxw_format* names_format_ = nullptr;
  lxw_format* date_format_ = nullptr;
  const WriterInput* input_ = nullptr;
  std::vector<Column> columns_;
  int32_t rows_ = 0;   // data rows written
  std::string text_;   // a cell's UTF-8, reused
};

// The writer of the workbook type, for its row of the type table.
std::unique_ptr<RecordWriter> MakeXlsxWriter(const ExportTypeInfo& type,
                                             const WriterSetup& setup);

}  // namespace rh

#endif  // RECORDHAUL_EXPORT_XLSX_WRITER_H_
