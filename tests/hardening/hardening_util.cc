#include "tests/hardening/hardening_util.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "app/export_command.h"
#include "export/export_types.h"
#include "tests/drivers/odbc/odbc_test_util.h"
#include "tests/drivers/xls/xls_test_reader.h"
#include "tests/export/export_test_util.h"

namespace rh::test {

std::vector<sample::FieldSpec> WideFields() {
  auto fields = EveryTypeFields();
  fields.push_back({"Filler", 'T', 2000});
  return fields;
}

std::string WideRecord(int i) {
  static const sample::RecordBuilder proto(WideFields());
  if (i % 50 == 0) return proto.Deleted();
  sample::RecordBuilder b = proto;
  char name[16];
  std::snprintf(name, sizeof name, "Name %04d", i);
  return b.Text("Name", name)
      .Int16("Count", static_cast<int16_t>(i - 600))
      .Int32("Total", i * 1000)
      .Fixed("Rate", i * 7)
      .Real("Balance", i / 4.0)
      .Byte("Flag", static_cast<uint8_t>(i))
      .Int32("Posted", 36000 + i)
      .Text("Filler", std::string(2000, static_cast<char>('a' + i % 26)))
      .Take();
}

std::string WideDataFile(int32_t header_count, int count) {
  std::vector<std::string> records;
  for (int i = 1; i <= count; ++i) records.push_back(WideRecord(i));
  return sample::BuildDataFile(header_count, sample::RecordLength(WideFields()), records);
}

std::vector<std::string> ExportRows() {
  return {"Name=NAME",     "Count=COUNT", "Total=TOTAL",          "Rate=RATE",
          "Balance=BALANCE", "Flag=FLAG", "Posted=POSTED",        "Current Record=CURRENT_R",
          "Company Number=COMPANY_N"};
}

std::string DestinationName(int type) {
  if (type == kExcel) return "out.xls";
  if (type == kDBase) return "out.dbf";
  if (type == kAccess) return "out.mdb";
  if (type == kExcelWorkbook) return "out.xlsx";
  return type == kCsvWithTitles || type == kCsvWithoutTitles ? "out.csv" : "out.txt";
}

std::map<std::string, std::string> TreeChecksums(const std::string& dir) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> sums;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    const fs::path& p = it->path();
    const fs::file_status st = it->symlink_status(ec);
    if (fs::is_symlink(st)) {
      sums[p.string()] = "link to " + fs::read_symlink(p, ec).string();
      continue;
    }
    if (!fs::is_regular_file(st)) {
      sums[p.string()] = fs::is_directory(st) ? "folder" : "other";
      continue;
    }
    std::string bytes = ReadFile(p.string());
    uint64_t h = 14695981039346656037ull;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    sums[p.string()] = std::to_string(bytes.size()) + ":" + std::to_string(h);
  }
  return sums;
}

int TableRows(int type, const std::string& path) {
  if (type == kExcel) {
    xls::testing::Workbook wb;
    std::string error;
    if (!xls::testing::ReadWorkbook(path, &wb, &error)) return -1;
    int last = 0;  // the names fill row 0
    for (const auto& [at, value] : wb.cells) last = std::max(last, at.first);
    return last;
  }
  if (type == kDBase) {
    const std::string bytes = ReadFile(path);
    if (bytes.size() < 8) return -1;
    uint32_t count = 0;  // the header's record count, little-endian at 4
    for (int i = 7; i >= 4; --i) count = count << 8 | static_cast<uint8_t>(bytes[i]);
    return static_cast<int>(count);
  }
  FILE* p = ::popen(("mdb-count '" + path + "' KVTdatatool 2>/dev/null").c_str(), "r");
  if (p == nullptr) return -1;
  int rows = -1;
  if (std::fscanf(p, "%d", &rows) != 1) rows = -1;
  ::pclose(p);
  return rows;
}

std::vector<std::string> FolderEntries(const std::string& dir) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(dir, ec))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

RunResult RunTo(Installation& inst, int type, const std::string& dest, Env* env,
                Answer answer, const ConnectionOpener& opener) {
  ExportHarness harness(inst);
  harness.ui.default_answer = answer;
  harness.opener = opener;
  RunResult result;
  if (!harness.layout_status.ok()) {
    result.outcome.kind = ExportOutcome::Kind::kFailed;
    result.outcome.error = harness.layout_status;
    return result;
  }
  result.outcome = harness.Run(type, ExportRows(), dest, env).outcome;
  ExportState state;
  state.env = env;
  ReportOutcome(state, harness.ui, result.outcome);
  result.messages = harness.ui.messages;
  result.progress_open = harness.ui.progress_open;
  result.wait_depth = harness.ui.wait_depth;
  return result;
}

void UseBuildTreeDrivers() {
  static const bool done = [] {
    static odbc::testing::TempDir config;
    return odbc::testing::UseBuildTreeDrivers(config.path());
  }();
  if (!done) std::fprintf(stderr, "the build tree's ODBC drivers could not be registered\n");
}

}  // namespace rh::test
