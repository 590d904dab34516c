// Every kind of bad input tried, in one table, against every reader: the
// data dictionary, a company register, the path table, a company data file
// and an export template. Each cell is what the user gets:
//   "done N"               the export completed with N records
//   "done N, ended early"  ... and warned that the data file ended early
//   "Error #n" / "Error"   the export or the field list failed with that caption
//   "rows N"               the template opened with N selection rows
//   anything else          the template was refused for that cause
// Readers that take no part in the bad row's sense (a path table has no
// counts) get the nearest thing, as each row's comment says.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <functional>

#include "app/template_commands.h"
#include "base/bytes.h"
#include "data/catalog.h"
#include "data/companies.h"
#include "selection/export_template.h"
#include "export/export_types.h"
#include "tests/hardening/hardening_util.h"

namespace rh::test {
namespace {

namespace fs = std::filesystem;

enum Reader { kDictionary, kRegister, kPathTable, kDataFile, kTemplate, kReaders };
constexpr const char* kReaderNames[] = {"dictionary", "register", "path table", "data file",
                                        "template"};

// Where one case's installation lives.
struct Place {
  std::string data, system, template_path;
  std::string FileOf(Reader r) const {
    switch (r) {
      case kDictionary: return system + "/QZFMDATA.DAT";
      case kRegister: return data + "/QZGL01FR.dat";
      case kPathTable: return system + "/QZPATHTB.dat";
      case kDataFile: return data + "/QZGL0101.dat";
      default: return template_path;
    }
  }
};

void PutBig16(std::string& s, size_t at, uint16_t v) {
  StoreBigU16(reinterpret_cast<uint8_t*>(s.data()) + at, v);
}
void PutBig32(std::string& s, size_t at, uint32_t v) {
  StoreBigU32(reinterpret_cast<uint8_t*>(s.data()) + at, v);
}
void PutLittle32(std::string& s, size_t at, uint32_t v) {
  StoreLittleU32(reinterpret_cast<uint8_t*>(s.data()) + at, v);
}

// Offsets in the good files (see tests/fixture.h and sample/builders.cc).
constexpr size_t kModuleRecord = 40;     // dictionary: QZGL's record
constexpr size_t kNameRecord = 3 * 40;   // dictionary: the field "Name" of file 1
constexpr size_t kFirstEntry = 296;      // register: file 1's entry
constexpr size_t kPositions = 92;        // template: the source positions
constexpr size_t kNames = 1296;          // template: the export names

// A bad input: either bytes made from the good file, or something other
// than a file put in its place.
struct BadInput {
  const char* kind;
  std::function<void(Reader, const std::string& path, std::string good)> make;
  std::array<const char*, kReaders> expected;
  bool as_root = true;         // false: meaningless for root, skipped
  bool non_utf8_dirs = false;  // the whole installation below such a folder
};

void Write(const std::string& path, const std::string& bytes) { test::WriteFile(path, bytes); }

std::vector<BadInput> BadInputs() {
  return {
      {"missing", [](Reader, const std::string& p, std::string) { fs::remove(p); },
       {"Error #2", "Error #4", "done 2", "Error #6", "not found"}},
      {"empty", [](Reader, const std::string& p, std::string) { Write(p, ""); },
       {"Error #2", "Error #4", "done 2", "done 0", "past its end"}},
      {"one byte", [](Reader, const std::string& p, std::string g) { Write(p, g.substr(0, 1)); },
       {"Error #2", "Error #4", "done 2", "done 0", "past its end"}},
      // The last record (or path-table entry) cut in the middle.
      {"cut inside its last record",
       [](Reader, const std::string& p, std::string g) { Write(p, g.substr(0, g.size() - 10)); },
       {"done 2", "done 2", "done 2", "done 1, ended early", "past its end"}},
      {"0xFF everywhere",
       [](Reader, const std::string& p, std::string g) { Write(p, std::string(g.size(), '\xff')); },
       {"Error", "Error #4", "done 2", "done 0", "not a template"}},
      {"NUL bytes everywhere",
       [](Reader, const std::string& p, std::string g) { Write(p, std::string(g.size(), '\0')); },
       {"Error #9", "Error #4", "done 2", "done 0", "rows 0"}},
      // Names of fields, companies, path prefixes, texts and export names.
      {"NUL-only names",
       [](Reader r, const std::string& p, std::string g) {
         switch (r) {
           case kDictionary:
             for (size_t rec = 3; rec * 40 + 40 <= g.size(); ++rec)
               std::fill_n(g.begin() + rec * 40 + 6, 30, '\0');
             break;
           case kRegister: std::fill_n(g.begin() + 150, 30, '\0'); break;
           case kPathTable: std::fill(g.begin(), g.end(), '\0'); break;
           case kDataFile:  // the text field of every record not deleted
             for (size_t at = 37; at + 37 <= g.size(); at += 37)
               if (g[at] != '\xff') std::fill_n(g.begin() + at, 10, '\0');
             break;
           default: std::fill(g.begin() + kNames, g.end(), '\0'); break;
         }
         Write(p, g);
       },
       {"done 2", "done 2", "done 2", "done 2", "rows 3"}},
      // A section start, record length, path (no end), record count or
      // source position far beyond anything present.
      {"huge counts and lengths",
       [](Reader r, const std::string& p, std::string g) {
         switch (r) {
           case kDictionary: PutBig16(g, kModuleRecord + 2, 0x7fff); break;
           case kRegister: PutBig16(g, kFirstEntry + 2, 0x7fff); break;
           case kPathTable: g = std::string(52, 'A'); break;
           case kDataFile: PutBig32(g, 8, 0x7fffffff); break;
           default:
             for (int i = 0; i < 3; ++i) PutLittle32(g, kPositions + 4 * i, 0x7fffffff);
         }
         Write(p, g);
       },
       {"Error", "Error #4", "done 2", "done 2, ended early", "rows 0"}},
      {"negative lengths and counts",
       [](Reader r, const std::string& p, std::string g) {
         switch (r) {
           case kDictionary: PutBig16(g, kNameRecord + 36, static_cast<uint16_t>(-10)); break;
           case kRegister: PutBig16(g, kFirstEntry + 2, static_cast<uint16_t>(-1)); break;
           case kPathTable: g = std::string(52, '-'); break;  // no numbers: a bogus prefix
           case kDataFile: PutBig32(g, 8, static_cast<uint32_t>(-5)); break;
           default:
             for (int i = 0; i < 3; ++i) PutLittle32(g, kPositions + 4 * i, uint32_t(-2));
         }
         Write(p, g);
       },
       {"done 3", "Error #4", "done 2", "done 0", "rows 0"}},
      // A field beyond the record length, a path index past the table, a
      // path table entry past its end, records past the data file's end,
      // positions past the field list.
      {"offsets past the record or file",
       [](Reader r, const std::string& p, std::string g) {
         switch (r) {
           case kDictionary:
             g = sample::BuildDictionary(
                 "3a02", {{"QZGL", "General Ledger",
                           {{1, "Chart", {{"A", 'T', 30}, {"B", 'L', 4}, {"C", 'Y', -20}}}}}});
             break;
           case kRegister: g[kFirstEntry + 28] = '\xc8'; break;  // path index 200
           case kPathTable: g = "/nowhere/"; break;
           case kDataFile: g.resize(37); break;  // the header alone
           default:
             for (int i = 0; i < 3; ++i) PutLittle32(g, kPositions + 4 * i, 13 + i * 50);
         }
         Write(p, g);
       },
       {"done 3", "done 2", "done 2", "done 0, ended early", "rows 0"}},
      {"a folder in its place",
       [](Reader, const std::string& p, std::string) {
         fs::remove(p);
         fs::create_directories(p);
         Write(p + "/inside", "x");
       },
       {"Error #2", "Error #4", "done 2", "Error #6", "denied"}},
      {"a symbolic-link loop",
       [](Reader, const std::string& p, std::string) {
         fs::remove(p);
         fs::create_symlink(fs::path(p).filename(), p);
       },
       {"Error #2", "Error #4", "done 2", "Error #6", "invalid path"}},
      {"unreadable (mode 000)",
       [](Reader, const std::string& p, std::string) { ::chmod(p.c_str(), 0); },
       {"Error #2", "Error #4", "done 2", "Error #6", "denied"}, /*as_root=*/false},
      // Only the dictionary is read whole; it is refused above 256 MB.
      {"far too large (sparse, zeros)",
       [](Reader r, const std::string& p, std::string) {
         Write(p, "");
         fs::resize_file(p, r == kDictionary ? (300u << 20) : (4u << 20));
       },
       {"Error #2", "Error #4", "done 2", "done 0", "rows 0"}},
      {"below a folder whose name is not UTF-8", [](Reader, const std::string&, std::string) {},
       {"done 2", "done 2", "done 2", "done 2", "rows 3"}, true, /*non_utf8_dirs=*/true},
  };
}

std::string TemplateBytes() {
  TemplateRecord r{ModuleIndexByCode("QZGL").value_or(0), 1, "01", kCsvWithTitles, "out.csv",
                   {0, 1, 2}, {"Name", "Count", "Total"}};
  auto b = EncodeTemplate(r);
  return std::string(reinterpret_cast<const char*>(b.data()), b.size());
}

std::string ExportOutcomeText(const ExportOutcome& o) {
  if (o.kind == ExportOutcome::Kind::kFailed) return o.error.caption();
  if (o.kind == ExportOutcome::Kind::kStopped) return "stopped";
  return "done " + std::to_string(o.exported) + (!o.warnings.empty() ? ", ended early" : "");
}

// What the user gets from the reader, as the table's cells say.
std::string Outcome(Reader reader, const Place& s, const std::string& docs) {
  Env* env = Env::Default();
  if (reader == kTemplate) {
    ExportState state;
    state.dirs = {s.data, s.system, s.data};
    FakePlatform ui;
    Status st = OpenTemplateFile(state, ui, s.template_path);
    if (st.ok()) return "rows " + std::to_string(state.selection.rows().size());
    static constexpr const char* kCauses[][2] = {
        {"was not found", "not found"},   {"past its end", "past its end"},
        {"was denied", "denied"},         {"invalid path", "invalid path"},
        {"is not an export template", "not a template"}};
    for (const auto& c : kCauses)
      if (st.message().find(c[0]) != std::string::npos) return c[1];
    return st.message();
  }
  auto layout = LoadFieldLayout(env, s.system, "QZGL", 1);
  if (!layout.ok()) return layout.status().caption();
  const DataFileLocation where{s.data, s.system, "QZGL", "01", 1};
  if (reader == kRegister && !CheckRecordLayout(env, where, layout->record_length()))
    return "Error #4";
  FakePlatform ui;
  ui.default_answer = Answer::kNo;
  ExportJob job;
  job.data_dir = s.data;
  job.system_dir = s.system;
  job.module_code = "QZGL";
  job.company = "01";
  job.file_number = 1;
  job.type = FindExportType(kCommaWithoutTitles);
  job.destination = docs + "/out.txt";
  job.documents_folder = docs;
  for (const std::string& name : layout->available()) job.rows.push_back({name, 0, name});
  job.layout = *layout;
  return ExportOutcomeText(RunExport(job, ui, env));
}

TEST(BadInput, EveryKindAgainstEveryReader) {
  const bool root = ::geteuid() == 0;
  for (const BadInput& row : BadInputs()) {
    if (root && !row.as_root) {
      std::printf("skipped as root: %s\n", row.kind);
      continue;
    }
    for (int r = 0; r < kReaders; ++r) {
      const Reader reader = static_cast<Reader>(r);
      SCOPED_TRACE(std::string(row.kind) + " / " + kReaderNames[r]);
      Installation inst;
      auto b = inst.Builder();
      inst.SetRecords(3, {b.Text("Name", "one").Take(), b.Deleted(),
                          b.Text("Name", "three").Take()});
      Place s{inst.data(), inst.system(), inst.data() + "/t.xdf"};
      test::WriteFile(s.template_path, TemplateBytes());
      if (row.non_utf8_dirs) {
        const std::string root_dir = inst.dir() / "\xff\xfe odd \x81";
        fs::create_directories(root_dir);
        fs::rename(inst.data(), root_dir + "/data");
        fs::rename(inst.system(), root_dir + "/sys");
        s = {root_dir + "/data", root_dir + "/sys", root_dir + "/data/t.xdf"};
      }
      const std::string file = s.FileOf(reader);
      row.make(reader, file, test::ReadFile(file));
      const auto accounting = TreeChecksums(inst.dir().path());
      const std::string docs = inst.dir() / "docs";
      fs::create_directories(docs);

      EXPECT_EQ(Outcome(reader, s, docs), row.expected[r]);
      fs::remove_all(docs);
      EXPECT_EQ(TreeChecksums(inst.dir().path()), accounting) << "an input file changed";
      ::chmod(file.c_str(), 0644);
    }
  }
}

// Lengths that add up past what a record length can hold: the layout is
// refused, not wrapped around.
TEST(BadInput, RecordLengthPastTwoGigabytes) {
  std::vector<sample::FieldSpec> fields(70000, {"Huge", 'T', 32767});
  for (auto tail : {std::vector<sample::FieldSpec>{},
                    std::vector<sample::FieldSpec>(69000, {"Back", 'T', -32767})}) {
    auto all = fields;
    all.insert(all.end(), tail.begin(), tail.end());
    test::TempDir dir;
    test::WriteFile(dir / "QZFMDATA.DAT",
                    sample::BuildDictionary("3a02", {{"QZGL", "GL", {{1, "Big", all}}}}));
    auto layout = LoadFieldLayout(Env::Default(), dir.path(), "QZGL", 1);
    ASSERT_FALSE(layout.ok());
    EXPECT_EQ(layout.status().caption(), "Error");
    EXPECT_NE(layout.status().message().find("record length"), std::string::npos);
  }
}

}  // namespace
}  // namespace rh::test
