#include "tests/export/export_test_util.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

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
  return RunType(FindExportType(type), rows, dest, env);
}

ExportResult ExportHarness::Run(const ExportTypeInfo& type, const std::vector<std::string>& rows,
                                const std::string& dest, Env* env) {
  return RunType(&type, rows, dest, env);
}

ExportResult ExportHarness::RunType(const ExportTypeInfo* type,
                                    const std::vector<std::string>& rows,
                                    const std::string& dest, Env* env) {
  ExportJob job;
  job.data_dir = inst_.data();
  job.system_dir = inst_.system();
  job.module_code = "QZGL";
  job.company = "01";
  job.file_number = 1;
  job.type = type;
  job.options = options;
  job.destination = dest;
  job.documents_folder = ui.documents;
  for (const std::string& r : rows) {
    size_t eq = r.find('=');
    job.rows.push_back({r.substr(0, eq), 0, eq == std::string::npos ? r : r.substr(eq + 1)});
  }
  job.layout = layout;
  job.now = &FixedNow;
  job.opener = opener ? opener : RealConnectionOpener();
  ExportResult result;
  result.outcome = RunExport(job, ui, env);
  std::string path = ResolveDestination(dest, ui.documents);
  std::error_code ec;  // a destination may be a link loop or a pipe
  if (std::filesystem::is_regular_file(path, ec)) result.written = ReadFile(path);
  return result;
}

int RunCommand(const std::string& command, std::string* out) {
  FILE* p = popen(command.c_str(), "r");
  if (p == nullptr) return -1;
  out->clear();
  char buf[1 << 16];
  for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out->append(buf, n);
  const int status = pclose(p);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace rh::test
