#include "app/export_command.h"

#include "app/export_request.h"

namespace rh {

ExportRequest ExportRequestOf(const ExportState& s, const std::string& relative_to) {
  ExportRequest r;
  r.dirs = s.dirs;
  // What the lists show is what is chosen; the state keeps the last choice
  // of each after its list was emptied.
  if (s.module_list.HasCurrent()) r.module_code = s.module_code;
  if (s.company_list.HasCurrent()) r.company = s.company_number;
  if (s.file_list.HasCurrent()) r.file_number = s.file_number;
  r.export_type = s.export_type();
  r.rows = s.selection.rows();
  r.options = s.options;
  r.layout = s.layout;
  r.destination = s.destination_box;
  r.relative_to =
      s.relative_destination_folder.empty() ? relative_to : s.relative_destination_folder;
  return r;
}

ExportOutcome RunExportCommand(ExportState& s, Platform& ui, TodayClock::NowFunction now) {
  s.selection.EndRename();
  ExportRequest request = ExportRequestOf(s, ui.DocumentsFolder());
  request.now = now;
  return RunExportRequest(s.env, request, ui);
}

void ReportOutcome(ExportState& s, Platform& ui, const ExportOutcome& outcome) {
  switch (outcome.kind) {
    case ExportOutcome::Kind::kStopped:
      return;
    case ExportOutcome::Kind::kFailed:
      ui.Show(outcome.error);
      if (outcome.error.fatal()) {
        s.modified = false;
        s.CloseMainWindow();
      }
      return;
    case ExportOutcome::Kind::kCompleted:
      ui.Show(MessageId::kExportComplete, {std::to_string(outcome.exported)});
      if (!outcome.warnings.empty()) ui.Show(JoinWarnings(outcome.warnings));
      return;
  }
}

ExportOutcome ExportCommand(ExportState& s, Platform& ui) {
  ExportOutcome outcome = RunExportCommand(s, ui);
  ReportOutcome(s, ui, outcome);
  return outcome;
}

}  // namespace rh
