// The sample installation: a dictionary describing every data file of the
// catalog, and companies with data for four modules.
#include <cstdio>
#include <filesystem>
#include <map>

#include "data/catalog.h"
#include "sample/sample_data.h"

namespace rh::sample {

namespace {

using Fields = std::vector<FieldSpec>;

// Hand-made layouts for the files the sample fills with data; the other
// files of the catalog get a generic layout.
const std::map<std::pair<std::string, int>, Fields>& DetailedLayouts() {
  static const auto* layouts = new std::map<std::pair<std::string, int>, Fields>{
      {{"QZGL", 1},
       {{"Account Number", 'T', 10}, {"Description", 'T', 30}, {"Account Type", 'Y', 1},
        {"Department", 'I', 2}, {"Old Balance", 'D', 4}, {"Current Balance", 'D', 8},
        {"Budget Amount", 'F', 4}, {"Last Activity", 'J', 4}, {"Posting Count", 'L', 4},
        {"Reserved", 'X', 6}}},
      {{"QZGL", 5},
       {{"Account Number", 'T', 10}, {"Journal", 'T', 2}, {"Reference", 'T', 12},
        {"Posting Date", 'J', 4}, {"Amount", 'F', 4}, {"Debit/Credit", 'T', 1},
        {"Line Number", 'L', 4}, {"Memo", 'T', 40}}},
      {{"QZAP", 1},
       {{"Vendor Number", 'T', 6}, {"Vendor Name", 'T', 30}, {"Address", 'T', 30},
        {"City", 'T', 20}, {"State", 'T', 2}, {"Zip Code", 'T', 10}, {"Phone", 'T', 14},
        {"Balance", 'D', 8}, {"YTD Purchases", 'F', 4}, {"Last Payment", 'J', 4},
        {"Terms Days", 'I', 2}, {"Hold Flag", 'Y', 1}}},
      {{"QZAP", 3},
       {{"Vendor Number", 'T', 6}, {"Invoice Number", 'T', 12}, {"Invoice Date", 'J', 4},
        {"Due Date", 'J', 4}, {"Invoice Amount", 'F', 4}, {"Amount Paid", 'F', 4},
        {"Discount", 'D', 8}, {"Status", 'Y', 1}}},
      {{"QZAR", 1},
       {{"Customer Number", 'T', 8}, {"Customer Name", 'T', 30}, {"Contact", 'T', 25},
        {"City", 'T', 20}, {"Credit Limit", 'F', 4}, {"Balance", 'D', 8},
        {"Last Sale", 'J', 4}, {"Sales Rep", 'I', 2}, {"Class", 'Y', 1},
        {"Notes", 'T', 120}}},
      {{"QZAR", 29},
       {{"Customer Number", 'T', 8}, {"Item Number", 'T', 15}, {"Contract Price", 'F', 4},
        {"Start Date", 'J', 4}, {"End Date", 'J', 4}, {"Min Quantity", 'L', 4}}},
      {{"QZPR", 1},
       {{"Employee Number", 'T', 6}, {"Last Name", 'T', 20}, {"First Name", 'T', 15},
        {"Department", 'I', 2}, {"Hire Date", 'J', 4}, {"Pay Rate", 'F', 4},
        {"YTD Gross", 'D', 8}, {"Exemptions", 'Y', 1}, {"SSN", 'T', 11},
        {"Hours", 'L', 4}}},
      {{"QZPR", 17},
       {{"Employee Number", 'T', 6}, {"Pay Type", 'I', 2}, {"Quarter", 'Y', 1},
        {"Hours", 'F', 4}, {"Amount", 'D', 8}, {"Period End", 'J', 4}}},
  };
  return *layouts;
}

Fields GenericLayout() {
  return {{"Code", 'T', 8},     {"Description", 'T', 30}, {"Status", 'Y', 1},
          {"Quantity", 'I', 2}, {"Amount", 'F', 4},       {"Total", 'D', 8},
          {"Entered", 'J', 4},  {"Sequence", 'L', 4}};
}

// A small deterministic generator, so every sample is the same.
class Random {
 public:
  uint32_t Next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(state_ >> 33);
  }
  int Range(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<uint32_t>(hi - lo + 1)); }
  template <class T, size_t N>
  const T& Pick(const T (&items)[N]) { return items[Next() % N]; }

 private:
  uint64_t state_ = 20070315;
};

// Names with the characters exports must get right: quotes, commas,
// Windows-1252 letters, leading and trailing blanks.
constexpr const char* kNames[] = {
    "Acme Supply",       "O'Brien & Sons",    "Smith, Jones and Co", "Caf\xe9 M\xfcller",
    "  Zo\xeb's Bakery", "The \"Best\" Tools", "Nu\xf1""ez Imports",  "Br\xf8nd Freight",
    "Quillmont Hardware", "North Star Farms", "Blue\tTab Ltd",        "Ridge Line Services"};
constexpr const char* kFirst[] = {"Ann", "Bob", "Chlo\xe9", "Dmitri", "Eve", "Fran\xe7ois", "Gus", "Hana"};
constexpr const char* kLast[] = {"Archer", "O'Neil", "M\xfcller", "Smith", "Nguyen", "Garc\xed""a", "Kowalski", "Lee"};
constexpr const char* kCities[] = {"Springfield", "Portland", "Montr\xe9""al", "Austin", "Fargo", "Duluth"};

std::string TextValue(const FieldSpec& f, int i, Random& rnd) {
  if (f.name.find("Number") != std::string::npos || f.name == "Code")
    return std::to_string(1000 + i * 7 + rnd.Range(0, 6));
  if (f.name == "First Name") return rnd.Pick(kFirst);
  if (f.name == "Last Name") return rnd.Pick(kLast);
  if (f.name == "City") return rnd.Pick(kCities);
  if (f.name == "State") return rnd.Range(0, 1) ? "OR" : "TX";
  char digits[32];
  if (f.name == "Zip Code") {
    std::snprintf(digits, sizeof digits, "%05d", rnd.Range(10000, 99999));
    return digits;
  }
  if (f.name == "Phone") {
    std::snprintf(digits, sizeof digits, "(%03d) 555-%04d", rnd.Range(200, 999), rnd.Range(0, 9999));
    return digits;
  }
  if (f.name == "SSN") {
    std::snprintf(digits, sizeof digits, "%03d-%02d-%04d", rnd.Range(100, 899), rnd.Range(1, 99),
                  rnd.Range(1, 9999));
    return digits;
  }
  if (f.name == "Notes") {
    std::string v = "Customer since ";
    v.append(std::to_string(1990 + i % 30));
    v.append("; prefers delivery on Tuesdays, invoices by mail and a call "
             "before back-orders ship. Ref #");
    v.append(std::to_string(i));
    return v;
  }
  if (f.length <= 2) return rnd.Range(0, 1) ? "D" : "C";
  return rnd.Pick(kNames);
}

void FillRecord(RecordBuilder& rb, const Fields& fields, int i, Random& rnd) {
  for (const FieldSpec& f : fields) {
    switch (f.type) {
      case 'T': rb.Text(f.name, TextValue(f, i, rnd)); break;
      case 'I': rb.Int16(f.name, static_cast<int16_t>(rnd.Range(-5, 400))); break;
      case 'L': rb.Int32(f.name, rnd.Range(0, 200000) - (i % 11 == 0 ? 300000 : 0)); break;
      case 'J': rb.Int32(f.name, rnd.Range(38000, 46000)); break;
      case 'F': rb.Fixed(f.name, rnd.Range(-2000000, 90000000)); break;
      case 'D':
        if (f.length == 8) rb.Real(f.name, (rnd.Range(-500000, 9000000)) / 100.0);
        break;
      case 'Y': rb.Byte(f.name, static_cast<uint8_t>(rnd.Range(0, 255))); break;
      default: break;
    }
  }
}

struct Company {
  const char* number;      // as written in file names
  const char* name;
  uint8_t path_index;
  const char* subfolder;   // where the path table sends its data files
};

constexpr Company kCompanies[] = {
    {"01", "Quillmont Hardware Inc.", 1, ""},
    {"02", "Soci\xe9t\xe9 Lumi\xe8re Lt\xe9""e", 2, "CO02/"},
    {"0a", "Test Company (do not use)", 9, ""},  // index past the table
};

constexpr const char* kSampleModules[] = {"QZGL", "QZAP", "QZAR", "QZPR"};

std::string BackslashPath(std::string path) {
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace

const std::vector<ModuleSpec>& SampleSchema() {
  static const auto* schema = [] {
    auto* modules = new std::vector<ModuleSpec>;
    for (const ModuleInfo& m : Modules()) {
      ModuleSpec spec{std::string(m.code), std::string(m.name), {}};
      for (const DataFileInfo& f : DataFilesOf(m.index)) {
        auto it = DetailedLayouts().find({spec.code, f.number});
        spec.files.push_back({f.number, std::string(f.description),
                              it != DetailedLayouts().end() ? it->second : GenericLayout()});
      }
      modules->push_back(std::move(spec));
    }
    return modules;
  }();
  return *schema;
}

Status WriteSampleInstallation(Env* env, const std::string& dir,
                               const SampleOptions& options) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path root = fs::absolute(dir, ec);
  for (const char* sub : {"data/CO02", "sys", "progs"}) fs::create_directories(root / sub, ec);
  if (ec) return Status::Of(MessageId::kCannotCreateFolder, {(root / "data").string() + ": " + ec.message()});
  const std::string data = (root / "data").string() + "/";

  Status s = WriteFileBytes(env, (root / "sys/QZFMDATA.DAT").string(),
                            BuildDictionary("3b10", SampleSchema()));
  // Entry 1 names the data folder, entry 2 a company's own folder, both
  // with the accounting system's backslashes.
  if (s.ok()) {
    s = WriteFileBytes(env, (root / "sys/QZPATHTB.dat").string(),
                       BuildPathTable({"", BackslashPath(data), BackslashPath(data + "CO02/")}));
  }
  Random rnd;
  for (const ModuleSpec& m : SampleSchema()) {
    bool sampled = false;
    for (const char* code : kSampleModules) sampled |= m.code == code;
    if (!sampled) continue;
    for (const Company& c : kCompanies) {
      std::vector<RegisterFile> entries;
      for (const FileSpec& f : m.files) {
        int32_t length = RecordLength(f.fields);
        entries.push_back({f.number, static_cast<int16_t>(length), c.path_index});
        RecordBuilder rb(f.fields);
        std::vector<std::string> records;
        for (int i = 1; i <= options.records && s.ok(); ++i) {
          if (i % 97 == 50) {
            records.push_back(rb.Deleted());
            continue;
          }
          FillRecord(rb, f.fields, i, rnd);
          records.push_back(rb.Take());
        }
        char name[32];
        std::snprintf(name, sizeof name, "%s%s%02d.dat", m.code.c_str(), c.number, f.number);
        if (s.ok()) {
          s = WriteFileBytes(env, data + c.subfolder + name,
                             BuildDataFile(options.records, length, records));
        }
      }
      std::string reg = data + m.code + c.number + "FR.dat";
      if (s.ok()) s = WriteFileBytes(env, reg, BuildRegister(c.name, entries));
    }
  }
  if (s.ok()) {
    s = WriteFileBytes(env, (root / "progs/README.txt").string(),
                       "Program files of the sample accounting installation.\n");
  }
  return s;
}

}  // namespace rh::sample
