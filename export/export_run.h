// The export run: from the destination rules to the last record, shared by
// every writer. Questions and progress go through a RunObserver; the outcome
// comes back as a value for the caller to report.
#ifndef RECORDHAUL_EXPORT_EXPORT_RUN_H_
#define RECORDHAUL_EXPORT_EXPORT_RUN_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/env.h"
#include "data/data_dictionary.h"
#include "data/field_value.h"
#include "export/export_options.h"
#include "export/export_types.h"
#include "export/record_writer.h"
#include "export/run_observer.h"
#include "selection/field_selection.h"

namespace rh {

// Everything one export needs, checked and complete (app/'s BuildExportJob
// makes it from a request).
struct ExportJob {
  std::string data_dir;
  std::string system_dir;
  std::string module_code;
  std::string company;
  int32_t file_number = 0;
  const ExportTypeInfo* type = nullptr;  // none: no writer, nothing happens
  std::string destination;       // as typed or browsed
  std::string documents_folder;  // where a relative destination goes
  std::vector<SelectedField> rows;
  FieldLayout layout;            // of the data file, as the fields were chosen
  TodayClock::NowFunction now = nullptr;  // the clock of "Today's Date"
  ConnectionOpener opener;                 // how the table types connect
  ExportOptions options;
  // A text type written to standard output instead of the destination
  // (WriterSetup::stream); the destination's checks do not apply.
  WritableFile* stream = nullptr;
};

struct ExportOutcome {
  enum class Kind {
    kCompleted,
    kStopped,  // an answer ended the run, or no writer: no message
    kFailed,
  };
  Kind kind = Kind::kStopped;
  int32_t exported = 0;
  Status error;                    // kFailed; fatal() when the program ends
  // After completion: a short data file, values changed to fit the table.
  std::vector<Status> warnings;
  bool focus_destination = false;  // "Invalid File Name"
};

// Runs the writer of the job's export type: destination, data file, title
// or table, every record, finish.
ExportOutcome RunExport(const ExportJob& job, RunObserver& ui, Env* env);

// The path a destination text names: kept when it starts "/", its second
// character is "/" or ":", or its third is "/"; "~/" is the home folder;
// anything else goes into `documents`.
std::string ResolveDestination(const std::string& text, const std::string& documents);

// The warnings of a completed run as one message: each on a line of its own.
Status JoinWarnings(const std::vector<Status>& warnings);

// trunc(i / count * 100), computed in double precision as the run does.
int ProgressPercent(int32_t i, int32_t count);


}  // namespace rh

#endif  // RECORDHAUL_EXPORT_EXPORT_RUN_H_
