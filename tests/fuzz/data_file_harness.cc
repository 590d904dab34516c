// A company data file with its dictionary and register: a whole export of
// every field to a destination in memory, through the text writer, the
// table writer's statements or our Access engine.
#include <algorithm>

#include "data/data_dictionary.h"
#include "drivers/sql/sql_statement.h"
#include "export/export_run.h"
#include "sample/sample_data.h"
#include "export/export_types.h"
#include "tests/fake_platform.h"
#include "tests/fuzz/harness.h"
#include "tests/fuzz/layout_checks.h"
#include "tests/fuzz/mem_env.h"
#include "tests/fuzz/seed_data.h"

namespace rh::fuzz {

namespace {

constexpr const char* kRoot = "/inst";
constexpr size_t kMaxRows = 300;

// Stands in for the Excel and dBase drivers: every statement the writer
// makes must parse, and its INSERTs must match its CREATE TABLE. Only an
// INSERT with a real number that has no digits ("nan", "inf") and a dBase
// CREATE TABLE with a text field of a negative length (a damaged
// dictionary) may not; the run then fails with Error #10 or Error #11.
class ParsingConnection : public TableConnection {
 public:
  Status Execute(std::string_view statement) override {
    auto parsed = sql::Parse(statement);
    if (!parsed.ok()) {
      auto has = [&](const char* text) { return statement.find(text) != std::string::npos; };
      RH_FUZZ_CHECK(statement.starts_with("INSERT") ? has("nan") || has("inf")
                                                    : has(" TEXT(-"));
      return parsed.status();
    }
    if (auto* create = std::get_if<sql::CreateTable>(&*parsed)) {
      RH_FUZZ_CHECK(columns_ < 0);
      columns_ = static_cast<int>(create->columns.size());
      return Status();
    }
    const auto& insert = std::get<sql::Insert>(*parsed);
    RH_FUZZ_CHECK(static_cast<int>(insert.columns.size()) == columns_);
    RH_FUZZ_CHECK(insert.values.size() == insert.columns.size());
    return Status();
  }
  Status Close() override { return Status(); }

 private:
  int columns_ = -1;
};

std::string Destination(int type, bool relative) {
  static constexpr const char* kExtensions[] = {"txt", "txt", "csv", "csv", "txt", "txt",
                                                "txt", "txt", "xls", "dbf", "mdb", "xlsx"};
  std::string name = std::string("out.") + kExtensions[type];
  return relative ? name : "/out/" + name;
}

// Whole records after the header.
int64_t RecordsPresent(std::string_view file, int32_t length) {
  return length > 0 ? std::max<int64_t>(0, int64_t(file.size() / size_t(length)) - 1) : 0;
}

}  // namespace

// Sections: the export type and a flags byte (bit 0: the destination
// exists; bit 1: append to it; bit 2: relative destination); the
// dictionary; company 01's register; data file 1 of QZGL.
int FuzzDataFile(const uint8_t* data, size_t size) {
  auto parts = Sections(AsText(data, size), 4);
  const int type = parts[0].empty() ? 0 : static_cast<uint8_t>(parts[0][0]) % 12;
  const int flags = parts[0].size() > 1 ? static_cast<uint8_t>(parts[0][1]) : 0;
  MemEnv env;
  env.Put(std::string(kRoot) + "/sys/QZFMDATA.DAT", std::string(parts[1]));
  env.Put(std::string(kRoot) + "/sys/QZPATHTB.dat", sample::BuildPathTable({"", ""}));
  env.Put(std::string(kRoot) + "/data/QZGL01FR.dat", std::string(parts[2]));
  env.Put(std::string(kRoot) + "/data/QZGL0101.dat", std::string(parts[3]));
  env.MakeFolder("/out");
  env.MakeFolder("/docs");
  auto layout = LoadFieldLayout(&env, std::string(kRoot) + "/sys", "QZGL", 1);
  if (!layout.ok()) return 0;
  CheckLayout(*layout, parts[3]);

  const std::string dest = Destination(type, flags & 4);
  const std::string dest_path = ResolveDestination(dest, "/docs");
  const std::string old = "old destination\r\n";
  if (flags & 1) env.Put(dest_path, old);
  const auto accounting = env.Files();

  test::FakePlatform ui;
  ui.documents = "/docs";
  ui.default_answer = (flags & 2) ? Answer::kYes : Answer::kNo;
  if (type >= kExcel) ui.default_answer = Answer::kYes;  // "Ok to Overwrite?"
  ExportJob job;
  job.data_dir = std::string(kRoot) + "/data";
  job.system_dir = std::string(kRoot) + "/sys";
  job.module_code = "QZGL";
  job.company = "01";
  job.file_number = 1;
  job.type = FindExportType(type);
  job.destination = dest;
  job.documents_folder = "/docs";
  for (const std::string& name : layout->available()) {
    if (job.rows.size() == kMaxRows) break;
    job.rows.push_back({name, 0, name});
  }
  if (job.rows.size() < kMaxRows) job.rows.push_back({"No Such Field", 0, "Missing"});
  job.layout = *layout;
  job.now = [] { return std::time_t{1173960000}; };
  job.opener = [&](const TableOpenRequest& r) -> Result<std::unique_ptr<TableConnection>> {
    if (r.target == TableTarget::kAccess) return OpenEngineConnection(&env, r);
    return std::unique_ptr<TableConnection>(new ParsingConnection());
  };
  ExportOutcome outcome = RunExport(job, ui, &env);

  // The accounting files are only read; nothing but the destination is left.
  auto after = env.Files();
  auto written = after.find(MemEnv::Normal(dest_path));
  for (const auto& [path, bytes] : accounting) {
    if (path == MemEnv::Normal(dest_path)) continue;
    RH_FUZZ_CHECK(after.count(path) && after[path] == bytes);
  }
  RH_FUZZ_CHECK(after.size() <= accounting.size() + ((flags & 1) ? 0 : 1));
  RH_FUZZ_CHECK(!ui.progress_open);
  RH_FUZZ_CHECK(ui.wait_depth == 0);
  switch (outcome.kind) {
    case ExportOutcome::Kind::kCompleted:
      // The Excel and dBase statements only go to the parsing stand-in.
      RH_FUZZ_CHECK(written != after.end() || type == kExcel || type == kDBase);
      RH_FUZZ_CHECK(outcome.exported >= 0);
      RH_FUZZ_CHECK(outcome.exported <= RecordsPresent(parts[3], layout->record_length()));
      break;
    case ExportOutcome::Kind::kFailed:
      RH_FUZZ_CHECK(!outcome.error.caption().empty() &&
                    outcome.error.caption() != "Export Complete");
      // Only rows inserted before a failed INSERT may replace what was there.
      if (outcome.error.caption() != "Error #10") {
        if (flags & 1) RH_FUZZ_CHECK(written != after.end() && written->second == old);
        else RH_FUZZ_CHECK(written == after.end() || type >= kExcel);
      }
      break;
    case ExportOutcome::Kind::kStopped:
      RH_FUZZ_CHECK(!(flags & 1) || (written != after.end() && written->second == old));
      break;
  }
  return 0;
}

std::vector<std::string> DataFileSeeds() {
  const auto fields = SeedFields();
  const int32_t length = sample::RecordLength(fields);
  const std::string dictionary = SeedDictionary(fields);
  const std::string reg = SeedRegister(length);
  const auto records = SeedRecords(fields);
  const int32_t count = static_cast<int32_t>(records.size());
  std::vector<std::string> seeds;
  for (int type = 0; type <= kExcelWorkbook; ++type) {
    const std::string control = {static_cast<char>(type), static_cast<char>(type % 8)};
    seeds.push_back(JoinSections(
        {control, dictionary, reg, sample::BuildDataFile(count, length, records)}));
  }
  // A header that promises more than the file holds, none, or a negative
  // number; a file that ends inside a record.
  const std::string control("\x03\x01", 2);
  for (int32_t header : {count + 5, 0, -3}) {
    seeds.push_back(JoinSections(
        {control, dictionary, reg, sample::BuildDataFile(header, length, records)}));
  }
  std::string cut = sample::BuildDataFile(count, length, records);
  cut.resize(cut.size() - 7);
  seeds.push_back(JoinSections({control, dictionary, reg, cut}));
  return seeds;
}

}  // namespace rh::fuzz
