#include "export/export_run.h"

#include <algorithm>

#include "base/paths.h"
#include "base/scope_guard.h"
#include "data/data_file_reader.h"

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
  return Status::Of(MessageId::kDataFileReadFailNothingExported, {path});
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

ExportOutcome RunExport(const ExportJob& job, RunObserver& ui, Env* env) {
  if (job.type == nullptr) return Stopped();

  if (job.destination.size() <= 3) {
    ExportOutcome o = Failed(Status::Of(MessageId::kInvalidFileName));
    o.focus_destination = true;
    return o;
  }
  const int32_t record_length = job.layout.record_length();
  if (record_length < kMinimumRecordLength) return Failed(RecordLengthTooShort(record_length));
  const std::string path = ResolveDestination(job.destination, job.documents_folder);
  std::unique_ptr<RecordWriter> writer =
      job.type->make_writer(*job.type, WriterSetup{env, path, &ui, job.opener});

  if (env->OpenReadable(path).ok() && !writer->ConfirmExisting(ui)) return Stopped();

  // From here on every way out but the last abandons what the writer wrote
  // (an existing destination stays as it was) and takes the progress
  // window down if it is up.
  bool progress_shown = false;
  ScopeGuard abandon([&] {
    if (progress_shown) ui.ProgressDestroy();
    writer->Abort();
  });
  if (Status s = writer->OpenDestination(); !s.ok()) return Failed(s);

  const DataFileLocation where{job.data_dir, job.system_dir, job.module_code, job.company,
                               job.file_number};
  auto reader = DataFileReader::Open(env, where, record_length, job.type->data_file_open_fail);
  if (!reader.ok()) return Failed(reader.status());
  std::vector<std::string> accounting = AccountingFiles(env, where);
  accounting.push_back((*reader)->path());
  accounting.push_back(DictionaryPath(env, job.system_dir));
  if (std::any_of(accounting.begin(), accounting.end(),
                  [&](const std::string& f) { return env->SameFile(path, f); })) {
    return Failed(Status::Of(MessageId::kDestinationIsAccountingFile));
  }

  TodayClock today(job.now);
  WriterInput input;
  input.values = ValueContext{job.module_code, job.company, job.file_number, &today};
  for (const SelectedField& row : job.rows)
    input.rows.push_back({BindField(job.layout, row.field_name), row.field_name, row.export_name});
  if (Status s = writer->Begin(input); !s.ok()) return Failed(s);

  auto header = (*reader)->ReadHeader();
  if (!header.ok()) return Failed(ReadFailed((*reader)->path()));
  const int32_t count = *header;
  ui.ProgressCreate();
  progress_shown = true;
  int32_t exported = 0;
  int32_t read = 0;
  for (int32_t i = 1; i <= count; ++i) {
    ui.ProgressSetPercent(ProgressPercent(i, count));
    auto record = (*reader)->Next();
    if (!record.ok()) return Failed(ReadFailed((*reader)->path()));
    if (*record == nullptr) break;  // the file ended early
    read = i;
    if (IsDeletedRecord(*record)) continue;
    ++exported;
    if (Status s = writer->WriteRecord(*record, i, exported); !s.ok()) return Failed(s);
  }
  Status finished = writer->Finish();
  ui.ProgressDestroy();
  progress_shown = false;
  if (!finished.ok()) return Failed(finished);
  abandon.Dismiss();

  ExportOutcome o;
  o.kind = ExportOutcome::Kind::kCompleted;
  o.exported = exported;
  if (count > 0 && read < count) {
    o.warning = Status::Of(MessageId::kDataFileEndedEarly,
                           {std::to_string(read), std::to_string(count)});
  }
  return o;
}

}  // namespace rh
