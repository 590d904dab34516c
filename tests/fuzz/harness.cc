#include "tests/fuzz/harness.h"

#include <cstdio>
#include <cstdlib>

#include "data/data_dictionary.h"
#include "drivers/mdb/mdb_engine.h"
#include "connections/access_connection.h"
#include "sample/sample_data.h"
#include "tests/fake_platform.h"
#include "tests/fuzz/mem_env.h"
#include "tests/fuzz/seed_data.h"

namespace rh::fuzz {

void Broken(const char* rule, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: rule broken: %s\n", file, line, rule);
  std::abort();
}

std::vector<std::string_view> Sections(std::string_view input, size_t count) {
  std::vector<std::string_view> out;
  while (out.size() + 1 < count) {
    size_t at = input.find(kSectionBreak);
    if (at == std::string_view::npos) break;
    out.push_back(input.substr(0, at));
    input.remove_prefix(at + kSectionBreak.size());
  }
  out.push_back(input);
  out.resize(count);
  return out;
}

std::string JoinSections(const std::vector<std::string>& sections) {
  std::string out;
  for (size_t i = 0; i < sections.size(); ++i) {
    if (i > 0) out += kSectionBreak;
    out += sections[i];
  }
  return out;
}

std::span<const Target> Targets() {
  static constexpr Target kTargets[] = {
      {"dictionary", &FuzzDictionary, &DictionarySeeds},
      {"companies", &FuzzCompanies, &CompaniesSeeds},
      {"data_file", &FuzzDataFile, &DataFileSeeds},
      {"template", &FuzzTemplate, &TemplateSeeds},
      {"sql", &FuzzSql, &SqlSeeds},
      {"connection_string", &FuzzConnectionString, &ConnectionStringSeeds},
      {"mdb_engine", &FuzzMdbEngine, &MdbEngineSeeds},
  };
  return kTargets;
}

const Target* FindTarget(std::string_view name) {
  for (const Target& t : Targets())
    if (name == t.name) return &t;
  return nullptr;
}

namespace {

// Keeps every statement and connection string it is given.
class Recorder : public TableConnection {
 public:
  explicit Recorder(WriterTexts* out) : out_(out) {}
  Status Execute(std::string_view statement) override {
    out_->statements.emplace_back(statement);
    return Status();
  }
  Status Close() override { return Status(); }

 private:
  WriterTexts* out_;
};

}  // namespace

Result<std::unique_ptr<TableConnection>> OpenEngineConnection(Env* env,
                                                              const TableOpenRequest& request) {
  mdb::Workspace workspace(mdb::EngineOptions{env, 0.0});
  auto db = workspace.CreateDatabase(request.path, request.locale, 0);
  if (!db.ok()) return db.status();
  return MakeAccessConnection(std::move(db).value());
}

WriterTexts TableWriterTexts(TableTarget target) {
  MemEnv env;
  const auto fields = SeedFields();
  env.Put("/sys/QZFMDATA.DAT", SeedDictionary(fields));
  auto layout = LoadFieldLayout(&env, "/sys", "QZGL", 1);
  RH_FUZZ_CHECK(layout.ok());
  WriterTexts out;
  test::FakePlatform ui;
  const char* path = target == TableTarget::kDBase ? "/out/x y.dbf"
                     : target == TableTarget::kExcel ? "/out/a'b.xls" : "/out/db.mdb";
  const int type = target == TableTarget::kDBase ? kDBase
                   : target == TableTarget::kExcel ? kExcel : kAccess;
  WriterSetup setup;
  setup.env = &env;
  setup.path = path;
  setup.observer = &ui;
  setup.opener = [&](const TableOpenRequest& r) {
    out.connection_strings.push_back(r.connection_string);
    return Result<std::unique_ptr<TableConnection>>(
        std::unique_ptr<TableConnection>(new Recorder(&out)));
  };
  TableWriter writer(*FindExportType(type), setup);
  WriterInput input;
  input.values = ValueContext{"QZGL", "01", 1, nullptr};
  for (const std::string& name : layout->available())
    input.rows.push_back({BindField(*layout, name), name, name});
  RH_FUZZ_CHECK(writer.Begin(input).ok());
  int32_t n = 0;
  for (const std::string& record : SeedRecords(fields)) {
    ++n;
    Status s = writer.WriteRecord(reinterpret_cast<const uint8_t*>(record.data()), n, n);
    // A value the target cannot store (1e300 in a dBase number) sends nothing.
    RH_FUZZ_CHECK(s.ok() || (s.caption() == "Error #10" && target == TableTarget::kDBase));
  }
  RH_FUZZ_CHECK(writer.Finish().ok());
  return out;
}

}  // namespace rh::fuzz
