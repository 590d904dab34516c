// The one way an export is started, from the window's Export button or a
// command-line verb: a request names what to export and where; the checks
// of the Export command turn it into a job, or refuse it.
#ifndef RECORDHAUL_APP_EXPORT_REQUEST_H_
#define RECORDHAUL_APP_EXPORT_REQUEST_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/env.h"
#include "data/data_dictionary.h"
#include "data/field_value.h"
#include "export/export_run.h"
#include "platform/platform.h"
#include "selection/field_selection.h"

namespace rh {

struct ExportRequest {
  Directories dirs;
  std::string module_code;             // empty: no module chosen
  std::string company;                 // empty: no company chosen
  std::optional<int32_t> file_number;  // none: no data file chosen
  int export_type = 0;
  std::vector<SelectedField> rows;     // field names and export names, in order
  FieldLayout layout;                  // the data file's, as the rows were chosen
  std::string destination;             // as typed or browsed
  std::string relative_to;             // where a relative destination goes
  ExportOptions options;
  TodayClock::NowFunction now = nullptr;  // the clock of "Today's Date" (tests)
  // Text types only: written here (standard output) instead of the
  // destination; a table type is refused.
  WritableFile* stream = nullptr;
};

// The Export command's checks, in order: a module, company and data file
// are chosen; there are fields to export; the dictionary's record length
// agrees with the company's register (a fatal "Error #4" otherwise); a
// stream takes a text type. Then the job, with the real table connections.
Result<ExportJob> BuildExportJob(Env* env, const ExportRequest& request);

// BuildExportJob, then the run, its questions and progress through `ui`. A
// refusal comes back as a failed outcome; nothing is shown here.
ExportOutcome RunExportRequest(Env* env, const ExportRequest& request, Platform& ui);

}  // namespace rh

#endif  // RECORDHAUL_APP_EXPORT_REQUEST_H_
