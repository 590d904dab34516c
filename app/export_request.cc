#include "app/export_request.h"

#include "app/platform_run_observer.h"
#include "data/companies.h"
#include "connections/connection_opener.h"

namespace rh {

Result<ExportJob> BuildExportJob(Env* env, const ExportRequest& request) {
  if (request.module_code.empty() || request.company.empty() || !request.file_number)
    return Status::Of(MessageId::kExportNeedsChoices);
  if (request.rows.empty()) return Status::Of(MessageId::kNoExportFields);
  ExportJob job;
  job.data_dir = request.dirs.data;
  job.system_dir = request.dirs.system;
  job.module_code = request.module_code;
  job.company = request.company;
  job.file_number = *request.file_number;
  const DataFileLocation where{job.data_dir, job.system_dir, job.module_code, job.company,
                               job.file_number};
  if (!CheckRecordLayout(env, where, request.layout.record_length()))
    return Status::Of(MessageId::kExportIncompatible);
  job.type = FindExportType(request.export_type);
  if (request.stream != nullptr && job.type != nullptr &&
      job.type->family != ExportFamily::kText) {
    return Status::Of(MessageId::kStandardOutputTextOnly,
                      {std::to_string(job.type->index), job.type->label});
  }
  job.stream = request.stream;
  job.destination = request.destination;
  job.documents_folder = request.relative_to;
  job.rows = request.rows;
  job.layout = request.layout;
  job.options = request.options;
  job.now = request.now;
  job.opener = RealConnectionOpener();
  return job;
}

ExportOutcome RunExportRequest(Env* env, const ExportRequest& request, Platform& ui) {
  auto job = BuildExportJob(env, request);
  if (!job.ok()) {
    ExportOutcome refused;
    refused.kind = ExportOutcome::Kind::kFailed;
    refused.error = job.status();
    return refused;
  }
  PlatformRunObserver observer(ui);
  return RunExport(*job, observer, env);
}

}  // namespace rh
