#include "export/export_run.h"

#include <algorithm>

#include "base/paths.h"
#include "base/scope_guard.h"
#include "data/data_file_reader.h"
#include "export/formatting_pipeline.h"

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

Status OpenFailed(MessageId detail, std::string_view arg = {}) {
  return Status::Of(MessageId::kFileOpenFail).WithDetail(detail, {arg});
}

// Records a formatting thread takes at a time: about 128 KiB of them, so
// that the blocks in flight stay a few megabytes whatever the file's size,
// and a block and its formatted lines stay in the formatting core's cache
// until they are written (measured: 64 KiB and 256 KiB blocks were slower).
// A table's record costs several times a line's to write, its statement
// several times a line's room: 256 KiB blocks hand over half as often
// (measured: dBase 5 to 8 % faster, Access within the noise; 1 MiB slower).
size_t RecordsPerBlock(int32_t record_length, ExportFamily family) {
  const size_t bytes = family == ExportFamily::kTable ? 256 * 1024 : 128 * 1024;
  return std::max<size_t>(64, bytes / static_cast<size_t>(record_length));
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

// How far the record loop went: the last record read, and how many were
// exported.
struct RecordCounts {
  int32_t read = 0;
  int32_t exported = 0;
};

// Before each record: Stop, and the progress.
Status BeforeRecord(RunObserver& ui, int32_t i, int32_t count) {
  if (ui.StopRequested()) return Status::Of(MessageId::kExportInterrupted);
  ui.ProgressSetPercent(ProgressPercent(i, count));
  return Status();
}

// Records 1..count, one after the other, to the writer.
Status ExportOneByOne(DataFileReader& reader, RecordWriter& writer, int32_t count,
                      RunObserver& ui, RecordCounts* counts) {
  for (int32_t i = 1; i <= count; ++i) {
    if (Status s = BeforeRecord(ui, i, count); !s.ok()) return s;
    auto record = reader.Next();
    if (!record.ok()) return ReadFailed(reader.path());
    if (*record == nullptr) break;  // the file ended early
    counts->read = i;
    if (IsDeletedRecord(*record)) continue;
    if (Status s = writer.WriteRecord(*record, i, ++counts->exported); !s.ok()) return s;
  }
  return Status();
}

// The same records read a block at a time straight into the pipeline's
// blocks, formatted by its workers.
Status ExportInBlocks(DataFileReader& reader, FormattingPipeline& pipeline, int32_t count,
                      RunObserver& ui, RecordCounts* counts) {
  const size_t length = static_cast<size_t>(reader.record_length());
  for (int32_t i = 1; i <= count;) {
    const size_t wanted =
        std::min(pipeline.records_per_block(), static_cast<size_t>(count - i) + 1);
    uint8_t* const records = pipeline.BlockRecords();
    auto got = reader.ReadRecords(records, wanted);
    if (!got.ok()) {
      // The records read before go out first, as they do one by one: an
      // INSERT refused among them is what the run reports.
      if (Status s = pipeline.Flush(); !s.ok()) return s;
      return ReadFailed(reader.path());
    }
    const int32_t first = i;
    const int32_t exported_before = counts->exported;
    for (size_t k = 0; k < *got; ++k, ++i) {
      if (Status s = BeforeRecord(ui, i, count); !s.ok()) {
        // A write that failed before the Stop was seen is the run's end.
        Status written = pipeline.Stop();
        return written.ok() ? s : written;
      }
      counts->read = i;
      if (IsDeletedRecord(records + k * length)) continue;
      pipeline.Keep(k);
      ++counts->exported;
    }
    if (Status s = pipeline.SubmitBlock(first, exported_before); !s.ok()) return s;
    if (*got < wanted) break;  // the file ended early
  }
  return pipeline.Flush();
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

Status JoinWarnings(const std::vector<Status>& warnings) {
  if (warnings.size() == 1) return warnings[0];
  std::string lines;
  for (const Status& w : warnings) lines += (lines.empty() ? "" : "\n") + w.message();
  return Status::Of(MessageId::kWarnings, {lines});
}

int ProgressPercent(int32_t i, int32_t count) {
  return static_cast<int>(static_cast<double>(i) / static_cast<double>(count) * 100.0);
}

ExportOutcome RunExport(const ExportJob& job, RunObserver& ui, Env* env) {
  if (job.type == nullptr) return Stopped();
  const bool to_stream = job.stream != nullptr && job.type->family == ExportFamily::kText;

  if (!to_stream && CharacterCount(job.destination) <= 3) {
    ExportOutcome o = Failed(Status::Of(MessageId::kInvalidFileName));
    o.focus_destination = true;
    return o;
  }
  const int32_t record_length = job.layout.record_length();
  if (record_length < kMinimumRecordLength) return Failed(RecordLengthTooShort(record_length));
  const std::string path = ResolveDestination(job.destination, job.documents_folder);
  std::unique_ptr<RecordWriter> writer =
      job.type->make_writer(*job.type, WriterSetup{env, path, &ui, job.opener, job.options,
                                                    to_stream ? job.stream : nullptr});
  // The file written, which every check below is about.
  const std::string& file = writer->file();
  if (job.type->family == ExportFamily::kTable) {
    // A table replaces a file; it never takes a folder's place.
    for (const std::string& p : {path, file})
      if (env->GetFileKind(p) == FileKind::kDirectory)
        return Failed(OpenFailed(MessageId::kDetailIsAFolder, p));
  }
  // Any regular file is asked about, also one we may not read.
  if (!to_stream && env->GetFileKind(file) == FileKind::kRegular && !writer->ConfirmExisting(ui))
    return Stopped();

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
  if (!to_stream && std::any_of(accounting.begin(), accounting.end(),
                  [&](const std::string& f) { return env->SameFile(file, f); })) {
    return Failed(OpenFailed(MessageId::kDetailAccountingFile));
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
  // Records format independently of each other (text lines, INSERT
  // statements): other threads format and write them while this one reads.
  // Stopped before the writer is abandoned, since it is declared after the
  // guard.
  std::unique_ptr<FormattingPipeline> pipeline;
  if (const int threads = FormattingPipeline::ThreadsFor(job.options.threads); threads > 1) {
    if (writer->NewFormatter() != nullptr) {
      const size_t block = job.options.records_per_block > 0 ? job.options.records_per_block
                                                             : RecordsPerBlock(record_length,
                                                                               job.type->family);
      pipeline = std::make_unique<FormattingPipeline>(*writer, threads, record_length, block);
    }
  }
  ui.ProgressCreate();
  progress_shown = true;
  RecordCounts counts;
  if (Status s = pipeline ? ExportInBlocks(**reader, *pipeline, count, ui, &counts)
                          : ExportOneByOne(**reader, *writer, count, ui, &counts);
      !s.ok()) {
    return Failed(s);
  }
  const int32_t exported = counts.exported;
  const int32_t read = counts.read;
  if (ui.StopRequested()) return Failed(Status::Of(MessageId::kExportInterrupted));
  Status finished = writer->Finish();
  ui.ProgressDestroy();
  progress_shown = false;
  if (!finished.ok()) return Failed(finished);
  abandon.Dismiss();

  ExportOutcome o;
  o.kind = ExportOutcome::Kind::kCompleted;
  o.exported = exported;
  if (count > 0 && read < count) {
    o.warnings.push_back(Status::Of(MessageId::kDataFileEndedEarly,
                                    {std::to_string(read), std::to_string(count)}));
  }
  for (Status& w : writer->Warnings()) o.warnings.push_back(std::move(w));
  return o;
}

}  // namespace rh
