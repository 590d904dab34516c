#include "export/xlsx_writer.h"

#include <sys/statvfs.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/cp1252.h"
#include "export/value_format.h"

namespace rh {

namespace {

constexpr char kSheetName[] = "KVTdatatool";
constexpr char kDateFormat[] = "mm/dd/yyyy";
constexpr double kMaxColumnWidth = 255;
constexpr size_t kCopyChunk = 1 << 20;

// The characters a value of the field takes, as the fixed-width text
// export lays it out; dates take ten.
int ValueWidth(const BoundField& field) {
  switch (field.source) {
    case FieldSource::kT: return field.text_size;
    case FieldSource::kCurrentRecord: return 8;
    case FieldSource::kModuleCode: return 4;
    case FieldSource::kFileNumber:
    case FieldSource::kCompanyNumber: return 2;
    case FieldSource::kD: return 17;
    case FieldSource::kF: return 10;
    case FieldSource::kI: return 6;
    case FieldSource::kL: return 8;
    case FieldSource::kY: return 3;
    case FieldSource::kTodaysDate:
    case FieldSource::kJ: return 10;
    case FieldSource::kNone: break;
  }
  return 0;
}

std::string_view TrimTrailingBlanks(std::string_view t) {
  while (!t.empty() && t.back() == ' ') t.remove_suffix(1);
  return t;
}

// 1048575 as "1,048,575".
std::string GroupedNumber(int64_t n) {
  std::string digits = std::to_string(n), out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out.push_back(',');
    out.push_back(digits[i]);
  }
  return out;
}

}  // namespace

XlsxWriter::XlsxWriter(const ExportTypeInfo&, const WriterSetup& setup, int64_t max_rows)
    : env_(setup.env), path_(setup.path), max_rows_(max_rows) {}

std::unique_ptr<RecordWriter> MakeXlsxWriter(const ExportTypeInfo& type,
                                             const WriterSetup& setup) {
  return std::make_unique<XlsxWriter>(type, setup);
}

XlsxWriter::~XlsxWriter() { Abort(); }

bool XlsxWriter::ConfirmExisting(RunObserver& ui) {
  // A workbook is replaced whole, once the new one is complete.
  return ui.Ask(MessageId::kTableDestinationExists) == Answer::kYes;
}

Status XlsxWriter::Failed(MessageId id, int error) const {
  return Status::Of(id).WithDetail(MessageId::kDetailWorkbookLibrary,
                                   {lxw_strerror(static_cast<lxw_error>(error))});
}

Status XlsxWriter::OpenDestination() {
  if (env_->GetFileKind(path_) == FileKind::kRegular) {
    // A file we may not write is not replaced behind its back.
    auto probe = env_->OpenWritable(path_, WriteMode::kOverwriteStart);
    if (!probe.ok()) return Status::Of(MessageId::kFileOpenFail);
    (*probe)->Close().IgnoreError();
  }
  auto replacement = FileReplacement::Begin(env_, path_);
  if (!replacement.ok()) return Status::Of(MessageId::kFileOpenFail);
  replacement_ = std::move(replacement).value();

  scratch_folder_ = TemporaryFolder();
  auto scratch = ScratchFile::Create(scratch_folder_);
  if (!scratch.ok()) {
    return Status::Of(MessageId::kFileOpenFail)
        .WithDetail(MessageId::kDetailTemporaryFolder,
                    {scratch_folder_, scratch.status().message()});
  }
  scratch_ = std::move(scratch).value();
  lxw_workbook_options options = {};
  options.constant_memory = LXW_TRUE;
  options.tmpdir = scratch_folder_.data();
  // Past 4 GB of sheet text the package needs 64-bit sizes; every reader of
  // today's workbooks knows them.
  options.use_zip64 = LXW_TRUE;
  workbook_ = workbook_new_opt(scratch_->path().c_str(), &options);
  if (workbook_ != nullptr) sheet_ = workbook_add_worksheet(workbook_, kSheetName);
  if (sheet_ == nullptr) return Failed(MessageId::kFileOpenFail, LXW_ERROR_CREATING_TMPFILE);
  names_format_ = workbook_add_format(workbook_);
  format_set_bold(names_format_);
  date_format_ = workbook_add_format(workbook_);
  format_set_num_format(date_format_, kDateFormat);
  return Status();
}

Status XlsxWriter::Begin(const WriterInput& input) {
  input_ = &input;
  columns_.clear();
  for (size_t i = 0; i < input.rows.size(); ++i) {
    const BoundRow& row = input.rows[i];
    if (row.field.source == FieldSource::kNone) continue;  // as the table types
    const Column column{i, static_cast<int>(columns_.size())};
    const auto c = static_cast<lxw_col_t>(column.number);
    const std::string name = Cp1252ToUtf8(row.export_name);
    // Room for the name and the filter's button beside it.
    const double width = std::max<double>(ValueWidth(row.field), name.size() + 3.0) + 1;
    lxw_error e = worksheet_set_column(sheet_, c, c, std::min(width, kMaxColumnWidth), nullptr);
    if (e == LXW_NO_ERROR) e = worksheet_write_string(sheet_, 0, c, name.c_str(), names_format_);
    if (e != LXW_NO_ERROR) return Failed(MessageId::kFileWriteFail, e);
    columns_.push_back(column);
  }
  worksheet_freeze_panes(sheet_, 1, 0);
  return Status();
}

Status XlsxWriter::WriteText(int32_t row, int column, std::string_view cp1252) {
  if (cp1252.empty()) return Status();
  text_ = Cp1252ToUtf8(cp1252);
  lxw_error e = worksheet_write_string(sheet_, static_cast<lxw_row_t>(row),
                                       static_cast<lxw_col_t>(column), text_.c_str(), nullptr);
  return e == LXW_NO_ERROR ? Status() : Failed(MessageId::kFileWriteFail, e);
}

Status XlsxWriter::WriteCell(int32_t row, const Column& column, const FieldValue& v) {
  const auto r = static_cast<lxw_row_t>(row);
  const auto c = static_cast<lxw_col_t>(column.number);
  double number = 0;
  lxw_format* format = nullptr;
  switch (v.source) {
    case FieldSource::kCurrentRecord:
    case FieldSource::kFileNumber:
    case FieldSource::kI:
    case FieldSource::kL:
    case FieldSource::kY: number = v.integer; break;
    case FieldSource::kF:
    case FieldSource::kD:
      if (!std::isfinite(v.real)) {
        char text[kMaxNumberChars];
        return WriteText(row, column.number,
                         std::string_view(text, static_cast<size_t>(FormatReal(text, v.real) - text)));
      }
      number = v.real;
      break;
    case FieldSource::kJ: {
      const auto date = DayNumberDate(v.integer);
      if (!date) return Status();
      if (v.integer < kFirstSharedSpreadsheetDay) return WriteText(row, column.number, v.text());
      number = v.integer;
      format = date_format_;
      break;
    }
    case FieldSource::kTodaysDate:
      if (input_->values.today == nullptr) return Status();
      number = static_cast<double>(DaysFrom1899(input_->values.today->Date()));
      format = date_format_;
      break;
    case FieldSource::kT: return WriteText(row, column.number, TrimTrailingBlanks(v.text()));
    case FieldSource::kModuleCode:
    case FieldSource::kCompanyNumber: return WriteText(row, column.number, v.text());
    case FieldSource::kNone: return Status();
  }
  lxw_error e = worksheet_write_number(sheet_, r, c, number, format);
  return e == LXW_NO_ERROR ? Status() : Failed(MessageId::kFileWriteFail, e);
}

Status XlsxWriter::WriteRecord(const uint8_t* record, int32_t record_number, int32_t exported) {
  if (exported > max_rows_)
    return Status::Of(MessageId::kWorkbookRowLimit, {GroupedNumber(max_rows_)});
  for (const Column& column : columns_) {
    const BoundRow& row = input_->rows[column.row];
    Status s = WriteCell(exported, column, GetValue(record, record_number, row.field, input_->values));
    if (!s.ok()) return s;
  }
  rows_ = exported;
  // The library does not check its own writes: a full temporary folder shows
  // only in its file's error mark.
  if ((rows_ & 0xFFFF) == 0 && std::ferror(sheet_->optimize_tmpfile))
    return TemporaryFolderFailed(MessageId::kFileErrorGeneric);
  return Status();
}

Status XlsxWriter::CheckScratchSpace() const {
  // Closing copies the sheet's rows once more and then packs them: that
  // much room must be free, or the library would cut the copy short
  // without a word.
  const long rows_bytes = std::ftell(sheet_->optimize_tmpfile);
  struct statvfs fs;
  if (rows_bytes < 0 || ::statvfs(scratch_folder_.c_str(), &fs) != 0) return Status();
  const double free = static_cast<double>(fs.f_bavail) * static_cast<double>(fs.f_frsize);
  if (free >= 1.5 * static_cast<double>(rows_bytes)) return Status();
  return TemporaryFolderFailed(MessageId::kFileErrorDiskFull);
}

Status XlsxWriter::TemporaryFolderFailed(MessageId why) const {
  return Status::Of(MessageId::kFileWriteFail)
      .WithDetail(MessageId::kDetailTemporaryFolder,
                  {scratch_folder_, MessageText(why, {scratch_folder_})});
}

Status XlsxWriter::CompleteWorkbook() {
  const auto last_row = static_cast<lxw_row_t>(rows_);
  const auto last_column = static_cast<lxw_col_t>(columns_.empty() ? 0 : columns_.size() - 1);
  if (!columns_.empty()) {
    char range[64];
    lxw_rowcol_to_range_abs(range, 0, 0, last_row, last_column);
    const std::string formula = std::string("=") + kSheetName + "!" + range;
    workbook_define_name(workbook_, kSheetName, formula.c_str());
    worksheet_autofilter(sheet_, 0, 0, last_row, last_column);
  }
  lxw_worksheet_write_single_row(sheet_);
  if (std::fflush(sheet_->optimize_tmpfile) != 0 || std::ferror(sheet_->optimize_tmpfile))
    return TemporaryFolderFailed(MessageId::kFileErrorGeneric);
  if (Status s = CheckScratchSpace(); !s.ok()) return s;
  const lxw_error e = workbook_close(workbook_);  // frees the workbook either way
  workbook_ = nullptr;
  sheet_ = nullptr;
  return e == LXW_NO_ERROR ? Status() : Failed(MessageId::kFileWriteFail, e);
}

Status XlsxWriter::CopyScratch() {
  std::string chunk(kCopyChunk, '\0');
  for (uint64_t offset = 0;;) {
    auto n = scratch_->ReadAt(offset, chunk.data(), chunk.size());
    if (!n.ok()) return Status::Of(MessageId::kFileWriteFail);
    if (*n == 0) return Status();
    if (!replacement_->file()->Append(std::string_view(chunk.data(), *n)).ok())
      return Status::Of(MessageId::kFileWriteFail);
    offset += *n;
  }
}

Status XlsxWriter::Finish() {
  Status s = CompleteWorkbook();
  if (s.ok()) s = CopyScratch();
  if (s.ok()) s = replacement_->Commit().ok() ? Status() : Status::Of(MessageId::kFileWriteFail);
  replacement_.reset();
  Abort();
  return s;
}

void XlsxWriter::DropWorkbook() {
  if (workbook_ == nullptr) return;
  // The library closes the rows' temporary file only while closing the
  // workbook; one that is dropped must not keep it, and its disk space, open.
  if (sheet_ != nullptr && sheet_->optimize_tmpfile != nullptr) {
    std::fclose(sheet_->optimize_tmpfile);
    sheet_->optimize_tmpfile = nullptr;
    sheet_->file = nullptr;
  }
  lxw_workbook_free(workbook_);
  workbook_ = nullptr;
  sheet_ = nullptr;
}

void XlsxWriter::Abort() {
  DropWorkbook();
  if (replacement_) replacement_->Abandon();
  replacement_.reset();
  scratch_.reset();
}

}  // namespace rh
