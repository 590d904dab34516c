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

Status IsAFolder(const std::string& path) {
  return Status::Error("Error #8", "File could not be opened: " + path + " is a folder.");
}

Status Interrupted() {
  return Status::Error("Error", "The export was interrupted and nothing was written.");
}

// Characters, not bytes: a UTF-8 sequence counts once, a byte that starts
// no complete sequence counts alone.
size_t CharacterCount(std::string_view text) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); ++count) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xC2 && lead <= 0xDF ? 2
                                                         : 1;
    size_t n = 1;
    while (n < length && i + n < text.size() &&
           (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80)
      ++n;
    i += n == length ? length : 1;
  }
  return count;
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

  if (CharacterCount(job.destination) <= 3) {
    ExportOutcome o = Failed(Status::Error("Error #5", "Invalid File Name"));
    o.focus_destination = true;
    return o;
  }
  const int32_t record_length = job.layout->record_length();
  if (record_length < kMinimumRecordLength) return Failed(RecordLengthTooShort(record_length));
  const std::string path = ResolveDestination(job.destination, job.documents_folder);
  std::unique_ptr<RecordWriter> writer = MakeWriter(env, path, job.export_type, ui, job.opener);
  if (!writer) return Stopped();

  // The file written, which every check below is about: the dBase driver
  // adds ".dbf" to a table name without an extension.
  const std::string file = job.export_type == kDBase ? DBaseFilePath(path) : path;
  if (job.export_type == kDBase) {
    for (const std::string& p : {path, file})
      if (env->GetFileKind(p) == FileKind::kDirectory) return Failed(IsAFolder(p));
  }
  // Any regular file is asked about, also one we may not read.
  if (env->GetFileKind(file) == FileKind::kRegular && !writer->ConfirmExisting(ui))
    return Stopped();
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
                  [&](const std::string& f) { return env->SameFile(file, f); })) {
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
  auto abandon = [&](Status s) {
    ui.ProgressDestroy();
    writer->Abort();
    return Failed(std::move(s));
  };
  int32_t exported = 0;
  int32_t read = 0;
  for (int32_t i = 1; i <= count; ++i) {
    if (ui.StopRequested()) return abandon(Interrupted());
    ui.ProgressSetPercent(ProgressPercent(i, count));
    auto record = (*reader)->Next();
    if (!record.ok() || *record == nullptr) {
      if (record.ok()) break;  // the file ended early
      return abandon(ReadFailed((*reader)->path()));
    }
    read = i;
    if (IsDeletedRecord(*record)) continue;
    ++exported;
    if (Status s = writer->WriteRecord(*record, i, exported); !s.ok()) return abandon(s);
  }
  if (ui.StopRequested()) return abandon(Interrupted());
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
