// Companies and data-file location: the register listing, the register
// entry, the layout check and the path table's way to the data file, over
// file names and contents the input chooses.
#include <algorithm>

#include "data/companies.h"
#include "sample/sample_data.h"
#include "tests/fuzz/harness.h"
#include "tests/fuzz/mem_env.h"
#include "tests/fuzz/seed_data.h"

namespace rh::fuzz {

namespace {

constexpr const char* kData = "/inst/data";
constexpr const char* kSystem = "/inst/sys";

}  // namespace

// Sections: "CODE", a file-number byte and the company number; the
// register; the path table; more file names for the data folder, one a line.
int FuzzCompanies(const uint8_t* data, size_t size) {
  auto parts = Sections(AsText(data, size), 4);
  std::string code(parts[0].substr(0, 4));
  const int file = parts[0].size() > 4 ? static_cast<uint8_t>(parts[0][4]) : 1;
  std::string company(parts[0].size() > 5 ? parts[0].substr(5, 2) : "01");
  MemEnv env;
  env.Put(std::string(kData) + "/" + code + company + "FR.dat", std::string(parts[1]));
  env.Put(std::string(kSystem) + "/QZPATHTB.dat", std::string(parts[2]));
  std::string_view names = parts[3];
  for (int n = 0; !names.empty() && n < 64; ++n) {
    size_t nl = names.find('\n');
    std::string name(names.substr(0, nl));
    names.remove_prefix(nl == std::string_view::npos ? names.size() : nl + 1);
    if (!name.empty() && name.find('/') == std::string::npos && name != "." && name != "..")
      env.Put(std::string(kData) + "/" + name, "data " + name);
  }
  const auto before = env.Files();

  for (const CompanyInfo& c : EnumerateCompanies(&env, kData, code)) {
    RH_FUZZ_CHECK(c.number.size() == 2);
    RH_FUZZ_CHECK(c.name.size() <= 30 && c.name.find('\0') == std::string::npos);
    RH_FUZZ_CHECK(!CompanyListEntry(c).empty());
  }
  DataFileLocation where{kData, kSystem, code, company, file};
  auto entry = FindRegisterEntry(&env, where);
  RH_FUZZ_CHECK(CheckRecordLayout(&env, where, entry.ok() ? entry->record_length : -1) ==
                entry.ok());
  auto located = LocateDataFile(&env, where, MessageId::kDataFileOpenFailText);
  if (located.ok()) {
    RH_FUZZ_CHECK(env.Get(located->path).has_value());
    char byte;
    RH_FUZZ_CHECK(located->file->ReadAt(0, &byte, 1).ok());
  } else {
    RH_FUZZ_CHECK(located.status().caption() == "Error #6");
  }
  for (const std::string& f : AccountingFiles(&env, where)) RH_FUZZ_CHECK(!f.empty());
  RH_FUZZ_CHECK(env.Files() == before);  // only ever read
  return 0;
}

std::vector<std::string> CompaniesSeeds() {
  const std::string reg = SeedRegister(59);
  const std::string names =
      "QZGL0101.dat\nqzgl0aFR.dat\nQZGL7BFR.dat\nQZGL123FR.dat\nqzgl0a01.DAT\nQZGLFR.dat";
  std::vector<std::string> seeds;
  for (const std::string& table :
       {sample::BuildPathTable({"", "/inst/data/", "\\inst\\data\\CO02\\"}),
        sample::BuildPathTable({"", "C:\\ACCT\\DATA\\"}), std::string(),
        sample::BuildPathTable({std::string(51, 'x')})}) {
    seeds.push_back(JoinSections({std::string("QZGL\x01" "01", 7), reg, table, names}));
  }
  seeds.push_back(JoinSections({std::string("QZGL\x02" "0a", 7), reg.substr(0, 170),
                                sample::BuildPathTable({"", "/inst/data/"}), names}));
  seeds.push_back(JoinSections({std::string("QZAR\x1d" "7B", 7),
                                sample::BuildRegister("Soci\xe9t\xe9", {{29, 80, 2}}),
                                sample::BuildPathTable({"", "", "/inst/data/CO02/"}),
                                "CO02\nQZAR7B29.dat\nqzar7bfr.dat"}));
  return seeds;
}

}  // namespace rh::fuzz
