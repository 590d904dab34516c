// The export template file: read and decoded, restored into the export state
// over a sample installation, saved back, and exported when it names a text
// export.
#include <algorithm>
#include <map>

#include "app/export_command.h"
#include "app/template_commands.h"
#include "data/catalog.h"
#include "sample/sample_data.h"
#include "selection/export_template.h"
#include "tests/fake_platform.h"
#include "tests/fuzz/harness.h"
#include "tests/fuzz/mem_env.h"

namespace rh::fuzz {

namespace {

const std::map<std::string, std::string>& InstallationFiles() {
  static const auto* files = [] {
    auto* out = new std::map<std::string, std::string>;
    (*out)["/inst/sys/QZFMDATA.DAT"] = sample::BuildDictionary("3b10", sample::SampleSchema());
    (*out)["/inst/sys/QZPATHTB.dat"] = sample::BuildPathTable({"", "/inst/data/"});
    for (const sample::ModuleSpec& m : sample::SampleSchema()) {
      if (m.code != "QZGL" && m.code != "QZAP") continue;
      for (const char* company : {"01", "02"}) {
        std::vector<sample::RegisterFile> entries;
        for (const sample::FileSpec& f : m.files) {
          const int32_t length = sample::RecordLength(f.fields);
          entries.push_back({f.number, static_cast<int16_t>(length), 1});
          sample::RecordBuilder b(f.fields);
          std::string filled(static_cast<size_t>(length), 'A');
          char name[32];
          std::snprintf(name, sizeof name, "/inst/data/%s%s%02d.dat", m.code.c_str(), company,
                        f.number);
          (*out)[name] = sample::BuildDataFile(3, length, {b.Take(), b.Deleted(), filled});
        }
        (*out)["/inst/data/" + m.code + company + "FR.dat"] =
            sample::BuildRegister(std::string("Company ") + company, entries);
      }
    }
    return out;
  }();
  return *files;
}

std::time_t FixedNow() { return 1173960000; }

}  // namespace

// The input is the template file, of any length.
int FuzzTemplate(const uint8_t* data, size_t size) {
  MemEnv env;
  for (const auto& [path, bytes] : InstallationFiles()) env.Put(path, bytes);
  env.MakeFolder("/docs");
  env.MakeFolder("/inst/progs");
  env.Put("/t/x.xdf", std::string(AsText(data, size)));

  if (size >= kTemplateSize) {
    TemplateBytes bytes;
    std::copy_n(data, kTemplateSize, bytes.begin());
    TemplateRecord r = DecodeTemplate(bytes);
    RH_FUZZ_CHECK(r.positions.size() == r.names.size() && r.positions.size() <= 300);
    RH_FUZZ_CHECK(r.company.size() <= 2 && r.destination.size() <= kTemplateDestinationLength);
  }

  ExportState s;
  s.env = &env;
  s.dirs = {"/inst/data", "/inst/sys", "/inst/progs"};
  test::FakePlatform ui;
  ui.documents = "/docs";
  ui.default_answer = Answer::kNo;
  Status opened = OpenTemplateFile(s, ui, "/t/x.xdf");
  if (!opened.ok()) {
    RH_FUZZ_CHECK(!opened.message().empty());
    RH_FUZZ_CHECK(s.selection.empty() && s.template_path.empty());
    return 0;
  }
  RH_FUZZ_CHECK(s.module_list.HasCurrent() && FindExportType(s.export_type()) != nullptr);
  const auto& rows = s.selection.rows();
  RH_FUZZ_CHECK(rows.size() <= 300);
  for (const SelectedField& row : rows) {
    RH_FUZZ_CHECK(row.source_position >= 0 &&
                  static_cast<size_t>(row.source_position) < s.available.entries.size());
    RH_FUZZ_CHECK(row.field_name == s.available.entries[size_t(row.source_position)]);
  }

  // What a save writes reads back the same.
  TemplateRecord saved = CurrentTemplateRecord(s);
  TemplateRecord again = DecodeTemplate(EncodeTemplate(saved));
  RH_FUZZ_CHECK(again.positions == saved.positions);
  RH_FUZZ_CHECK(again.names == saved.names);
  RH_FUZZ_CHECK(again.destination == saved.destination);

  if (s.type().family == ExportFamily::kText) {
    const auto before = env.Files();
    ExportOutcome outcome = RunExportCommand(s, ui, &FixedNow);
    ReportOutcome(s, ui, outcome);
    // Only the destination may change; the export's own accounting files
    // never do, whatever the destination names.
    const std::string dest = MemEnv::Normal(ResolveDestination(s.destination_box, "/docs"));
    const std::string own[] = {"/inst/sys/QZFMDATA.DAT", "/inst/sys/QZPATHTB.dat",
                               "/inst/data/" + s.module_code + s.company_number + "FR.dat",
                               "/inst/data/" + DataFileName(s.Location())};
    for (const auto& [path, bytes] : before) {
      if (path != dest || std::find(std::begin(own), std::end(own), path) != std::end(own))
        RH_FUZZ_CHECK(env.Get(path) == bytes);
    }
    if (outcome.kind != ExportOutcome::Kind::kCompleted) {
      for (const auto& m : ui.messages) RH_FUZZ_CHECK(m.caption != "Export Complete");
    }
  }
  return 0;
}

std::vector<std::string> TemplateSeeds() {
  const int gl = ModuleIndexByCode("QZGL").value_or(0);
  const int ap = ModuleIndexByCode("QZAP").value_or(0);
  auto encode = [](const TemplateRecord& r) {
    TemplateBytes b = EncodeTemplate(r);
    return std::string(reinterpret_cast<const char*>(b.data()), b.size());
  };
  std::vector<std::string> seeds;
  seeds.push_back(encode({gl, 1, "01", 3, "out.csv", {0, 1, 2, 3, 10, 11},
                          {"Account", "Desc", "Type", "Dept", "Current Record", "Module"}}));
  seeds.push_back(encode({gl, 5, "02", 7, "/docs/fixed.txt", {7, 6, 5, 4, 3, 2, 1, 0},
                          {"H", "G", "F", "E", "D", "C", "B", "A"}}));
  seeds.push_back(encode({ap, 1, "01", 4, "~/tab.txt", {0, 0, 0}, {"V", "V1", "V2"}}));
  seeds.push_back(encode({gl, 2, "01", 10, "db.mdb", {0}, {"X"}}));
  TemplateRecord wide{gl, 1, "01", 1, "wide.txt", {}, {}};
  for (int i = 0; i < 300; ++i) {
    wide.positions.push_back(i % 20);
    wide.names.push_back(std::string("N").append(std::to_string(i)));
  }
  seeds.push_back(encode(wide));
  std::string shortened = seeds.front().substr(0, 1000);
  seeds.push_back(shortened);
  seeds.push_back(seeds.front() + std::string(40, 'z'));
  return seeds;
}

}  // namespace rh::fuzz
