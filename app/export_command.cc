#include "app/export_command.h"

#include "app/choice_cascade.h"

namespace rh {

namespace {

ExportOutcome Refused(Status error) {
  ExportOutcome o;
  o.kind = ExportOutcome::Kind::kFailed;
  o.error = std::move(error);
  return o;
}

}  // namespace

ExportOutcome RunExportCommand(ExportState& s, Platform& ui, TodayClock::NowFunction now) {
  s.selection.EndRename();
  if (!s.module_list.HasCurrent() || !s.company_list.HasCurrent() || !s.file_list.HasCurrent()) {
    return Refused(
        Status::Error("Error", "Cannot Export Without Selecting A Module, Company, And File"));
  }
  if (s.selection.empty()) return Refused(Status::Error("Error", "No Export Fields Specified"));
  if (!RecordLayoutMatches(s)) {
    return Refused(Status::Fatal(
        "Error #4", "Incompatible Versions - Cannot Export\nContact your dealer for more info"));
  }
  ExportJob job;
  job.data_dir = s.dirs.data;
  job.system_dir = s.dirs.system;
  job.module_code = s.module_code;
  job.company = s.company_number;
  job.file_number = s.file_number;
  job.export_type = s.export_type;
  job.destination = s.destination_box;
  job.documents_folder = s.relative_destination_folder.empty() ? ui.DocumentsFolder()
                                                                : s.relative_destination_folder;
  job.rows = s.selection.rows();
  job.layout = &s.layout;
  job.now = now;
  return RunExport(job, ui, s.env);
}

void ReportOutcome(ExportState& s, Platform& ui, const ExportOutcome& outcome) {
  switch (outcome.kind) {
    case ExportOutcome::Kind::kStopped:
      return;
    case ExportOutcome::Kind::kFailed: {
      const Status& e = outcome.error;
      ui.Message(e.message(), e.caption(),
                 e.caption() == "Error #4" ? MessageStyle::kOkStop : MessageStyle::kOk);
      if (e.fatal()) {
        s.modified = false;
        s.CloseMainWindow();
      }
      return;
    }
    case ExportOutcome::Kind::kCompleted:
      ui.Message(CompletionText(outcome.exported), "Export Complete", MessageStyle::kOk);
      if (outcome.warning) {
        ui.Message(outcome.warning->message(), outcome.warning->caption(),
                   MessageStyle::kOkExclamation);
      }
      return;
  }
}

ExportOutcome ExportCommand(ExportState& s, Platform& ui) {
  ExportOutcome outcome = RunExportCommand(s, ui);
  ReportOutcome(s, ui, outcome);
  return outcome;
}

}  // namespace rh
