#include "app/preview.h"

#include "app/export_command.h"
#include "base/cp1252.h"
#include "data/data_file_reader.h"
#include "export/value_format.h"

namespace rh {

namespace {

bool IsNumeric(FieldSource source) {
  switch (source) {
    case FieldSource::kCurrentRecord:
    case FieldSource::kFileNumber:
    case FieldSource::kD:
    case FieldSource::kF:
    case FieldSource::kI:
    case FieldSource::kL:
    case FieldSource::kY: return true;
    default: return false;
  }
}

std::string_view TrimSpaces(std::string_view t) {
  const size_t b = t.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  return t.substr(b, t.find_last_not_of(' ') - b + 1);
}

// The value as the comma-delimited types write it, without the quotes.
std::string ValueText(const FieldValue& v) {
  char buf[kMaxNumberChars];
  switch (v.source) {
    case FieldSource::kNone: return {};
    case FieldSource::kCurrentRecord:
    case FieldSource::kFileNumber:
    case FieldSource::kI:
    case FieldSource::kL:
    case FieldSource::kY: return std::string(buf, FormatInt(buf, v.integer));
    case FieldSource::kD: return std::string(buf, FormatReal(buf, v.real));
    case FieldSource::kF: return std::string(buf, FormatTenThousandths(buf, v.integer));
    case FieldSource::kT: return Cp1252ToUtf8(TrimSpaces(v.text()));
    case FieldSource::kModuleCode:
    case FieldSource::kTodaysDate:
    case FieldSource::kCompanyNumber:
    case FieldSource::kJ: return Cp1252ToUtf8(v.text());
  }
  return {};
}

}  // namespace

Result<PreviewTable> BuildPreview(Env* env, const ExportRequest& request, int limit) {
  auto job = BuildExportJob(env, request);
  if (!job.ok()) return job.status();
  const DataFileLocation where{job->data_dir, job->system_dir, job->module_code, job->company,
                               job->file_number};
  const MessageId open_failure =
      job->type != nullptr ? job->type->data_file_open_fail : MessageId::kDataFileOpenFailText;
  auto reader = DataFileReader::Open(env, where, job->layout.record_length(), open_failure);
  if (!reader.ok()) return reader.status();
  auto header = (*reader)->ReadHeader();
  if (!header.ok()) return header.status();

  PreviewTable table;
  table.record_count = *header;
  TodayClock today(request.now);
  const ValueContext values{job->module_code, job->company, job->file_number, &today};
  std::vector<BoundField> fields;
  for (const SelectedField& row : job->rows) {
    fields.push_back(BindField(job->layout, row.field_name));
    table.headers.push_back(Cp1252ToUtf8(row.export_name));
    table.numeric.push_back(IsNumeric(fields.back().source));
  }
  for (int32_t i = 1; i <= *header && static_cast<int>(table.rows.size()) < limit; ++i) {
    auto record = (*reader)->Next();
    if (!record.ok()) return record.status();
    if (*record == nullptr) break;
    if (IsDeletedRecord(*record)) continue;
    std::vector<std::string> row;
    for (const BoundField& field : fields) row.push_back(ValueText(GetValue(*record, i, field, values)));
    table.rows.push_back(std::move(row));
    table.record_numbers.push_back(i);
  }
  return table;
}

std::optional<PreviewTable> PreviewCommand(ExportState& s, Platform& ui) {
  s.selection.EndRename();
  auto table = BuildPreview(s.env, ExportRequestOf(s, ui.DocumentsFolder()), kWindowPreviewRecords);
  if (table.ok()) return std::move(table).value();
  ExportOutcome failed;
  failed.kind = ExportOutcome::Kind::kFailed;
  failed.error = table.status();
  ReportOutcome(s, ui, failed);
  return std::nullopt;
}

}  // namespace rh
