// The Export command: its checks in order, then the run of the writer of
// the chosen export type, then the messages that report how it ended.
#ifndef RECORDHAUL_APP_EXPORT_COMMAND_H_
#define RECORDHAUL_APP_EXPORT_COMMAND_H_

#include "app/export_request.h"
#include "app/export_state.h"
#include "export/export_run.h"
#include "platform/platform.h"

namespace rh {

// The request the window's choices make; relative destinations go into
// `relative_to` (the Documents folder).
ExportRequest ExportRequestOf(const ExportState& s, const std::string& relative_to);

// Checks the choices and runs the export; reports nothing itself beyond the
// questions the run asks. `now` replaces the clock of "Today's Date" (tests).
ExportOutcome RunExportCommand(ExportState& s, Platform& ui,
                               TodayClock::NowFunction now = nullptr);

// Shows how a run ended: its error, or the completion message and any
// warning after it. A fatal error clears the modified flag and closes the
// main window.
void ReportOutcome(ExportState& s, Platform& ui, const ExportOutcome& outcome);

// The Export button: RunExportCommand, then ReportOutcome.
ExportOutcome ExportCommand(ExportState& s, Platform& ui);

}  // namespace rh

#endif  // RECORDHAUL_APP_EXPORT_COMMAND_H_
