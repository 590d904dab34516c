#include "tests/export/export_test_util.h"

#include <stdlib.h>

#include <filesystem>

#include "connections/connection_opener.h"

namespace rh::test {

std::time_t FixedNow() { return 1173960000; }

ExportHarness::ExportHarness(Installation& inst) : inst_(inst) {
  setenv("TZ", "UTC", 1);
  tzset();
  auto loaded = LoadFieldLayout(Env::Default(), inst.system(), "QZGL", 1);
  if (loaded.ok()) layout = std::move(loaded).value();
  else layout_status = loaded.status();
  ui.documents = inst.dir() / "docs";
  std::filesystem::create_directories(ui.documents);
}

ExportResult ExportHarness::Run(int type, const std::vector<std::string>& rows,
                                const std::string& dest, Env* env) {
  ExportJob job;
  job.data_dir = inst_.data();
  job.system_dir = inst_.system();
  job.module_code = "QZGL";
  job.company = "01";
  job.file_number = 1;
  job.type = FindExportType(type);
  job.destination = dest;
  job.documents_folder = ui.documents;
  for (const std::string& r : rows) {
    size_t eq = r.find('=');
    job.rows.push_back({r.substr(0, eq), 0, eq == std::string::npos ? r : r.substr(eq + 1)});
  }
  job.layout = layout;
  job.now = &FixedNow;
  job.opener = opener ? opener : RealConnectionOpener();
  job.options = options;
  job.stream = stream;
  ExportResult result;
  result.outcome = RunExport(job, ui, env);
  std::string path = ResolveDestination(dest, ui.documents);
  std::error_code ec;  // a destination may be a link loop or a pipe
  if (std::filesystem::is_regular_file(path, ec)) result.written = ReadFile(path);
  return result;
}

}  // namespace rh::test
