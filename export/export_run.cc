#include "export/export_run.h"

#include <algorithm>

#include "data/data_file_reader.h"
#include "export/text_writer.h"
#include "platform/platform.h"
#include "selection/export_type.h"

namespace rh {

namespace {

ExportOutcome Failed(Status error) {
  ExportOutcome o;
  o.kind = ExportOutcome::Kind::kFailed;
  o.error = std::move(error);
  return o;
}

ExportOutcome Stopped() { return ExportOutcome{}; }

Status ReadFailed(const std::string& path) {
  return Status::Error("Error", "The data file " + path +
                                    " could not be read. Nothing was exported.");
}

Status TouchesAccountingFile() {
  return Status::Error("Error #8",
                       "File could not be opened: the destination is one of the accounting "
                       "system's own files, which are never written.");
}

}  // namespace

std::string ResolveDestination(const std::string& text, const std::string& documents) {
  auto at = [&](size_t i) { return i < text.size() ? text[i] : '\0'; };
  if (text.rfind("~/", 0) == 0) return HomeFolder() + text.substr(1);
  if (at(0) == '/' || at(1) == '/' || at(1) == ':' || at(2) == '/') return text;
  std::string path = documents;
  if (path.empty() || path.back() != '/') path += '/';
  return path + text;
}

int ProgressPercent(int32_t i, int32_t count) {
  return static_cast<int>(static_cast<double>(i) / static_cast<double>(count) * 100.0);
}

std::string CompletionText(int32_t exported) {
  return "Export Complete.\n\nRecords Exported:  " + std::to_string(exported);
}

ExportOutcome RunExport(const ExportJob& job, Platform& ui, Env* env) {
  if (!IsValidExportType(job.export_type)) return Stopped();

  if (job.destination.size() <= 3) {
    ExportOutcome o = Failed(Status::Error("Error #5", "Invalid File Name"));
    o.focus_destination = true;
    return o;
  }
  const int32_t record_length = job.layout->record_length();
  if (record_length < kMinimumRecordLength) return Failed(RecordLengthTooShort(record_length));
  const std::string path = ResolveDestination(job.destination, job.documents_folder);
  std::unique_ptr<RecordWriter> writer = MakeWriter(env, path, job.export_type, ui, job.opener);
  if (!writer) return Stopped();

  if (env->OpenReadable(path).ok() && !writer->ConfirmExisting(ui)) return Stopped();
  if (Status s = writer->OpenDestination(); !s.ok()) return Failed(s);

  const DataFileLocation where{job.data_dir, job.system_dir, job.module_code, job.company,
                               job.file_number};
  auto reader = DataFileReader::Open(env, where, record_length, writer->DataFileOpenFailText());
  if (!reader.ok()) {
    writer->Abort();
    return Failed(reader.status());
  }
  std::vector<std::string> accounting = AccountingFiles(env, where);
  accounting.push_back((*reader)->path());
  accounting.push_back(DictionaryPath(env, job.system_dir));
  if (std::any_of(accounting.begin(), accounting.end(),
                  [&](const std::string& f) { return env->SameFile(path, f); })) {
    writer->Abort();
    return Failed(TouchesAccountingFile());
  }

  TodayClock today(job.now);
  WriterInput input;
  input.values = ValueContext{job.module_code, job.company, job.file_number, &today};
  for (const SelectedField& row : job.rows)
    input.rows.push_back({BindField(*job.layout, row.field_name), row.field_name, row.export_name});
  if (Status s = writer->Begin(input); !s.ok()) {
    writer->Abort();
    return Failed(s);
  }

  auto header = (*reader)->ReadHeader();
  if (!header.ok()) {
    writer->Abort();
    return Failed(ReadFailed((*reader)->path()));
  }
  const int32_t count = *header;
  ui.ProgressCreate();
  int32_t exported = 0;
  int32_t read = 0;
  for (int32_t i = 1; i <= count; ++i) {
    ui.ProgressSetPercent(ProgressPercent(i, count));
    auto record = (*reader)->Next();
    if (!record.ok() || *record == nullptr) {
      if (record.ok()) break;  // the file ended early
      ui.ProgressDestroy();
      writer->Abort();
      return Failed(ReadFailed((*reader)->path()));
    }
    read = i;
    if (IsDeletedRecord(*record)) continue;
    ++exported;
    if (Status s = writer->WriteRecord(*record, i, exported); !s.ok()) {
      ui.ProgressDestroy();
      writer->Abort();
      return Failed(s);
    }
  }
  Status finished = writer->Finish();
  ui.ProgressDestroy();
  if (!finished.ok()) return Failed(finished);

  ExportOutcome o;
  o.kind = ExportOutcome::Kind::kCompleted;
  o.exported = exported;
  std::vector<std::string> warnings;
  if (count > 0 && read < count) {
    warnings.push_back("The data file ended after " + std::to_string(read) + " of the " +
                       std::to_string(count) + " records its header announces.");
  }
  for (std::string& line : writer->Warnings()) warnings.push_back(std::move(line));
  if (!warnings.empty()) {
    std::string text = warnings[0];
    for (size_t i = 1; i < warnings.size(); ++i) text += "\n" + warnings[i];
    o.warning = Status::Error("Warning", std::move(text));
  }
  return o;
}

std::unique_ptr<RecordWriter> MakeWriter(Env* env, const std::string& path, int export_type,
                                         Platform& ui, const ConnectionOpener& opener) {
  if (IsTextExport(export_type)) return std::make_unique<TextWriter>(env, path, export_type);
  static constexpr TableTarget kTargets[] = {TableTarget::kExcel, TableTarget::kDBase,
                                             TableTarget::kAccess};
  if (export_type >= kExcel && export_type <= kAccess) {
    return std::make_unique<TableWriter>(path, kTargets[export_type - kExcel], ui,
                                         opener ? opener : DefaultConnectionOpener());
  }
  return nullptr;
}

}  // namespace rh
