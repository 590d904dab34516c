#include "export/text_writer.h"

#include "export/value_format.h"
#include "selection/export_type.h"

namespace rh {

namespace {

Status OpenFailed() { return Status::Error("Error #8", "File could not be opened"); }
Status WriteFailed() { return Status::Error("Error #8", "File could not be written"); }

// The column width of a fixed-width value and its title; 0 for a text field
// (its own length) or a field with no value.
int FixedWidth(FieldSource source) {
  switch (source) {
    case FieldSource::kCurrentRecord: return 8;
    case FieldSource::kModuleCode: return 4;
    case FieldSource::kFileNumber: return 2;
    case FieldSource::kTodaysDate: return 8;
    case FieldSource::kCompanyNumber: return 2;
    case FieldSource::kD: return 17;
    case FieldSource::kI: return 6;
    case FieldSource::kL: return 8;
    case FieldSource::kY: return 3;
    case FieldSource::kF: return 10;
    case FieldSource::kJ: return 10;
    default: return 0;
  }
}

// A comma-type value: quotes doubled so that every reader splits it right.
void AppendQuotedContent(std::string* line, std::string_view text) {
  for (;;) {
    size_t q = text.find('"');
    if (q == std::string_view::npos) break;
    AppendTextMode(line, text.substr(0, q + 1));
    line->push_back('"');
    text.remove_prefix(q + 1);
  }
  AppendTextMode(line, text);
}

std::string_view TrimSpaces(std::string_view t) {
  size_t b = t.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  return t.substr(b, t.find_last_not_of(' ') - b + 1);
}

}  // namespace

TextWriter::TextWriter(Env* env, std::string path, int export_type)
    : env_(env),
      path_(std::move(path)),
      type_(export_type),
      quoted_(export_type <= kCsvWithoutTitles),
      fixed_(export_type >= kFixedWithTitles) {}

TextWriter::~TextWriter() { Abort(); }

bool TextWriter::ConfirmExisting(Platform& ui) {
  Answer a = ui.Message("Destination file already exists.\nClick Yes to append, No to overwrite.",
                        "Warning", MessageStyle::kYesNoCancelQuestion);
  append_ = a == Answer::kYes;
  return a == Answer::kYes || a == Answer::kNo;
}

Status TextWriter::OpenDestination() {
  FileKind kind = env_->GetFileKind(path_);
  if (kind == FileKind::kDirectory) return OpenFailed();
  if (append_) {
    auto size = env_->FileSize(path_);
    auto file = size.ok() ? env_->OpenWritable(path_, WriteMode::kAppend)
                          : Result<std::unique_ptr<WritableFile>>(size.status());
    if (!file.ok()) return OpenFailed();
    original_size_ = *size;
    direct_ = std::move(file).value();
    out_ = direct_.get();
    return Status();
  }
  if (kind == FileKind::kOther) {  // a device or pipe: written in place
    auto file = env_->OpenWritable(path_, WriteMode::kCreateTruncate);
    if (!file.ok()) return OpenFailed();
    direct_ = std::move(file).value();
    out_ = direct_.get();
    return Status();
  }
  if (kind == FileKind::kRegular) {
    // A file we may not write is not replaced behind its back.
    auto probe = env_->OpenWritable(path_, WriteMode::kOverwriteStart);
    if (!probe.ok()) return OpenFailed();
    (*probe)->Close();
  }
  auto replacement = FileReplacement::Begin(env_, path_);
  if (!replacement.ok()) return OpenFailed();
  replacement_ = std::move(replacement).value();
  out_ = replacement_->file();
  return Status();
}

Status TextWriter::Write(std::string_view bytes) {
  if (write_status_.ok() && !out_->Append(bytes).ok()) write_status_ = WriteFailed();
  return write_status_;
}

void TextWriter::AppendSeparator(std::string* line, bool last) const {
  if (quoted_) line->append(last ? "\"" : "\",");
  else if (!fixed_ && !last) line->push_back('\t');
}

Status TextWriter::Begin(const WriterInput& input) {
  input_ = &input;
  if (!HasTitles(type_)) return Status();
  line_.clear();
  for (size_t j = 0; j < input.rows.size(); ++j) {
    const BoundRow& row = input.rows[j];
    if (fixed_) {
      if (row.field.source == FieldSource::kT) {
        AppendCutLeft(&line_, row.export_name, row.field.text_size);
      } else if (int width = FixedWidth(row.field.source); width > 0) {
        AppendCutRight(&line_, row.export_name, width);
      }
      continue;
    }
    if (quoted_) {
      line_.push_back('"');
      AppendQuotedContent(&line_, row.export_name);
    } else {
      AppendTextMode(&line_, row.export_name);
    }
    AppendSeparator(&line_, j + 1 == input.rows.size());
  }
  line_.append("\r\n");
  return Write(line_);
}

void TextWriter::AppendValue(std::string* line, const BoundRow& row, const FieldValue& v) const {
  const int width = fixed_ ? FixedWidth(v.source) : 0;
  switch (v.source) {
    case FieldSource::kNone: break;
    case FieldSource::kCurrentRecord:
    case FieldSource::kFileNumber:
    case FieldSource::kI:
    case FieldSource::kL:
    case FieldSource::kY: AppendInt(line, v.integer, width); break;
    case FieldSource::kD: AppendReal(line, v.real, width); break;
    case FieldSource::kF: AppendTenThousandths(line, v.integer, width); break;
    case FieldSource::kModuleCode:
    case FieldSource::kTodaysDate:
    case FieldSource::kCompanyNumber:
    case FieldSource::kJ: line->append(v.text()); break;
    case FieldSource::kT:
      if (fixed_) {
        // Padded to the field's length so a NUL never shifts later columns.
        AppendTextMode(line, v.text());
        line->append(static_cast<size_t>(row.field.text_size) - v.text().size(), ' ');
      } else if (quoted_) {
        AppendQuotedContent(line, TrimSpaces(v.text()));
      } else {
        AppendTextMode(line, TrimSpaces(v.text()));
      }
      break;
  }
}

Status TextWriter::WriteRecord(const uint8_t* record, int32_t record_number, int32_t exported) {
  line_.clear();
  if (exported > 1) line_.append("\r\n");
  const auto& rows = input_->rows;
  for (size_t j = 0; j < rows.size(); ++j) {
    if (quoted_) line_.push_back('"');
    AppendValue(&line_, rows[j], GetValue(record, record_number, rows[j].field, input_->values));
    AppendSeparator(&line_, j + 1 == rows.size());
  }
  return Write(line_);
}

Status TextWriter::Finish() {
  Status s = Write("\r\n");
  if (s.ok() && replacement_) {
    s = replacement_->Commit().ok() ? Status() : WriteFailed();
    replacement_.reset();
  } else if (s.ok() && direct_) {
    s = direct_->Close().ok() ? Status() : WriteFailed();
    if (!s.ok() && append_) env_->Truncate(path_, original_size_);
    direct_.reset();
  }
  if (!s.ok()) Abort();
  out_ = nullptr;
  return s;
}

void TextWriter::Abort() {
  if (replacement_) replacement_->Abandon();
  replacement_.reset();
  if (direct_) {
    direct_->Close();
    if (append_) env_->Truncate(path_, original_size_);
  }
  direct_.reset();
  out_ = nullptr;
}

}  // namespace rh
